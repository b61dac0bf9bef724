// The host's part of the file lock: opening a lock file and trying its
// exclusive lock once. platform/FileLock.cpp builds the waiting and the
// per-thread table on top; posix/ and win32/ implement these.
#ifndef QOR_PLATFORM_HOST_LOCK_FILE_H
#define QOR_PLATFORM_HOST_LOCK_FILE_H

#include <cstdint>
#include <string>

namespace qor::platform::host {

// An open lock file: a descriptor or a handle, as a number.
using LockFileHandle = std::intptr_t;
inline constexpr LockFileHandle kNoLockFile = -1;

enum class LockFileOpen { Opened, Missing, Failed };
// Opens the lock file, making it first when create is set.
LockFileOpen OpenLockFile(const std::string& path, bool create, LockFileHandle& handle);
// Tries the exclusive lock once, without waiting: true when it is held now.
bool TryLockFile(LockFileHandle handle);
// Closes the lock file, which gives up its lock.
void CloseLockFile(LockFileHandle handle);

}  // namespace qor::platform::host

#endif
