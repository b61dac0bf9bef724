// The writers' lock of a store file (store/StoreLock.h) and the public
// class over it.
#include "store/StoreLock.h"

#include <new>

#include "CStoreFileLock.h"

namespace qor::store {

std::string ResolvedStorePath(const char* path) {
    if (path == nullptr || *path == '\0') return std::string();
    return platform::ResolveLinks(path);
}

StoreLock::StoreLock(const char* path, bool create, std::uint32_t waitMilliseconds)
    : storeFile_(ResolvedStorePath(path)) {
    if (storeFile_.empty()) return;
    lockFile_ = storeFile_ + ".lock";
    result_ = platform::AcquireFileLock(lockFile_, create, waitMilliseconds, held_);
}

}  // namespace qor::store

struct CStoreFileLock::Held {
    qor::store::StoreLock lock;
};

CStoreFileLock::CStoreFileLock(const char* storePath, unsigned waitMilliseconds)
    : m_held(new (std::nothrow) Held{qor::store::StoreLock(storePath, true, waitMilliseconds)}) {}

CStoreFileLock::~CStoreFileLock() { delete m_held; }

int CStoreFileLock::IsLocked() const { return m_held != nullptr && m_held->lock.Held() ? 1 : 0; }

const char* CStoreFileLock::LockFilePath() const { return m_held != nullptr ? m_held->lock.LockFile().c_str() : ""; }
