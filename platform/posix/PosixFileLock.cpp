// The host's part of the file lock on POSIX hosts: flock on the lock file.
// flock belongs to the open file, so the system releases it when the last
// descriptor closes, the holder's death included.
#include "platform/HostLockFile.h"
#include "platform/posix/HostPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qor::platform::host {

LockFileOpen OpenLockFile(const std::string& path, bool create, LockFileHandle& handle) {
    const std::string hostPath = posix::ToHostPath(path);
    int fd;
    do {
        fd = ::open(hostPath.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    } while (fd < 0 && errno == EINTR);
    // A lock file made by another user may be read-only to this one; a
    // read-only descriptor locks just as well.
    if (fd < 0 && errno == EACCES) {
        do {
            fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) return errno == ENOENT && !create ? LockFileOpen::Missing : LockFileOpen::Failed;
    handle = fd;
    return LockFileOpen::Opened;
}

bool TryLockFile(LockFileHandle handle) {
    int status;
    do {
        status = ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    return status == 0;
}

void CloseLockFile(LockFileHandle handle) {
    if (handle != kNoLockFile) ::close(static_cast<int>(handle));
}

}  // namespace qor::platform::host
