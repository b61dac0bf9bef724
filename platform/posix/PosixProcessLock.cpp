// The process lock on POSIX hosts: a lock private to the process that the
// holding thread may take again. Built from a mutex and a condition variable
// (not std::recursive_mutex) so that a release by a thread that does not
// hold it is refused with 0 instead of being undefined.
#include "platform/Platform.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <unistd.h>

namespace qor::platform {

struct ProcessLock {
    std::mutex guard;
    std::condition_variable released;
    std::thread::id owner;
    std::uint32_t depth = 0;
};

namespace {
constexpr std::uint32_t kWaitAcquired = 0;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
}  // namespace

ProcessLock* CreateProcessLock(const std::string& /*name*/) {
    // The name only matters to hosts whose locks are system objects.
    return new (std::nothrow) ProcessLock;
}

std::uint32_t WaitProcessLock(ProcessLock* lock) {
    if (lock == nullptr) return kWaitFailed;
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> hold(lock->guard);
    if (lock->depth > 0 && lock->owner == self) {
        if (lock->depth == UINT32_MAX) return kWaitFailed;
        ++lock->depth;
        return kWaitAcquired;
    }
    lock->released.wait(hold, [lock] { return lock->depth == 0; });
    lock->owner = self;
    lock->depth = 1;
    return kWaitAcquired;
}

int ReleaseProcessLock(ProcessLock* lock) {
    if (lock == nullptr) return 0;
    std::unique_lock<std::mutex> hold(lock->guard);
    if (lock->depth == 0 || lock->owner != std::this_thread::get_id()) return 0;
    if (--lock->depth == 0) {
        lock->owner = std::thread::id();
        hold.unlock();
        lock->released.notify_one();
    }
    return 1;
}

int CloseProcessLock(ProcessLock* lock) {
    if (lock == nullptr) return 0;
    delete lock;
    return 1;
}

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

}  // namespace qor::platform
