// Every host file call of the store's file operations disturbed in turn (I/O
// error, full disk, short write, interruption): the operation reports 0 with
// everything as it was, or completes where the call is retried or comes after
// the new file is in place. No temporary file stays, no file stays open.
#include <cerrno>
#include <optional>
#include <set>

#include "platform/HostFiles.h"
#include "tests/faults/FaultScenarios.h"

namespace qor::faults {
namespace {

using platform::FolderEntry;
using platform::HostFiles;

enum class Fault { Fail, ShortWrite, Interrupt };

enum class Call {
    Open,
    Read,
    ReadAt,
    Write,
    Sync,
    Close,
    InfoOf,
    InfoAt,
    Rename,
    Remove,
    SyncFolder,
    ResolveLinks,
    ListFolder,
    OpenLockFile,
    TryLockFile
};

// The system's host files, counting every call and disturbing one of them.
class FaultyFiles final : public HostFiles {
public:
    FaultyFiles(std::size_t failAt, Fault fault, int error) : failAt_(failAt), fault_(fault), error_(error) {}

    std::vector<Call> calls;
    bool injected = false;
    bool failedReaderClose = false;
    std::set<Handle> open;  // handles not closed yet

    Status Open(const std::string& path, Access access, Handle& handle) override {
        const Status status = Forward(Call::Open, [&] { return real_.Open(path, access, handle); });
        if (status == Status::Ok) {
            open.insert(handle);
            if (access == Access::Read) readers_.insert(handle);
        }
        return status;
    }
    Status Read(Handle h, char* into, std::size_t size, std::size_t& got) override {
        return Forward(Call::Read, [&] { return real_.Read(h, into, size, got); });
    }
    Status ReadAt(Handle h, std::uint64_t at, char* into, std::size_t size, std::size_t& got) override {
        return Forward(Call::ReadAt, [&] { return real_.ReadAt(h, at, into, size, got); });
    }
    Status Write(Handle h, const char* from, std::size_t size, std::size_t& written) override {
        const bool shortWrite = Due(Call::Write) && fault_ == Fault::ShortWrite && size > 1;
        if (shortWrite) {
            injected = true;
            return real_.Write(h, from, size / 2, written);
        }
        if (const Status status = Apply(true); status != Status::Ok) return status;
        return real_.Write(h, from, size, written);
    }
    Status Sync(Handle h) override {
        return Forward(Call::Sync, [&] { return real_.Sync(h); });
    }
    // A failed close still gives the handle up, as the hosts' closes do.
    bool Close(Handle h) override {
        const bool failed = !Passes(Call::Close);
        if (failed && readers_.count(h) != 0) failedReaderClose = true;
        open.erase(h);
        readers_.erase(h);
        return real_.Close(h) && !failed;
    }
    bool InfoOf(Handle h, Info& info) override { return Passes(Call::InfoOf) && real_.InfoOf(h, info); }
    bool InfoAt(const std::string& path, Info& info) override {
        return Passes(Call::InfoAt) && real_.InfoAt(path, info);
    }
    void KeepModeAndOwner(Handle h, const Info& replaced) override { real_.KeepModeAndOwner(h, replaced); }
    Status Rename(const std::string& from, const std::string& to) override {
        return Forward(Call::Rename, [&] { return real_.Rename(from, to); });
    }
    bool Remove(const std::string& path) override { return Passes(Call::Remove) && real_.Remove(path); }
    bool SyncFolder(const std::string& folder) override { return Passes(Call::SyncFolder) && real_.SyncFolder(folder); }
    // A path that cannot be resolved comes back as given.
    std::string ResolveLinks(const std::string& path) override {
        return Passes(Call::ResolveLinks) ? real_.ResolveLinks(path) : path;
    }
    bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) override {
        return Passes(Call::ListFolder) && real_.ListFolder(pattern, entries);
    }
    LockOpen OpenLockFile(const std::string& path, bool create, Handle& handle) override {
        if (!Passes(Call::OpenLockFile)) return LockOpen::Failed;
        const LockOpen opened = real_.OpenLockFile(path, create, handle);
        if (opened == LockOpen::Opened) open.insert(handle);
        return opened;
    }
    bool TryLockFile(Handle h) override { return Passes(Call::TryLockFile) && real_.TryLockFile(h); }
    void CloseLockFile(Handle h) override {
        open.erase(h);
        real_.CloseLockFile(h);
    }

private:
    // Records the call; true when it is the one to disturb.
    bool Due(Call call) {
        calls.push_back(call);
        return calls.size() - 1 == failAt_;
    }
    // The disturbance of the call now due: an interruption only where the
    // call can report one, a short write only for writes.
    Status Apply(bool interruptible) {
        if (calls.size() - 1 != failAt_) return Status::Ok;
        if (fault_ == Fault::Fail) {
            injected = true;
            errno = error_;
            return Status::Failed;
        }
        if (fault_ == Fault::Interrupt && interruptible) {
            injected = true;
            return Status::Interrupted;
        }
        return Status::Ok;
    }
    // The real call of one that can report an interruption, unless it is
    // the one disturbed; Passes: whether a call that cannot is let through.
    template <class Real>
    Status Forward(Call call, Real real) {
        Due(call);
        const Status status = Apply(true);
        return status != Status::Ok ? status : real();
    }
    bool Passes(Call call) {
        Due(call);
        return Apply(false) == Status::Ok;
    }

