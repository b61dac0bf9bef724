// Reading, atomic replacement and appending, written once above the host's
// file calls (platform/HostFiles.h). A call the host reports as interrupted
// is made again; a write that lands only part of its bytes goes on with the
// rest.
#include "platform/HostFiles.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>

namespace qor::platform {
namespace {

using Status = HostFiles::Status;
using Handle = HostFiles::Handle;

// Reads and writes move at most this many bytes per host call (what a
// Windows DWORD count takes).
constexpr std::size_t kChunk = std::size_t{1} << 30;
// ReadFileInPieces reads at most this much at a time, and at least the
// smaller amount, so that a small file costs a small buffer. A piece of a
// quarter of a megabyte stays in the processor's cache while it is read,
// and a large load touches no more fresh memory for it.
constexpr std::size_t kReadPiece = 1 << 18;
constexpr std::size_t kSmallestReadPiece = 1 << 12;

// Makes call until the host reports something other than an interruption.
template <typename Call>
Status Retrying(Call call) {
    Status status;
    do {
        status = call();
    } while (status == Status::Interrupted);
    return status;
}

// An open file, closed when it leaves scope.
class OpenFile {
public:
    OpenFile(const std::string& hostPath, HostFiles::Access access) : files_(ActiveHostFiles()) {
        if (Retrying([&] { return files_.Open(hostPath, access, handle_); }) != Status::Ok) {
            handle_ = HostFiles::kNoHandle;
        }
    }
    ~OpenFile() {
        if (valid()) files_.Close(handle_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    bool valid() const { return handle_ != HostFiles::kNoHandle; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        const Handle handle = handle_;
        handle_ = HostFiles::kNoHandle;
        return files_.Close(handle);
    }

    // Some bytes into into, at most size: got 0 at the end of the file.
    bool Read(char* into, std::size_t size, std::size_t& got) {
        return Retrying([&] { return files_.Read(handle_, into, std::min(size, kChunk), got); }) == Status::Ok;
    }
    bool ReadAt(std::uint64_t offset, char* into, std::size_t size, std::size_t& got) {
        return Retrying([&] { return files_.ReadAt(handle_, offset, into, std::min(size, kChunk), got); }) ==
               Status::Ok;
    }
    bool WriteAll(std::string_view bytes) {
        while (!bytes.empty()) {
            std::size_t written = 0;
            const Status status =
                Retrying([&] { return files_.Write(handle_, bytes.data(), std::min(bytes.size(), kChunk), written); });
            if (status != Status::Ok || written == 0) return false;
            bytes.remove_prefix(std::min(written, bytes.size()));
        }
        return true;
    }
    bool Sync() {
        return Retrying([&] { return files_.Sync(handle_); }) == Status::Ok;
    }
    // The open file's length, unless it is no regular file: a pipe or a
    // device such as /dev/zero has no end to read to.
    std::optional<std::uint64_t> RegularLength(FileIdentity* identity = nullptr) {
        HostFiles::Info info;
        if (!valid() || !files_.InfoOf(handle_, info) || !info.regular) return std::nullopt;
        if (identity != nullptr) *identity = info.identity;
        return info.size;
    }
    void KeepModeAndOwner(const HostFiles::Info& replaced) { files_.KeepModeAndOwner(handle_, replaced); }

private:
    HostFiles& files_;
    Handle handle_ = HostFiles::kNoHandle;
};

// Reads until end of file: first into the space bytes already has, then,
// should the file have grown meanwhile, through a small probe buffer so that
// the common case never copies the large buffer. False once more than
// maxBytes have come.
bool ReadToEnd(OpenFile& file, std::string& bytes, std::uint64_t maxBytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        std::size_t got = 0;
        if (!file.Read(bytes.data() + filled, bytes.size() - filled, got)) return false;
        if (got == 0) {
            bytes.resize(filled);
            return true;
        }
        filled += got;
    }
    char probe[64 * 1024];
    for (;;) {
        std::size_t got = 0;
        if (!file.Read(probe, sizeof probe, got)) return false;
        if (got == 0) return true;
        if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes) return false;
        bytes.append(probe, got);
    }
}

// A name for a temporary file beside the target that no other writer in
// this or another process picks at the same time.
std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp" + std::to_string(CurrentProcessId()) + "." + std::to_string(counter++);
}

// The regular file at path, if there is one.
std::optional<HostFiles::Info> RegularFileAt(const std::string& hostPath) {
    HostFiles::Info info;
    if (!ActiveHostFiles().InfoAt(hostPath, info) || !info.regular) return std::nullopt;
    return info;
}

// A file nobody may write is read-only, as Windows' read-only attribute:
// writers refuse it even when the process could write it anyway (root, or
// a rename that needs only the folder).
bool IsReadOnly(const std::optional<HostFiles::Info>& file) { return file && file->readOnly; }

// Writes the temporary file through produce, flushes and closes it.
bool WriteTemporary(const std::string& temporary, const std::optional<HostFiles::Info>& replaced,
                    const std::function<bool(const PieceWriter&)>& produce) {
    OpenFile file(temporary, HostFiles::Access::CreateNew);
    if (!file.valid()) return false;
    if (replaced) file.KeepModeAndOwner(*replaced);
    if (!produce([&file](std::string_view piece) { return file.WriteAll(piece); })) return false;
    if (!file.Sync()) return false;
    return file.close();
}

}  // namespace

