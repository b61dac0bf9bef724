// File reading, atomic replacement and appending on POSIX hosts.
//
// A write past the process's file-size limit raises SIGXFSZ, whose default
// action ends the process. Writes here block that signal for the calling
// thread and treat the resulting EFBIG as an ordinary write failure.
#include "platform/Platform.h"
#include "platform/posix/HostPath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <new>
#include <optional>
#include <vector>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qor::platform {
namespace {

using posix::FolderOf;
using posix::LastPartOf;
using posix::ToHostPath;

// Closes a file descriptor when it leaves scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    // Hands the descriptor over without closing it.
    void release() { fd_ = -1; }

private:
    int fd_;
};

// ReadFileInPieces reads at most this much at a time, and at least the
// smaller amount, so that a small file costs a small buffer, not a megabyte.
constexpr std::size_t kReadPiece = 1 << 20;
constexpr std::size_t kSmallestReadPiece = 1 << 12;

int OpenRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Blocks SIGXFSZ for the calling thread while in scope, and swallows the one
// a write of this scope raised, so that the write fails with EFBIG instead
// of ending the process.
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard() {
        sigemptyset(&signal_);
        sigaddset(&signal_, SIGXFSZ);
        sigset_t pending;
        sigemptyset(&pending);
        pendingBefore_ = sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
        blocked_ = pthread_sigmask(SIG_BLOCK, &signal_, &previous_) == 0;
    }
    ~FileSizeSignalGuard() {
        if (!blocked_) return;
        if (!pendingBefore_) {
            const timespec noWait{0, 0};
            while (sigtimedwait(&signal_, nullptr, &noWait) == SIGXFSZ) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

private:
    sigset_t signal_;
    sigset_t previous_;
    bool pendingBefore_ = false;
    bool blocked_ = false;
};

bool WriteAll(int fd, std::string_view bytes) {
    FileSizeSignalGuard guard;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Reads until end of file: first into the space bytes already has, then,
// should the file have grown meanwhile, through a small probe buffer so that
// the common case never copies the large buffer. False once more than
// maxBytes have come.
bool ReadToEnd(int fd, std::string& bytes, std::uint64_t maxBytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) {
            bytes.resize(filled);
            return true;
        }
        filled += static_cast<std::size_t>(got);
    }
    char probe[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, probe, sizeof probe);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes) return false;
        bytes.append(probe, static_cast<std::size_t>(got));
    }
}

// A name for a temporary file beside the target that no other writer in
// this or another process picks at the same time.
std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
}

// Flushes the folder so that a rename into it survives a crash. Some file
// systems refuse to sync folders; the rename has happened by then, so this
// is best effort.
void SyncFolder(const std::string& folder) {
    FileDescriptor fd(OpenRetrying(folder, O_RDONLY | O_DIRECTORY));
    if (fd.valid()) ::fsync(fd.get());
}

// What a replacement keeps of the regular file it replaces.
struct ReplacedFile {
    mode_t mode;  // permission bits
    uid_t owner;
    gid_t group;
};

// The regular file at path, if there is one.
std::optional<ReplacedFile> RegularFileAt(const std::string& path) {
    struct stat existing;
    if (::stat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) return std::nullopt;
    return ReplacedFile{static_cast<mode_t>(existing.st_mode & 07777), existing.st_uid, existing.st_gid};
}

// A file nobody may write is read-only, as Windows' read-only attribute:
// writers refuse it even when the process could write it anyway (root, or
// a rename that needs only the folder).
bool IsReadOnly(const std::optional<ReplacedFile>& file) { return file && (file->mode & 0222) == 0; }

// Gives the new file the replaced file's owner and group where the process
// may (root may set both, an owner may set a group it belongs to), then its
// permission bits, which a change of owner may have cleared.
void KeepOwnerAndMode(int fd, const ReplacedFile& replaced) {
    struct stat made;
    if (::fstat(fd, &made) == 0 && (made.st_uid != replaced.owner || made.st_gid != replaced.group)) {
        if (::fchown(fd, replaced.owner, replaced.group) != 0) ::fchown(fd, static_cast<uid_t>(-1), replaced.group);
    }
    ::fchmod(fd, replaced.mode);
}

// Writes the temporary file through produce, flushes and closes it.
bool WriteTemporary(const std::string& temporary, const std::optional<ReplacedFile>& replaced,
                    const std::function<bool(const PieceWriter&)>& produce) {
    FileDescriptor fd(OpenRetrying(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666));
    if (!fd.valid()) return false;
    if (replaced) KeepOwnerAndMode(fd.get(), *replaced);
    const int raw = fd.get();
    if (!produce([raw](std::string_view piece) { return WriteAll(raw, piece); })) return false;
    if (::fsync(raw) != 0) return false;
    return fd.close();
}

