// The file lock's waiting and its process-wide table. The host lock
// (flock, LockFileEx) keeps other processes out; the table keeps the
// threads of this process in order, because the host lock alone cannot:
// depending on the host and the file system, a second open of the lock
// file in the same process either blocks on the first (the holding thread
// would wait on itself) or passes (two threads would write at once).
#include "platform/HostFiles.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace qor::platform {

struct FileLock {
    std::string path;
};

namespace {

using Clock = std::chrono::steady_clock;

// One lock file that a thread of this process holds or is taking.
struct HeldLock {
    std::thread::id owner;
    unsigned takes = 0;
    HostFiles::Handle handle = HostFiles::kNoHandle;
};

struct LockTable {
    std::mutex guard;
    std::condition_variable released;
    std::map<std::string, HeldLock> held;
};

// Never destroyed, so that a lock released while the process exits still
// finds its table.
LockTable& Table() {
    static LockTable* table = new LockTable;
    return *table;
}

// Drops the entry of a lock file that this thread reserved but did not get.
void GiveUp(LockTable& table, const std::string& path) {
    std::lock_guard<std::mutex> lock(table.guard);
    table.held.erase(path);
    table.released.notify_all();
}

// Tries the host lock until it is held or the deadline passes, polling at
// growing intervals: the hosts offer no wait with a time limit.
bool LockBefore(HostFiles& files, HostFiles::Handle handle, Clock::time_point deadline) {
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (files.TryLockFile(handle)) return true;
        const auto now = Clock::now();
        if (now >= deadline) return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

}  // namespace

FileLockResult AcquireFileLock(const std::string& lockPath, bool create, std::uint32_t waitMilliseconds,
                               FileLock*& held) {
    held = nullptr;
    // Owned here until handed to the caller, so that a failed allocation
    // further on does not lose it.
    std::unique_ptr<FileLock> taken(new (std::nothrow) FileLock{lockPath});
    if (taken == nullptr) return FileLockResult::Failed;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMilliseconds);
    LockTable& table = Table();
    std::unique_lock<std::mutex> lock(table.guard);
    for (;;) {
        auto entry = table.held.find(lockPath);
        if (entry == table.held.end()) break;
        if (entry->second.owner == std::this_thread::get_id()) {
            ++entry->second.takes;
            held = taken.release();
            return FileLockResult::Acquired;
        }
        if (table.released.wait_until(lock, deadline) == std::cv_status::timeout && table.held.count(lockPath) != 0) {
            return FileLockResult::TimedOut;
        }
    }
    // Reserved for this thread: the other threads wait on the table, not on
    // the file, while this one waits for other processes.
    table.held[lockPath] = HeldLock{std::this_thread::get_id(), 1, HostFiles::kNoHandle};
    lock.unlock();

    HostFiles& files = ActiveHostFiles();
    HostFiles::Handle handle = HostFiles::kNoHandle;
    const HostFiles::LockOpen opened = files.OpenLockFile(lockPath, create, handle);
    FileLockResult result = FileLockResult::Acquired;
    if (opened == HostFiles::LockOpen::Missing) {
        result = FileLockResult::NoLockFile;
    } else if (opened == HostFiles::LockOpen::Failed) {
        result = FileLockResult::Failed;
    } else if (!LockBefore(files, handle, deadline)) {
        files.CloseLockFile(handle);
        result = FileLockResult::TimedOut;
    }
    if (result != FileLockResult::Acquired) {
        GiveUp(table, lockPath);
        return result;
    }
    lock.lock();
    table.held[lockPath].handle = handle;
    held = taken.release();
    return FileLockResult::Acquired;
}

void ReleaseFileLock(FileLock* held) {
    if (held == nullptr) return;
    LockTable& table = Table();
    {
        std::lock_guard<std::mutex> lock(table.guard);
        auto entry = table.held.find(held->path);
        if (entry != table.held.end() && --entry->second.takes == 0) {
            ActiveHostFiles().CloseLockFile(entry->second.handle);
            table.held.erase(entry);
            table.released.notify_all();
        }
    }
    delete held;
}

}  // namespace qor::platform
