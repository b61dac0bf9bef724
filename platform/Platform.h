// The host services the store and both facades need, behind one small
// interface. platform/posix and platform/win32 implement it; nothing else
// in the library includes a system header.
//
// Paths: both '\' and '/' are accepted as folder separators everywhere.
#ifndef QOR_PLATFORM_PLATFORM_H
#define QOR_PLATFORM_PLATFORM_H

#include <cstddef>
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
// What tells one version of a file from the next: a writer that replaces
// the file (a new file renamed over it) or changes it in place changes at
// least one of these. POSIX: device, inode, size, modification and status
// change times in nanoseconds; Windows: volume serial, file index, size,
// last-write and change times.
struct FileIdentity {
    bool exists = false;  // false: no file there (or none that could be asked about)
    std::uint64_t volume = 0, index = 0, size = 0;
    std::int64_t modified = 0, changed = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file at path, links followed; exists false as well
// when the host cannot tell or memory runs out.
FileIdentity IdentityOf(const std::string& path) noexcept;
// No bound on the length of a file read.
inline constexpr std::uint64_t kAnyLength = UINT64_MAX;
// Reads the whole file while letting others read, write, rename and delete it.
// False when it cannot be opened or read, is not a regular file (a folder,
// a pipe, a device), does not fit in memory, or is longer than maxBytes
// (refused before any of it is read; a file that grows past maxBytes while
// it is read is refused as well).
bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes = kAnyLength);
// Reads the file from start to end in pieces of at most 256 KiB, handing each to
// consume in order, so that a large file need not be held whole in memory.
// False when the file cannot be opened or read (as ReadWholeFile, maxBytes
// included) or when consume returns false, which stops the read. identity,
// when given, receives the identity of the file opened, before its first byte
// is read.
bool ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& consume,
                      std::uint64_t maxBytes = kAnyLength, FileIdentity* identity = nullptr);
// Reads at most the last count bytes of a regular file, whatever its length.
// False as ReadWholeFile.
bool ReadFileTail(const std::string& path, std::size_t count, std::string& bytes);
// The path a writer replaces: symbolic links in its last part followed to
// their end, and the folder made absolute with its own links resolved, so
// that every path to one file gives one text. A path that cannot be
// resolved (a missing folder) comes back as given.
std::string ResolveLinks(const std::string& path);
// Writes bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target. A target reached through a symbolic
// link is the link's end (ResolveLinks): the link stays a link. The new file
// keeps the replaced file's permission bits, and its owner and group where
// the process may set them. On any failure the target is left
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

// ---- File lock: one holder at a time across processes, by threads within one
// Exclusive, advisory, on a lock file of its own; the system releases it
// when its holder dies. Within a process a process-wide table keeps who
// holds which lock file, so that the holding thread may take it again
// without waiting and another thread of the process waits as another
// process does.
struct FileLock;
enum class FileLockResult {
    Acquired,    // held; release with ReleaseFileLock
    NoLockFile,  // create was false and there is no lock file: nothing held, nothing created
    TimedOut,    // someone else still held it after the wait
    Failed,      // the lock file cannot be created or opened
};
// Takes the lock on the file lockPath for the calling thread: at once when
// the thread already holds it (each take needs its own release), otherwise
// waiting at most waitMilliseconds (0: one try). With create the lock file
// is made when missing and left there. On Acquired, held receives the lock.
FileLockResult AcquireFileLock(const std::string& lockPath, bool create, std::uint32_t waitMilliseconds,
                               FileLock*& held);
// Releases one take; the last one unlocks the file. A null lock is ignored.
void ReleaseFileLock(FileLock* held);

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

// ---- Memory for a large store
// Large blocks are whole multiples of this, aligned to it.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{2} << 20;
// A block of size bytes (a multiple of kLargeBlockBytes) of zeroed memory
// straight from the host, which is asked to back it with large pages where
// it offers them: touching it for the first time then costs one page fault
// per large page instead of one per small page. Null when none is to be had.
void* AllocateLargeBlock(std::size_t size) noexcept;
// Gives back a block AllocateLargeBlock gave, with the size it was asked for.
void FreeLargeBlock(void* block, std::size_t size) noexcept;

}  // namespace qor::platform

#endif
