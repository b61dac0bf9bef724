// The host's file calls on Windows (platform/HostFiles.h).
#include "platform/HostFiles.h"
#include "platform/FileError.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

namespace qor::platform {
namespace {

using Status = HostFiles::Status;

HANDLE Native(HostFiles::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

Status StatusOf(BOOL succeeded) {
    if (succeeded) return Status::Ok;
    NoteFileError();
    return Status::Failed;
}

std::int64_t TimeOf(const FILETIME& at) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(at.dwHighDateTime) << 32) | at.dwLowDateTime);
}

// The open file's volume serial, file index, size and times; exists stays
// false when the host cannot tell.
void DescribeIdentity(HANDLE file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION byHandle;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandle(file, &byHandle) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        return;
    }
    identity.exists = true;
    identity.volume = byHandle.dwVolumeSerialNumber;
    identity.index = (static_cast<std::uint64_t>(byHandle.nFileIndexHigh) << 32) | byHandle.nFileIndexLow;
    identity.size = (static_cast<std::uint64_t>(byHandle.nFileSizeHigh) << 32) | byHandle.nFileSizeLow;
    identity.modified = TimeOf(byHandle.ftLastWriteTime);
    identity.changed = basic.ChangeTime.QuadPart;
}

class Win32HostFiles final : public HostFiles {
public:
    Status Open(const std::string& path, Access access, Handle& handle) override {
        HANDLE file = INVALID_HANDLE_VALUE;
        if (access == Access::Read) {
            // Others may read, write, rename and delete it meanwhile: a
            // reader must never make a writer's rename fail.
            file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        } else if (access == Access::CreateNew) {
            file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        } else {
            file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        }
        if (file == INVALID_HANDLE_VALUE) return StatusOf(FALSE);
        handle = reinterpret_cast<Handle>(file);
        return Status::Ok;
    }
    Status Read(Handle handle, char* into, std::size_t size, std::size_t& got) override {
        DWORD read = 0;
        const BOOL done = ReadFile(Native(handle), into, static_cast<DWORD>(size), &read, nullptr);
        got = read;
        return StatusOf(done);
    }
    Status ReadAt(Handle handle, std::uint64_t offset, char* into, std::size_t size, std::size_t& got) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(Native(handle), at, nullptr, FILE_BEGIN)) return StatusOf(FALSE);
        return Read(handle, into, size, got);
    }
    Status Write(Handle handle, const char* from, std::size_t size, std::size_t& written) override {
        DWORD wrote = 0;
        const BOOL done = WriteFile(Native(handle), from, static_cast<DWORD>(size), &wrote, nullptr);
        written = wrote;
        return StatusOf(done);
    }
    Status Sync(Handle handle) override { return StatusOf(FlushFileBuffers(Native(handle))); }
    bool Close(Handle handle) override { return StatusOf(CloseHandle(Native(handle))) == Status::Ok; }
    // Only a disk file counts as regular: a pipe or a console device has no
    // end to read to.
    bool InfoOf(Handle handle, Info& info) override {
        LARGE_INTEGER size;
        if (GetFileType(Native(handle)) != FILE_TYPE_DISK || !GetFileSizeEx(Native(handle), &size) ||
            size.QuadPart < 0) {
            info.regular = false;
            return true;
        }
        info.regular = true;
        info.size = static_cast<std::uint64_t>(size.QuadPart);
        DescribeIdentity(Native(handle), info.identity);
        return true;
    }
    // Windows refuses to replace or append to a read-only file by itself,
    // so readOnly stays false; there are no owner and mode bits to keep.
    bool InfoAt(const std::string& path, Info& info) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
        info.regular = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        // The identity needs a handle; one that asks for no access at all
        // shares everything, so no writer's rename fails meanwhile.
        const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DescribeIdentity(file, info.identity);
            CloseHandle(file);
        }
        return true;
    }
    void KeepModeAndOwner(Handle, const Info&) override {}
    // A program that holds the target open without sharing its deletion (a
    // virus scanner, an editor) makes the rename fail for a moment; it is
    // retried for about a second. Write-through: the rename is on the disk
    // when it returns.
    Status Rename(const std::string& from, const std::string& to) override {
        for (int attempt = 0;; ++attempt) {
            if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return Status::Ok;
            }
            const DWORD error = GetLastError();
            if (attempt >= 20 ||
                (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)) {
                return StatusOf(FALSE);
            }
            Sleep(50);
        }
    }
    bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
    // The rename wrote through already.
    bool SyncFolder(const std::string&) override { return true; }
    std::string ResolveLinks(const std::string& path) override {
        const std::string host = win32::ToHostPath(path);
        // The final path of an existing file, through every link on the way.
        HANDLE file = CreateFileA(host.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char final[MAX_PATH * 4];
            const DWORD length = GetFinalPathNameByHandleA(file, final, sizeof final, FILE_NAME_NORMALIZED);
            CloseHandle(file);
            if (length > 0 && length < sizeof final) {
                std::string resolved(final, length);
                // "\\?\C:\..." for a drive, "\\?\UNC\server\..." for a share.
                if (resolved.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + resolved.substr(7);
                if (resolved.rfind("\\\\?\\", 0) == 0) return resolved.substr(4);
                return resolved;
            }
        }
        char full[MAX_PATH * 4];
        const DWORD length = GetFullPathNameA(host.c_str(), sizeof full, full, nullptr);
        return length > 0 && length < sizeof full ? std::string(full, length) : host;
    }
    bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return win32::ListFolder(pattern, entries);
    }

    // The file lock: LockFileEx on the lock file's first byte. The lock
    // belongs to the handle, so the system releases it when the handle
    // closes, the holder's death included.
    LockOpen OpenLockFile(const std::string& path, bool create, Handle& handle) override {
        const std::string hostPath = win32::ToHostPath(path);
        const auto open = [&](DWORD access, DWORD disposition) {
            return CreateFileA(hostPath.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        HANDLE file = open(GENERIC_READ | GENERIC_WRITE, create ? OPEN_ALWAYS : OPEN_EXISTING);
        // A lock file made by another user may be read-only to this one; a
        // handle opened for reading locks just as well.
        if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
            file = open(GENERIC_READ, OPEN_EXISTING);
        }
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            if (missing && !create) return LockOpen::Missing;
            NoteFileError();
            return LockOpen::Failed;
        }
        handle = reinterpret_cast<Handle>(file);
        return LockOpen::Opened;
    }
    bool TryLockFile(Handle handle) override {
        OVERLAPPED at{};
        return LockFileEx(Native(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
    }
    void CloseLockFile(Handle handle) override {
        if (handle != kNoHandle) CloseHandle(Native(handle));
    }
};

}  // namespace

std::string HostPathOf(const std::string& path) { return win32::ToHostPath(path); }

std::string FolderPartOf(const std::string& hostPath) {
    const std::size_t separator = hostPath.find_last_of("\\/");
    return separator == std::string::npos ? "." : hostPath.substr(0, separator + 1);
}

HostFiles& SystemHostFiles() {
    // Never destroyed, so that a lock released while the process exits
    // still finds it.
    static Win32HostFiles* files = new Win32HostFiles;
    return *files;
}

}  // namespace qor::platform
