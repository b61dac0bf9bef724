// The process lock on Windows: a mutex object named as the caller asks,
// which the holding thread may take again.
#include "platform/Platform.h"

#include <new>
#include <windows.h>

namespace qor::platform {

struct ProcessLock {
    HANDLE mutex;
};

ProcessLock* CreateProcessLock(const std::string& name) {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) return nullptr;
    ProcessLock* lock = new (std::nothrow) ProcessLock{mutex};
    if (lock == nullptr) CloseHandle(mutex);
    return lock;
}

std::uint32_t WaitProcessLock(ProcessLock* lock) {
    if (lock == nullptr) return WAIT_FAILED;
    return WaitForSingleObject(lock->mutex, INFINITE);
}

int ReleaseProcessLock(ProcessLock* lock) {
    if (lock == nullptr) return 0;
    return ReleaseMutex(lock->mutex) ? 1 : 0;
}

int CloseProcessLock(ProcessLock* lock) {
    if (lock == nullptr) return 0;
    const int closed = CloseHandle(lock->mutex) ? 1 : 0;
    delete lock;
    return closed;
}

std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace qor::platform
