// The host's file calls on POSIX hosts (platform/HostFiles.h).
//
// A write past the process's file-size limit raises SIGXFSZ, whose default
// action ends the process. Writes here block that signal for the calling
// thread and treat the resulting EFBIG as an ordinary write failure.
#include "platform/HostFiles.h"
#include "platform/FileError.h"
#include "platform/posix/HostPath.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qor::platform {
namespace {

using Status = HostFiles::Status;

int Fd(HostFiles::Handle handle) { return static_cast<int>(handle); }

Status StatusOf(int result) {
    if (result >= 0) return Status::Ok;
    if (errno == EINTR) return Status::Interrupted;
    NoteFileError();
    return Status::Failed;
}

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

void Describe(const struct stat& status, HostFiles::Info& info) {
    info.regular = S_ISREG(status.st_mode);
    info.size = static_cast<std::uint64_t>(status.st_size > 0 ? status.st_size : 0);
    info.mode = static_cast<std::uint32_t>(status.st_mode & 07777);
    info.readOnly = (info.mode & 0222) == 0;
    info.owner = static_cast<std::uint32_t>(status.st_uid);
    info.group = static_cast<std::uint32_t>(status.st_gid);
    const auto nanoseconds = [](const struct timespec& at) {
        return static_cast<std::int64_t>(at.tv_sec) * 1000000000 + at.tv_nsec;
    };
    info.identity.exists = true;
    info.identity.volume = static_cast<std::uint64_t>(status.st_dev);
    info.identity.index = static_cast<std::uint64_t>(status.st_ino);
    info.identity.size = info.size;
    info.identity.modified = nanoseconds(status.st_mtim);
    info.identity.changed = nanoseconds(status.st_ctim);
}

class PosixHostFiles final : public HostFiles {
public:
    Status Open(const std::string& path, Access access, Handle& handle) override {
        // Reading does not wait for a pipe's writer; for a regular file
        // O_NONBLOCK changes nothing.
        const int flags = access == Access::Read        ? O_RDONLY | O_NONBLOCK
                          : access == Access::CreateNew ? O_WRONLY | O_CREAT | O_EXCL
                                                        : O_WRONLY | O_APPEND | O_CREAT;
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
        if (fd >= 0) handle = fd;
        return StatusOf(fd);
    }
    Status Read(Handle handle, char* into, std::size_t size, std::size_t& got) override {
        const ssize_t read = ::read(Fd(handle), into, size);
        got = read > 0 ? static_cast<std::size_t>(read) : 0;
        return StatusOf(static_cast<int>(read < 0 ? -1 : 0));
    }
    Status ReadAt(Handle handle, std::uint64_t offset, char* into, std::size_t size, std::size_t& got) override {
        const ssize_t read = ::pread(Fd(handle), into, size, static_cast<off_t>(offset));
        got = read > 0 ? static_cast<std::size_t>(read) : 0;
        return StatusOf(static_cast<int>(read < 0 ? -1 : 0));
    }
    Status Write(Handle handle, const char* from, std::size_t size, std::size_t& written) override {
        FileSizeSignalGuard guard;
        const ssize_t wrote = ::write(Fd(handle), from, size);
        written = wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
        return StatusOf(static_cast<int>(wrote < 0 ? -1 : 0));
    }
    Status Sync(Handle handle) override { return StatusOf(::fsync(Fd(handle))); }
    bool Close(Handle handle) override {
        if (::close(Fd(handle)) == 0) return true;
        NoteFileError();
        return false;
    }
    bool InfoOf(Handle handle, Info& info) override {
        struct stat status;
        if (::fstat(Fd(handle), &status) != 0) return false;
        Describe(status, info);
        return true;
    }
    bool InfoAt(const std::string& path, Info& info) override {
        struct stat status;
        if (::stat(path.c_str(), &status) != 0) return false;
        Describe(status, info);
        return true;
    }
    // Gives the new file the replaced file's owner and group where the
    // process may (root may set both, an owner may set a group it belongs
    // to), then its permission bits, which a change of owner may have cleared.
    void KeepModeAndOwner(Handle handle, const Info& replaced) override {
        const auto owner = static_cast<uid_t>(replaced.owner);
        const auto group = static_cast<gid_t>(replaced.group);
        struct stat made;
        if (::fstat(Fd(handle), &made) == 0 && (made.st_uid != owner || made.st_gid != group)) {
            if (::fchown(Fd(handle), owner, group) != 0) ::fchown(Fd(handle), static_cast<uid_t>(-1), group);
        }
        ::fchmod(Fd(handle), static_cast<mode_t>(replaced.mode));
    }
    Status Rename(const std::string& from, const std::string& to) override {
        return StatusOf(::rename(from.c_str(), to.c_str()));
    }
    bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
    bool SyncFolder(const std::string& folder) override {
        const int fd = OpenRetrying(folder, O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        const bool synced = ::fsync(fd) == 0;
        ::close(fd);
        return synced;
    }
    std::string ResolveLinks(const std::string& path) override {
        using posix::FolderOf;
        std::string resolved = posix::ToHostPath(path);
        // Follows the last part's links, as many as the host itself would.
        for (int hops = 0; hops < 40; ++hops) {
            char target[PATH_MAX];
            const ssize_t length = ::readlink(resolved.c_str(), target, sizeof target);
            if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) break;
            const std::string next(target, static_cast<std::size_t>(length));
            if (next.front() == '/') {
                resolved = next;
            } else {
                resolved = FolderOf(resolved).append("/").append(next);
            }
        }
        if (resolved.empty() || resolved.back() == '/') return resolved;
        const std::unique_ptr<char, decltype(&std::free)> folder(::realpath(FolderOf(resolved).c_str(), nullptr),
                                                                 &std::free);
        if (folder == nullptr) return resolved;
        std::string absolute(folder.get());
        if (absolute.back() != '/') absolute += '/';
        return absolute + posix::LastPartOf(resolved);
    }
    bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return posix::ListFolder(pattern, entries);
    }

    // The file lock: flock on the lock file. flock belongs to the open file,
    // so the system releases it when the last descriptor closes, the
    // holder's death included.
    LockOpen OpenLockFile(const std::string& path, bool create, Handle& handle) override {
        const std::string hostPath = posix::ToHostPath(path);
        int fd = OpenRetrying(hostPath, O_RDWR | (create ? O_CREAT : 0), 0666);
        // A lock file made by another user may be read-only to this one; a
        // read-only descriptor locks just as well.
        if (fd < 0 && errno == EACCES) fd = OpenRetrying(hostPath, O_RDONLY);
        if (fd < 0 && errno == ENOENT && !create) return LockOpen::Missing;
        if (fd < 0) {
            NoteFileError();
            return LockOpen::Failed;
        }
        handle = fd;
        return LockOpen::Opened;
    }
    bool TryLockFile(Handle handle) override {
        int status;
        do {
            status = ::flock(Fd(handle), LOCK_EX | LOCK_NB);
        } while (status != 0 && errno == EINTR);
        return status == 0;
    }
    void CloseLockFile(Handle handle) override {
        if (handle != kNoHandle) ::close(Fd(handle));
    }
};

}  // namespace

std::string HostPathOf(const std::string& path) { return posix::ToHostPath(path); }

std::string FolderPartOf(const std::string& hostPath) { return posix::FolderOf(hostPath); }

HostFiles& SystemHostFiles() {
    // Never destroyed, so that a lock released while the process exits
    // still finds it.
    static PosixHostFiles* files = new PosixHostFiles;
    return *files;
}

}  // namespace qor::platform
