// The operating system's file calls, as few and as narrow as the file code
// above them needs. platform/Files.cpp writes reading, replacing and
// appending once on top of them; posix/ and win32/ implement them. A test
// may put an implementation of its own in place for a scope (to make a
// call fail, for instance) and reach the system's through SystemHostFiles.
#ifndef QOR_PLATFORM_HOSTFILES_H
#define QOR_PLATFORM_HOSTFILES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "util/ScopedReplacement.h"

namespace qor::platform {

class HostFiles {
public:
    // An open file: a descriptor or a handle, as a number.
    using Handle = std::intptr_t;
    static constexpr Handle kNoHandle = -1;

    // Interrupted: nothing happened and the same call may simply be made
    // again (a signal arrived); the layer above retries it.
    enum class Status { Ok, Interrupted, Failed };

    enum class Access {
        Read,       // reading, while others may read, write, rename and delete it
        CreateNew,  // writing a file that must not exist yet, nobody else writing
        Append,     // writing at the end, made when missing
    };

    // What a replacement keeps of the file it replaces.
    struct Info {
        bool regular = false;   // a regular disk file (no folder, pipe or device)
        bool readOnly = false;  // writers refuse it (POSIX: no write bit at all)
        std::uint64_t size = 0;
        std::uint32_t mode = 0, owner = 0, group = 0;  // POSIX permission bits, user, group
        FileIdentity identity;                         // exists set whenever the call succeeded
    };

    virtual ~HostFiles() = default;

    // Paths given here are host paths (HostPathOf).
    virtual Status Open(const std::string& path, Access access, Handle& handle) = 0;
    // got 0 with Ok: the end of the file.
    virtual Status Read(Handle handle, char* into, std::size_t size, std::size_t& got) = 0;
    virtual Status ReadAt(Handle handle, std::uint64_t offset, char* into, std::size_t size, std::size_t& got) = 0;
    // May write fewer bytes than asked (written tells how many).
    virtual Status Write(Handle handle, const char* from, std::size_t size, std::size_t& written) = 0;
    // Flushes the file's bytes to the disk.
    virtual Status Sync(Handle handle) = 0;
    // False when the close reported an error (a write that did not land).
    virtual bool Close(Handle handle) = 0;
    virtual bool InfoOf(Handle handle, Info& info) = 0;
    // The file at path, links followed.
    virtual bool InfoAt(const std::string& path, Info& info) = 0;
    // Gives the open file the replaced file's owner, group and permission
    // bits where the process may; best effort.
    virtual void KeepModeAndOwner(Handle handle, const Info& replaced) = 0;
    // Renames over an existing target.
    virtual Status Rename(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Flushes a folder so that a rename into it survives a crash.
    virtual bool SyncFolder(const std::string& folder) = 0;
    // As platform::ResolveLinks.
    virtual std::string ResolveLinks(const std::string& path) = 0;
    // As platform::FindEntries.
    virtual bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) = 0;

    enum class LockOpen { Opened, Missing, Failed };
    // Opens the lock file, making it first when create is set.
    virtual LockOpen OpenLockFile(const std::string& path, bool create, Handle& handle) = 0;
    // Tries the exclusive lock once, without waiting: true when it is held now.
    virtual bool TryLockFile(Handle handle) = 0;
    // Closes the lock file, which gives up its lock.
    virtual void CloseLockFile(Handle handle) = 0;
};

// The path with the host's own separators (either is accepted).
std::string HostPathOf(const std::string& path);
// The folder part of a host path ("." when it has none).
std::string FolderPartOf(const std::string& hostPath);

// The system's implementation.
HostFiles& SystemHostFiles();

// A test's replacement, when one is in place.
inline HostFiles* g_replacementHostFiles = nullptr;

// The implementation in use.
inline HostFiles& ActiveHostFiles() {
    return g_replacementHostFiles != nullptr ? *g_replacementHostFiles : SystemHostFiles();
}

// Tests only: puts files in place for the rest of its scope.
using ScopedHostFilesForTesting = qor::ScopedReplacement<HostFiles, &g_replacementHostFiles>;

}  // namespace qor::platform

#endif
