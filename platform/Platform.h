// The host services the store and both facades need, behind one small
// interface. platform/posix and platform/win32 implement it; nothing else
// in the library includes a system header.
//
// Paths: both '\' and '/' are accepted as folder separators everywhere.
#ifndef QOR_PLATFORM_PLATFORM_H
#define QOR_PLATFORM_PLATFORM_H

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qor::platform {

// Raised when a wide text cannot be converted (an invalid code point).
class TextConversionError : public std::runtime_error {
public:
    explicit TextConversionError(const std::string& what) : std::runtime_error(what) {}
};

// ---- Text conversion (the calling thread's 8-bit code page; UTF-8 on POSIX)
// A null text gives the empty text. Throws TextConversionError.
std::string WideToNarrow(const wchar_t* text);
// Throws TextConversionError on an invalid 8-bit sequence.
std::wstring NarrowToWide(std::string_view text);
// UTF-16 code units of the name in the system code page, terminator included
// (what MultiByteToWideChar(CP_ACP, 0, name, -1, NULL, 0) reports).
std::uint32_t Utf16LengthWithTerminator(std::string_view name);
// Converts UTF-16LE bytes (no byte-order mark) to 8-bit text: the ANSI code
// page on Windows, UTF-8 elsewhere. False, with narrow unspecified, when the
// bytes are not UTF-16 (an odd count, a lone surrogate) or, on Windows, hold
// a character that the code page has no byte for: nothing is replaced by a
// look-alike or by "?".
bool Utf16LeToNarrow(std::string_view bytes, std::string& narrow);

// ---- Files
// Reads the whole file while letting others read and write it.
// False when it cannot be opened or read, is not a regular file (a folder,
// a pipe, a device) or does not fit in memory.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Reads the file from start to end in pieces of about 1 MB, handing each to
// consume in order, so that a large file need not be held whole in memory.
// False when the file cannot be opened or read (as ReadWholeFile) or when
// consume returns false, which stops the read.
bool ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& consume);
// Writes bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target. On any failure the target is left
// as it was, the temporary file is removed and the result is false.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);
// Receives the next piece of a file being written; false when writing failed.
using PieceWriter = std::function<bool(std::string_view)>;
// ReplaceFileAtomically with the bytes given in pieces, so that a large file
// need not be held whole in memory: produce hands each piece to the writer
// in order and returns false to give up. On false or an exception from
// produce the target is left as it was and the temporary file is removed.
bool ReplaceFileAtomicallyFrom(const std::string& path, const std::function<bool(const PieceWriter&)>& produce);
// Appends bytes to the file, creating it when missing. False on failure.
bool AppendToFile(const std::string& path, std::string_view bytes);

// ---- Folders
struct FolderEntry {
    std::string name;  // the entry's own name, no folder part
    bool isFolder;
};
// Lists the entries that match a wildcard pattern ("*" any run, "?" one
// character, "*.*" every name) in its last path part, "." and ".." included
// as the host reports them, in the file system's order. False when the
// folder cannot be listed or nothing matches.
bool FindEntries(const std::string& pattern, std::vector<FolderEntry>& entries);
// True when anything (file or folder) matches the path or pattern.
bool PathMatchExists(const std::string& pattern);
// The common application-data folder, not created. No trailing separator.
std::string CommonAppDataFolder();
// The short form of a path; false when the host has none for it.
bool ShortPathName(const std::string& path, std::string& shortPath);
// 0 when equal ignoring case, <0 or >0 otherwise (lstrcmpiA semantics).
int CompareNoCase(const char* a, const char* b);

// ---- Process lock: recursive for the holding thread, private to the process
struct ProcessLock;
// Creates an unowned lock named name; null on failure.
ProcessLock* CreateProcessLock(const std::string& name);
// Waits without a time limit: 0 (acquired), 0x80 (abandoned), 0xFFFFFFFF (failed).
std::uint32_t WaitProcessLock(ProcessLock* lock);
// Releases one take by the calling thread: nonzero on success, 0 when the
// thread does not hold it.
int ReleaseProcessLock(ProcessLock* lock);
// Closes the lock: nonzero on success.
int CloseProcessLock(ProcessLock* lock);
std::uint32_t CurrentProcessId();

}  // namespace qor::platform

#endif
