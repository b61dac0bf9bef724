/// @file
/// CRegeditFile: Windows' regedit file format, read into a store and written from one.
#ifndef QOR_CREGEDITFILE_H
#define QOR_CREGEDITFILE_H

#include "CIniClass.h"
#include "QorCompat.h"
#include "QorExport.h"

/// Reads and writes the files of Windows' registry editor: "REGEDIT4"
/// (8-bit text) and "Windows Registry Editor Version 5.00" (8-bit, or
/// UTF-16LE with its byte-order mark), by regedit's own grammar.
///
/// This is not CIniClass::ImportFile: that import reads the TWAIN export,
/// which escapes nothing, by the store file's line rules, and keeps them.
///
/// What is read. CR LF, LF and a lone CR each end a line; a last line
/// without a line end is read too; a line ends at a NUL byte. The first
/// line is one of the two headers (blanks before it allowed), else nothing
/// is read. Blanks (spaces, tabs) before a line, around `=`, after the data
/// and after a type word are ignored, as are blank lines and lines whose
/// first sign is `;` or `#`. Then each line is one of:
/// - `[KEY]`: the key is made and opened. KEY is the text up to the last
///   `]` (text after it is ignored), upper-cased as the store keeps keys,
///   trailing backslashes dropped; it must begin with a root name
///   (`HKEY_LOCAL_MACHINE`, `HKEY_CURRENT_USER`, `HKEY_CLASSES_ROOT`,
///   `HKEY_USERS`, `HKEY_CURRENT_CONFIG`, any letter case). A `[` line with
///   a blank after `[` or no `]` is skipped and leaves the key before open.
/// - `[-KEY]`: the key and every key below it are deleted (never a root);
///   no key is open after it.
/// - `"NAME"=DATA` or `@=DATA`: a value of the open key; `@` and `""` name
///   the default value, stored under the name `@`.
/// - `"NAME"=-` or `@=-`: the value is deleted.
///
/// In NAME and in a quoted TEXT, `\n` is a line end, `\\` a backslash,
/// `\"` a double quote, and a backslash before any other sign that sign; `\0`
/// or no closing quote skips the line. DATA is one of, each maybe followed
/// by blanks and a `;` comment (other text after it skips the line):
/// - `"TEXT"`: stored as `<string>TEXT`;
/// - `dword:` and up to eight hexadecimal digits: `<dword>` and the 32-bit
///   number as a signed decimal, as a store file load gives it;
/// - `hex:LIST`: `<hex>` and the list's bytes as two-digit items;
/// - `hex(N):LIST` (N in hexadecimal): the raw text `hex(N):` and the bytes,
///   as the store file keeps typed byte lists.
///
/// A LIST item is a hexadecimal number from 0 to ff; items are separated by
/// commas. A `\` after the last comma of a line (a `;` comment may follow
/// it) continues the list in the next line that is neither blank nor a
/// comment. That line must begin with a hexadecimal digit; else the value
/// is skipped, and that line with it (regedit takes it as the list's rest).
///
/// What is skipped, and reported line by line (GetSkipped): any other line;
/// a value or deletion while no key is open; a key under no root; a value
/// named `"@"` (the store keeps the default value under that name); a key or
/// value the store file cannot keep exactly (a key holding `]`, a name
/// holding `=`, a text holding a line end): it would change on the next
/// save, so it is left out rather than changed.
///
/// The file is read whole before the store changes; then its keys, values
/// and deletions are applied in their order, with the store's own
/// operations. A file that cannot be read changes nothing.
///
/// What is written: the header, a blank line, then per key `[KEY]`, its
/// values and a blank line; byte lists wrapped before column 80. Only keys
/// that begin with a root name are written: regedit refuses the others. A
/// value regedit cannot type (a `<dword>` text that is not a whole 32-bit
/// number, a text without a type) is written as a quoted text.
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

    /// A line the last import left out, and why.
    struct Skipped {
        unsigned line;   ///< 1-based, as an editor counts lines (the header is line 1)
        CString reason;  ///< why the line was left out, in words
    };

    /// Reads the regedit file at path and applies it to store: keys are
    /// made, values set or replaced, keys and values deleted as the file
    /// says. 1 when the file was read, the lines it skips left out (see
    /// GetSkipped); 0, with the store unchanged, when it cannot be read at
    /// all (see GetProblem).
    int ImportFile(CIniClass& store, const char* path);
    /// ImportFile for a text in memory.
    int ImportText(CIniClass& store, const CString& text);
    /// Why the last import returned 0.
    Problem GetProblem() const { return m_problem; }
    /// The lines the last import skipped, in line order (empty after a 0).
    const CArray<Skipped>& GetSkipped() const { return m_skipped; }
    /// How many changes the last import applied: keys made, values set,
    /// values and keys deleted (each line that did something counts one).
    int GetChangeCount() const { return m_changes; }

    /// Writes key and every key below it (every key for an empty or null
    /// key) in regedit's form to path, replacing it in one step; with
    /// utf16 1 as version 5.00 in UTF-16LE, else as REGEDIT4. 1 when
    /// written; 0, with the file unchanged, when it cannot be written or a
    /// text cannot be converted to UTF-16.
    static int ExportFile(const CIniClass& store, const char* key, const char* path, int utf16);

private:
    Problem m_problem = NoProblem;
    CArray<Skipped> m_skipped;
    int m_changes = 0;
};

#endif