// A file too large to hold in memory is a read failure, not an exception.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    OpenFile file(HostPathOf(path), HostFiles::Access::Read);
    const std::optional<std::uint64_t> length = file.RegularLength();
    if (!length || *length > maxBytes) return false;
    try {
        std::string read;
        // One read fills the buffer sized from the file's length; the file may
        // still grow or shrink while it is read, so read on to the real end.
        if (*length > read.max_size()) return false;
        read.resize(static_cast<std::size_t>(*length));
        if (!ReadToEnd(file, read, maxBytes)) return false;
        bytes.swap(read);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

FileIdentity IdentityOf(const std::string& path) noexcept {
    try {
        HostFiles::Info info;
        if (!ActiveHostFiles().InfoAt(HostPathOf(path), info)) return FileIdentity();
        return info.identity;
    } catch (const std::bad_alloc&) {
        return FileIdentity();
    }
}

bool ReadFileInPieces(const std::string& path, const std::function<bool(std::string_view)>& consume,
                      std::uint64_t maxBytes, FileIdentity* identity) {
    OpenFile file(HostPathOf(path), HostFiles::Access::Read);
    const std::optional<std::uint64_t> length = file.RegularLength(identity);
    if (!length || *length > maxBytes) return false;
    // The length only sizes the buffer; reading goes on to the real end.
    std::vector<char> piece(
        static_cast<std::size_t>(std::clamp<std::uint64_t>(*length, kSmallestReadPiece, kReadPiece)));
    std::uint64_t total = 0;
    for (;;) {
        std::size_t got = 0;
        if (!file.Read(piece.data(), piece.size(), got)) return false;
        if (got == 0) return true;
        total += got;
        if (total > maxBytes) return false;
        if (!consume(std::string_view(piece.data(), got))) return false;
    }
}

bool ReadFileTail(const std::string& path, std::size_t count, std::string& bytes) {
    OpenFile file(HostPathOf(path), HostFiles::Access::Read);
    const std::optional<std::uint64_t> length = file.RegularLength();
    if (!length) return false;
    const std::uint64_t start = *length > count ? *length - count : 0;
    std::string tail(static_cast<std::size_t>(*length - start), '\0');
    std::size_t filled = 0;
    while (filled < tail.size()) {
        std::size_t got = 0;
        if (!file.ReadAt(start + filled, tail.data() + filled, tail.size() - filled, got)) return false;
        if (got == 0) break;  // the file shrank meanwhile
        filled += got;
    }
    tail.resize(filled);
    bytes.swap(tail);
    return true;
}

std::string ResolveLinks(const std::string& path) { return ActiveHostFiles().ResolveLinks(path); }

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomicallyFrom(path, [bytes](const PieceWriter& write) { return write(bytes); });
}

bool ReplaceFileAtomicallyFrom(const std::string& path, const std::function<bool(const PieceWriter&)>& produce) {
    if (path.empty()) return false;
    HostFiles& files = ActiveHostFiles();
    const std::string target = files.ResolveLinks(path);
    if (target.empty() || target.back() == '/' || target.back() == '\\') return false;
    const std::optional<HostFiles::Info> replaced = RegularFileAt(target);
    if (IsReadOnly(replaced)) return false;
    const std::string temporary = TemporaryNameFor(target);
    // Made now: once the rename is done, nothing may fail for want of memory.
    const std::string folder = FolderPartOf(target);
    bool written = false;
    try {
        written = WriteTemporary(temporary, replaced, produce);
    } catch (...) {
        files.Remove(temporary);
        throw;
    }
    if (!written || Retrying([&] { return files.Rename(temporary, target); }) != Status::Ok) {
        files.Remove(temporary);
        return false;
    }
    // Some file systems refuse to sync folders; the rename has happened by
    // then, so this is best effort.
    files.SyncFolder(folder);
    return true;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
    // Binary appending: the bytes land unchanged, line ends included.
    const std::string target = HostPathOf(path);
    if (IsReadOnly(RegularFileAt(target))) return false;
    OpenFile file(target, HostFiles::Access::Append);
    if (!file.valid()) return false;
    if (!file.WriteAll(bytes)) return false;
    return file.close();
}

bool FindEntries(const std::string& pattern, std::vector<FolderEntry>& entries) {
    return ActiveHostFiles().ListFolder(pattern, entries);
}

}  // namespace qor::platform
