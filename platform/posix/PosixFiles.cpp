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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qor::platform {
namespace {

using posix::FolderOf;
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
// the common case never copies the large buffer.
bool ReadToEnd(int fd, std::string& bytes) {
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

// The permission bits of the regular file at path, if there is one.
std::optional<mode_t> RegularFileMode(const std::string& path) {
    struct stat existing;
    if (::stat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) return std::nullopt;
    return existing.st_mode & 07777;
}

// A file nobody may write is read-only, as Windows' read-only attribute:
// writers refuse it even when the process could write it anyway (root, or
// a rename that needs only the folder).
bool IsReadOnly(std::optional<mode_t> mode) { return mode && (*mode & 0222) == 0; }

// Writes the temporary file through produce, flushes and closes it. The new
// file keeps the permission bits of the file it replaces.
bool WriteTemporary(const std::string& temporary, std::optional<mode_t> replacedMode,
                    const std::function<bool(const PieceWriter&)>& produce) {
    FileDescriptor fd(OpenRetrying(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666));
    if (!fd.valid()) return false;
    if (replacedMode) ::fchmod(fd.get(), *replacedMode);
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
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    FileDescriptor fd(OpenRegularFile(path));
    if (!fd.valid()) return false;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) return false;
    try {
        std::string read;
        // One read fills the buffer sized from the file's length; the file may
        // still grow or shrink while it is read, so read on to the real end.
        if (static_cast<std::uintmax_t>(info.st_size) > read.max_size()) return false;
        if (info.st_size > 0) read.resize(static_cast<std::size_t>(info.st_size));
        if (!ReadToEnd(fd.get(), read)) return false;
        bytes.swap(read);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& consume) {
    FileDescriptor fd(OpenRegularFile(path));
    struct stat info;
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) return false;
    // The length only sizes the buffer; reading goes on to the real end.
    const auto length = static_cast<std::uintmax_t>(info.st_size > 0 ? info.st_size : 0);
    std::vector<char> piece(static_cast<std::size_t>(std::clamp<std::uintmax_t>(length, kSmallestReadPiece, kReadPiece)));
    for (;;) {
        const ssize_t got = ::read(fd.get(), piece.data(), piece.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!consume(std::string_view(piece.data(), static_cast<std::size_t>(got)))) return false;
    }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomicallyFrom(path, [bytes](const PieceWriter& write) { return write(bytes); });
}

bool ReplaceFileAtomicallyFrom(const std::string& path, const std::function<bool(const PieceWriter&)>& produce) {
    const std::string target = ToHostPath(path);
    if (target.empty() || target.back() == '/') return false;
    const std::optional<mode_t> replacedMode = RegularFileMode(target);
    if (IsReadOnly(replacedMode)) {
        errno = EACCES;
        return false;
    }
    const std::string temporary = TemporaryNameFor(target);
    bool written = false;
    try {
        written = WriteTemporary(temporary, replacedMode, produce);
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
    if (IsReadOnly(RegularFileMode(target))) {
        errno = EACCES;
        return false;
    }
    FileDescriptor fd(OpenRetrying(target, O_WRONLY | O_APPEND | O_CREAT, 0666));
    if (!fd.valid()) return false;
    if (!WriteAll(fd.get(), bytes)) return false;
    return fd.close();
}

}  // namespace qor::platform
