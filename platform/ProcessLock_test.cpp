// The process lock: recursive for its holder, exclusive across threads.
#include "platform/Platform.h"

#include <atomic>
#include <thread>
#include <vector>
#include <gtest/gtest.h>

namespace qor::platform {
namespace {

constexpr std::uint32_t kAcquired = 0;

struct LockFixture : ::testing::Test {
    void SetUp() override {
        lock = CreateProcessLock("iniMutex" + std::to_string(CurrentProcessId()));
        ASSERT_NE(lock, nullptr);
    }
    void TearDown() override {
        if (lock != nullptr) {
            EXPECT_NE(CloseProcessLock(lock), 0);
        }
    }
    ProcessLock* lock = nullptr;
};

// Nothing to release before the first take; another thread can neither
// release it nor get it before the holder's last release.
TEST_F(LockFixture, HolderTakesItAgainAndOnlyItsLastReleaseLetsAnotherThreadIn) {
    EXPECT_EQ(ReleaseProcessLock(lock), 0);
    ASSERT_EQ(WaitProcessLock(lock), kAcquired);
    ASSERT_EQ(WaitProcessLock(lock), kAcquired);
    int otherRelease = -1;
    std::thread([&] { otherRelease = ReleaseProcessLock(lock); }).join();
    EXPECT_EQ(otherRelease, 0);
    std::atomic<bool> otherHasIt{false};
    std::thread other([&] {
        WaitProcessLock(lock);
        otherHasIt = true;
        ReleaseProcessLock(lock);
    });
    EXPECT_NE(ReleaseProcessLock(lock), 0);
    EXPECT_FALSE(otherHasIt.load()) << "one take is still held";
    EXPECT_NE(ReleaseProcessLock(lock), 0);
    other.join();
    EXPECT_TRUE(otherHasIt.load());
    EXPECT_EQ(ReleaseProcessLock(lock), 0) << "every take is released";
}

TEST_F(LockFixture, ContendingThreadsNeverHoldItTogether) {
    constexpr int kThreads = 6;
    constexpr int kRounds = 2000;
    long counter = 0;  // deliberately unsynchronised: the lock protects it
    std::atomic<int> holders{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                WaitProcessLock(lock);
                WaitProcessLock(lock);  // nested take, as callers bracket calls that lock again
                if (holders.fetch_add(1) != 0) ++overlaps;
                ++counter;
                std::this_thread::yield();
                holders.fetch_sub(1);
                ReleaseProcessLock(lock);
                ReleaseProcessLock(lock);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(counter, long{kThreads} * kRounds);
}

}  // namespace
}  // namespace qor::platform
