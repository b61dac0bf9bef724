// The file lock within one process: the holding thread takes it again at
// once, another thread waits as another process would, and a writer that
// only honours an existing lock file creates none.
#include "platform/Platform.h"

#include <filesystem>
#include <thread>
#include <gtest/gtest.h>

#include "testsupport/TestFiles.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

class FileLocks : public ::testing::Test {
protected:
    void SetUp() override { lockFile_ = (root_ / "root.ini.lock").string(); }
    // What a take from another thread gets while this one holds the lock.
    FileLockResult TakeFromAnotherThread(std::uint32_t wait) const {
        FileLockResult result = FileLockResult::Failed;
        std::thread([&] {
            FileLock* held = nullptr;
            result = AcquireFileLock(lockFile_, false, wait, held);
            ReleaseFileLock(held);
        }).join();
        return result;
    }
    testkit::ScratchFolder folder_{"qor_filelock"};
    const fs::path root_ = folder_.FsPath();
    std::string lockFile_;
};

TEST_F(FileLocks, HoldingThreadTakesAgainAndOthersWaitUntilTheLastRelease) {
    FileLock* first = nullptr;
    FileLock* second = nullptr;
    ASSERT_EQ(AcquireFileLock(lockFile_, true, 0, first), FileLockResult::Acquired);
    EXPECT_TRUE(fs::exists(lockFile_));
    ASSERT_EQ(AcquireFileLock(lockFile_, false, 0, second), FileLockResult::Acquired);
    EXPECT_EQ(TakeFromAnotherThread(0), FileLockResult::TimedOut);
    ReleaseFileLock(second);
    EXPECT_EQ(TakeFromAnotherThread(20), FileLockResult::TimedOut);
    ReleaseFileLock(first);
    EXPECT_EQ(TakeFromAnotherThread(0), FileLockResult::Acquired);
    EXPECT_TRUE(fs::exists(lockFile_));  // the lock file stays for the next writer
}

TEST_F(FileLocks, WithoutALockFileNothingIsHeldOrCreatedUnlessAsked) {
    FileLock* held = nullptr;
    EXPECT_EQ(AcquireFileLock(lockFile_, false, 0, held), FileLockResult::NoLockFile);
    EXPECT_EQ(held, nullptr);
    EXPECT_FALSE(fs::exists(lockFile_));
    EXPECT_EQ(AcquireFileLock((root_ / "no" / "folder.lock").string(), true, 0, held), FileLockResult::Failed);
    ReleaseFileLock(nullptr);
}

}  // namespace
}  // namespace qor::platform
