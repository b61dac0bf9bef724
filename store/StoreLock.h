// The writers' lock of a store file, as the store's own writes and
// CStoreFileLock take it: the lock file is the resolved store file's path
// plus ".lock".
#ifndef QOR_STORE_STORELOCK_H
#define QOR_STORE_STORELOCK_H

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace qor::store {

// The store file at path as writers name it: links followed, folder absolute.
std::string ResolvedStorePath(const char* path);

// Holds the lock of one store file while in scope.
class StoreLock {
public:
    // Takes the lock, making its lock file when create is set (saves);
    // otherwise (exports) a file without a lock file is written without a
    // lock and nothing is made beside it.
    StoreLock(const char* path, bool create, std::uint32_t waitMilliseconds);
    ~StoreLock() { platform::ReleaseFileLock(held_); }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // True when the lock is held, or when no lock file asks for one.
    bool MayWrite() const { return held_ != nullptr || result_ == platform::FileLockResult::NoLockFile; }
    bool Held() const { return held_ != nullptr; }
    const std::string& LockFile() const { return lockFile_; }
    // The store file the lock is of, resolved (empty for an empty path).
    const std::string& StoreFile() const { return storeFile_; }

private:
    std::string storeFile_;
    std::string lockFile_;
    platform::FileLock* held_ = nullptr;
    platform::FileLockResult result_ = platform::FileLockResult::Failed;
};

}  // namespace qor::store

#endif
