/// @file
/// CRegeditFile: Windows' regedit file format, read into a store and written from one.
#ifndef QOR_CREGEDITFILE_H
#define QOR_CREGEDITFILE_H

#include "CIniClass.h"
#include "QorCompat.h"
#include "QorExport.h"

/// Reads and writes the files of Windows' registry editor: "REGEDIT4"
/// (8-bit text) and "Windows Registry Editor Version 5.00" (UTF-16LE with
/// its byte-order mark), with regedit's escapes (`\\` for a backslash, `\"`
/// for a double quote) in value names and texts.
///
/// This is not CIniClass::ImportFile: that import reads the TWAIN export,
/// which escapes nothing, by the store file's line rules, and keeps them.
///
/// What is read, line by line (CR LF, LF or CR end a line):
/// - the first line is one of the two headers, else nothing is read;
/// - `[KEY]` starts a key (upper-cased, as the store keeps keys);
/// - `"NAME"=DATA` and `@=DATA` (the default value, stored under the
///   name `@`) set a value of the key above; DATA is `"TEXT"` (stored as
///   `<string>`), `dword:` and one to eight hexadecimal digits (`<dword>`,
///   the 32-bit number as a signed decimal, as a store file load gives it),
///   `hex:` and a byte list (`<hex>`), or `hex(N):` and a byte list (kept
///   as that raw text, as the store file keeps it). A byte list goes on in
///   the next line after a `\` at the end of a line;
/// - any other line (blank lines included) is skipped.
///
/// What is written: the header, a blank line, then per key `[KEY]`, its
/// values and a blank line; byte lists wrapped before column 80. Only keys
/// that begin with a root name (`HKEY_LOCAL_MACHINE`, `HKEY_CURRENT_USER`,
/// `HKEY_CLASSES_ROOT`, `HKEY_USERS`, `HKEY_CURRENT_CONFIG`) are written:
/// regedit refuses the others. A value regedit cannot type (a `<dword>`
/// text that is not a whole 32-bit number, a text without a type) is
/// written as a quoted text.
class QOR_API CRegeditFile {
public:
    /// Why the last ImportFile or ImportText read nothing.
    enum Problem {
        NoProblem,   ///< the last import succeeded
        CannotRead,  ///< the file cannot be opened or read, or is too large
        NotRegedit,  ///< the first line is neither regedit header
        BadUtf16,    ///< UTF-16LE text that cannot be converted to the store's 8-bit text
    };

    /// Nothing read yet.
    CRegeditFile() = default;

    /// Reads the regedit file at path and merges it into store: new keys
    /// are added, values of the same name replaced. 1 when the whole file
    /// was read; 0, with the store unchanged, otherwise (see GetProblem).
    int ImportFile(CIniClass& store, const char* path);
    /// ImportFile for a text in memory.
    int ImportText(CIniClass& store, const CString& text);
    /// Why the last import returned 0.
    Problem GetProblem() const { return m_problem; }

    /// Writes key and every key below it (every key for an empty or null
    /// key) in regedit's form to path, replacing it in one step; with
    /// utf16 1 as version 5.00 in UTF-16LE, else as REGEDIT4. 1 when
    /// written; 0, with the file unchanged, when it cannot be written or a
    /// text cannot be converted to UTF-16.
    static int ExportFile(const CIniClass& store, const char* key, const char* path, int utf16);

private:
    Problem m_problem = NoProblem;
};

#endif