// Opens a file for reading; -1 unless it is a regular file. A pipe that no
// one writes would block the open, and a device such as /dev/zero never
// ends. The open does not wait for a pipe's writer; for a regular file
// O_NONBLOCK changes nothing.
int OpenRegularFile(const std::string& path) {
    FileDescriptor fd(OpenRetrying(ToHostPath(path), O_RDONLY | O_NONBLOCK));
    struct stat info;
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    const int opened = fd.get();
    fd.release();
    return opened;
}

}  // namespace

// A file too large to hold in memory is a read failure, not an exception.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    FileDescriptor fd(OpenRegularFile(path));
    if (!fd.valid()) return false;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) return false;
    try {
        std::string read;
        // One read fills the buffer sized from the file's length; the file may
        // still grow or shrink while it is read, so read on to the real end.
        if (static_cast<std::uintmax_t>(info.st_size) > read.max_size()) return false;
        if (info.st_size > 0) read.resize(static_cast<std::size_t>(info.st_size));
        if (!ReadToEnd(fd.get(), read, maxBytes)) return false;
        bytes.swap(read);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& consume,
                      std::uint64_t maxBytes) {
    FileDescriptor fd(OpenRegularFile(path));
    struct stat info;
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return false;
    }
    // The length only sizes the buffer; reading goes on to the real end.
    const auto length = static_cast<std::uintmax_t>(info.st_size > 0 ? info.st_size : 0);
    std::vector<char> piece(static_cast<std::size_t>(std::clamp<std::uintmax_t>(length, kSmallestReadPiece, kReadPiece)));
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t got = ::read(fd.get(), piece.data(), piece.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        total += static_cast<std::uint64_t>(got);
        if (total > maxBytes) return false;
        if (!consume(std::string_view(piece.data(), static_cast<std::size_t>(got)))) return false;
    }
}

bool ReadFileTail(const std::string& path, std::size_t count, std::string& bytes) {
    FileDescriptor fd(OpenRegularFile(path));
    struct stat info;
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) return false;
    const auto length = static_cast<std::uint64_t>(info.st_size > 0 ? info.st_size : 0);
    const std::uint64_t start = length > count ? length - count : 0;
    std::string tail(static_cast<std::size_t>(length - start), '\0');
    std::size_t filled = 0;
    while (filled < tail.size()) {
        const ssize_t got = ::pread(fd.get(), tail.data() + filled, tail.size() - filled,
                                    static_cast<off_t>(start + filled));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;  // the file shrank meanwhile
        filled += static_cast<std::size_t>(got);
    }
    tail.resize(filled);
    bytes.swap(tail);
    return true;
}

std::string ResolveLinks(const std::string& path) {
    std::string resolved = ToHostPath(path);
    // Follows the last part's links, as many as the host itself would.
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(resolved.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) break;
        const std::string next(target, static_cast<std::size_t>(length));
        resolved = next.front() == '/' ? next : FolderOf(resolved) + "/" + next;
    }
    if (resolved.empty() || resolved.back() == '/') return resolved;
    char* folder = ::realpath(FolderOf(resolved).c_str(), nullptr);
    if (folder == nullptr) return resolved;
    std::string absolute(folder);
    std::free(folder);
    if (absolute.back() != '/') absolute += '/';
    return absolute + LastPartOf(resolved);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomicallyFrom(path, [bytes](const PieceWriter& write) { return write(bytes); });
}

bool ReplaceFileAtomicallyFrom(const std::string& path, const std::function<bool(const PieceWriter&)>& produce) {
    if (path.empty()) return false;
    const std::string target = ResolveLinks(path);
    if (target.back() == '/') return false;
    const std::optional<ReplacedFile> replaced = RegularFileAt(target);
    if (IsReadOnly(replaced)) {
        errno = EACCES;
        return false;
    }
    const std::string temporary = TemporaryNameFor(target);
    bool written = false;
    try {
        written = WriteTemporary(temporary, replaced, produce);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
    const std::string target = ToHostPath(path);
    if (IsReadOnly(RegularFileAt(target))) {
        errno = EACCES;
        return false;
    }
    FileDescriptor fd(OpenRetrying(target, O_WRONLY | O_APPEND | O_CREAT, 0666));
    if (!fd.valid()) return false;
    if (!WriteAll(fd.get(), bytes)) return false;
    return fd.close();
}

}  // namespace qor::platform
