// The host's part of the file lock on Windows: LockFileEx on the lock
// file's first byte. The lock belongs to the handle, so the system releases
// it when the handle closes, the holder's death included.
#include "platform/HostLockFile.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

namespace qor::platform::host {

LockFileOpen OpenLockFile(const std::string& path, bool create, LockFileHandle& handle) {
    const HANDLE file = CreateFileA(win32::ToHostPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return missing && !create ? LockFileOpen::Missing : LockFileOpen::Failed;
    }
    handle = reinterpret_cast<LockFileHandle>(file);
    return LockFileOpen::Opened;
}

bool TryLockFile(LockFileHandle handle) {
    OVERLAPPED at{};
    return LockFileEx(reinterpret_cast<HANDLE>(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &at) != 0;
}

void CloseLockFile(LockFileHandle handle) {
    if (handle != kNoLockFile) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace qor::platform::host
