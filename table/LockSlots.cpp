// The lock slots over the table's process lock, named "iniMutex" followed
// by the process id. Without a lock every slot but pfnCreateLock returns 0.
#include <string>

#include "table/Slots.h"
#include "table/TableState.h"

namespace qor::table {

int CreateLock() {
    if (TableLock() != nullptr) return 1;
    TableLock() = platform::CreateProcessLock("iniMutex" + std::to_string(platform::CurrentProcessId()));
    return 1;
}

int CloseLock() {
    platform::ProcessLock* lock = TableLock();
    if (lock == nullptr) return 0;
    TableLock() = nullptr;
    return platform::CloseProcessLock(lock);
}

DWORD Lock() {
    platform::ProcessLock* lock = TableLock();
    return lock != nullptr ? platform::WaitProcessLock(lock) : 0;
}

int Unlock() {
    platform::ProcessLock* lock = TableLock();
    return lock != nullptr ? platform::ReleaseProcessLock(lock) : 0;
}

}  // namespace qor::table