    HostFiles& real_ = platform::SystemHostFiles();
    std::size_t failAt_;
    Fault fault_;
    int error_;
    std::set<Handle> readers_;
};

// A failure of these changes nothing the caller sees: the path is used as given,
// an unknown mode or identity makes a later save read the file again, the folder
// sync is best effort, the lock is tried again, a reader's close loses nothing.
bool Tolerated(Call call, bool readerClose) {
    return call == Call::SyncFolder || call == Call::ResolveLinks || call == Call::InfoAt ||
           call == Call::TryLockFile || (call == Call::Close && readerClose);
}

struct FaultCase {
    const char* name;
    Fault fault;
    int error;
};

constexpr FaultCase kFaults[] = {
    {"EIO", Fault::Fail, EIO},
    {"ENOSPC", Fault::Fail, ENOSPC},
    {"short write", Fault::ShortWrite, 0},
    {"EINTR", Fault::Interrupt, EINTR},
};

std::pair<int, World> RunThrough(const Scenario& scenario, FaultyFiles& files) {
    return RunScenario(scenario, [&files](const std::function<int()>& run) {
        const platform::ScopedHostFilesForTesting seam(files);
        return run();
    });
}

TEST(FileFaults, EveryCallOfEveryFileOperationFailsSafely) {
    for (const Scenario& scenario : Scenarios()) {
        if (std::string(scenario.name) == "ImportText") continue;  // no file calls
        SCOPED_TRACE(scenario.name);
        const World before = WorldBefore(scenario);
        FaultyFiles counting(SIZE_MAX, Fault::Fail, 0);
        const auto [expected, after] = RunThrough(scenario, counting);
        ASSERT_EQ(expected, 1);
        // Only the check leaves everything as it was.
        ASSERT_EQ(before == after, std::string(scenario.name) == "IsFileValid");
        ASSERT_FALSE(counting.calls.empty()) << "the operation makes no host file call";
        EXPECT_TRUE(counting.open.empty());
        const bool writes = before.file != after.file;
        // A merging save that cannot read the file again writes the store as
        // it stands, as a save that never loaded the file does.
        const std::optional<World> writtenAsToday =
            scenario.unmerged ? std::optional<World>(RunScenario(*scenario.unmerged, RunUndisturbed).second)
                              : std::nullopt;
        for (std::size_t at = 0; at < counting.calls.size(); ++at) {
            for (const FaultCase& fault : kFaults) {
                SCOPED_TRACE(std::string(fault.name) + " at call " + std::to_string(at));
                FaultyFiles faulty(at, fault.fault, fault.error);
                const auto [result, world] = RunThrough(scenario, faulty);
                EXPECT_TRUE(faulty.open.empty()) << "a file stays open";
                if (!faulty.injected) continue;
                const Call call = counting.calls[at];
                if (fault.fault != Fault::Fail || Tolerated(call, faulty.failedReaderClose)) {
                    EXPECT_EQ(result, 1);
                    EXPECT_EQ(world, after);
                } else if (result == 1) {
                    const bool reread = call == Call::Open || call == Call::InfoOf || call == Call::Read;
                    if (!(reread && writtenAsToday && world == *writtenAsToday)) {
                        ADD_FAILURE() << "a failed call reported as success";
                    }
                } else if (world != before) {
                    // Only a close after an append may fail with the bytes in place.
                    EXPECT_TRUE(call == Call::Close && writes && world == after);
                }
            }
        }
    }
}

}  // namespace
}  // namespace qor::faults
