// File reading, atomic replacement and appending on Windows.
#include "platform/Platform.h"
#include "platform/win32/Win32Path.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <vector>
#include <windows.h>

namespace qor::platform {
namespace {

using win32::ToHostPath;

// Closes a file handle when it leaves scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }
    // Hands the handle over without closing it.
    HANDLE release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE handle_;
};

// Reads and writes move at most this many bytes per call (a DWORD count).
constexpr std::size_t kChunk = 1u << 30;
// ReadFileInPieces reads at most this much at a time, and at least the
// smaller amount, so that a small file costs a small buffer, not a megabyte.
constexpr std::size_t kReadPiece = 1u << 20;
constexpr std::size_t kSmallestReadPiece = 1u << 12;

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD request = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), request, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Reads until end of file: first into the space bytes already has, then,
// should the file have grown meanwhile, through a small probe buffer. False
// once more than maxBytes have come.
bool ReadToEnd(HANDLE file, std::string& bytes, std::uint64_t maxBytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const std::size_t left = bytes.size() - filled;
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + filled, static_cast<DWORD>(left < kChunk ? left : kChunk), &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            bytes.resize(filled);
            return true;
        }
        filled += got;
    }
    char probe[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, probe, sizeof probe, &got, nullptr)) return false;
        if (got == 0) return true;
        if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes) return false;
        bytes.append(probe, got);
    }
}

std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp" + std::to_string(GetCurrentProcessId()) + "." + std::to_string(counter++);
}

// Writes the temporary file through produce, flushes and closes it.
bool WriteTemporary(const std::string& temporary, const std::function<bool(const PieceWriter&)>& produce) {
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const HANDLE handle = file.get();
    if (!produce([handle](std::string_view piece) { return WriteAll(handle, piece); })) return false;
    if (!FlushFileBuffers(handle)) return false;
    return file.close();
}

// Opens a file for reading while others may read, write, rename and delete
// it (a reader must never make a writer's rename fail); invalid unless it is
// a disk file: a pipe or a console device has no end to read to.
HANDLE OpenDiskFile(const std::string& path) {
    FileHandle file(CreateFileA(ToHostPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return INVALID_HANDLE_VALUE;
    return file.release();
}

// Renames the temporary file over the target. A program that holds the
// target open without sharing its deletion (a virus scanner, an editor)
// makes the rename fail for a moment; it is retried for about a second.
bool RenameOver(const std::string& temporary, const std::string& target) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt >= 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
                              error != ERROR_LOCK_VIOLATION)) {
            return false;
        }
        Sleep(50);
    }
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    FileHandle file(OpenDiskFile(path));
    if (!file.valid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return false;
    // A file too large to hold in memory is a read failure, not an exception.
    try {
        std::string read;
        if (static_cast<unsigned long long>(size.QuadPart) > read.max_size()) return false;
        read.resize(static_cast<std::size_t>(size.QuadPart));
        if (!ReadToEnd(file.get(), read, maxBytes)) return false;
        bytes.swap(read);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& consume,
                      std::uint64_t maxBytes) {
    FileHandle file(OpenDiskFile(path));
    LARGE_INTEGER size;
    if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return false;
    if (size.QuadPart > 0 && static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return false;
    // The length only sizes the buffer; reading goes on to the real end.
    const auto length = static_cast<std::uintmax_t>(size.QuadPart > 0 ? size.QuadPart : 0);
    std::vector<char> piece(static_cast<std::size_t>(std::clamp<std::uintmax_t>(length, kSmallestReadPiece, kReadPiece)));
    std::uint64_t total = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr)) return false;
        if (got == 0) return true;
        total += got;
        if (total > maxBytes) return false;
        if (!consume(std::string_view(piece.data(), got))) return false;
    }
}

bool ReadFileTail(const std::string& path, std::size_t count, std::string& bytes) {
    FileHandle file(OpenDiskFile(path));
    LARGE_INTEGER size;
    if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
    const auto length = static_cast<std::uint64_t>(size.QuadPart);
    LARGE_INTEGER start;
    start.QuadPart = static_cast<LONGLONG>(length > count ? length - count : 0);
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return false;
    std::string tail(static_cast<std::size_t>(length - static_cast<std::uint64_t>(start.QuadPart)), '\0');
    std::size_t filled = 0;
    while (filled < tail.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), tail.data() + filled, static_cast<DWORD>(tail.size() - filled), &got, nullptr)) {
            return false;
        }
        if (got == 0) break;  // the file shrank meanwhile
        filled += got;
    }
    tail.resize(filled);
    bytes.swap(tail);
    return true;
}

std::string ResolveLinks(const std::string& path) {
    const std::string host = ToHostPath(path);
    // The final path of an existing file, through every link on the way.
    FileHandle file(CreateFileA(host.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.valid()) {
        char final[MAX_PATH * 4];
        const DWORD length = GetFinalPathNameByHandleA(file.get(), final, sizeof final, FILE_NAME_NORMALIZED);
        if (length > 0 && length < sizeof final) {
            std::string resolved(final, length);
            // \\?\C:\... for a drive, \\?\UNC\server\... for a share.
            if (resolved.rfind(R"(\\?\UNC\)", 0) == 0) return R"(\\)" + resolved.substr(8);
            if (resolved.rfind(R"(\\?\)", 0) == 0) return resolved.substr(4);
            return resolved;
        }
    }
    char full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameA(host.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : host;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomicallyFrom(path, [bytes](const PieceWriter& write) { return write(bytes); });
}

bool ReplaceFileAtomicallyFrom(const std::string& path, const std::function<bool(const PieceWriter&)>& produce) {
    if (path.empty()) return false;
    const std::string target = ResolveLinks(path);
    if (target.back() == '\\') return false;
    const std::string temporary = TemporaryNameFor(target);
    bool written = false;
    try {
        written = WriteTemporary(temporary, produce);
    } catch (...) {
        DeleteFileA(temporary.c_str());
        throw;
    }
    if (!written || !RenameOver(temporary, target)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
    // Binary appending: the bytes land unchanged, line ends included.
    FileHandle file(CreateFileA(ToHostPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    if (!WriteAll(file.get(), bytes)) return false;
    return file.close();
}

}  // namespace qor::platform
