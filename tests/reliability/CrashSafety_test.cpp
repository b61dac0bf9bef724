// A save killed at any moment leaves one complete store file, the old or the new.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

// A store of `keys` keys with eight values each; `variant` changes every text.
void FillLargeStore(CIniClass& store, int keys, char variant) {
    for (int k = 0; k < keys; ++k) {
        const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\SCANNER\\PROFILE " + std::to_string(k);
        for (int v = 0; v < 8; ++v) {
            const std::string name = "SETTING " + std::to_string(v);
            const std::string text = "<string>" + std::string(40, variant) + std::to_string(k * 8 + v);
            store.SetValue(key.c_str(), name.c_str(), text.c_str());
        }
    }
}

int KillsWanted() {
    const char* text = std::getenv("QOR_CRASH_KILLS");
    const int kills = text != nullptr ? std::atoi(text) : 0;
    return kills > 0 ? kills : 200;
}

int RemoveLeftovers(const ScratchFolder& folder, const std::string& keep) {
    int removed = 0;
    for (const std::string& name : folder.Entries()) {
        if (name == keep) continue;
        std::filesystem::remove(folder.File(name));
        ++removed;
    }
    return removed;
}

TEST(CrashSafety, SaveKilledAtAnyMomentLeavesOneCompleteStoreFile) {
    CIniClass first, second;
    FillLargeStore(first, 1000, 'a');
    FillLargeStore(second, 1000, 'b');
    ScratchFolder work;
    const std::string path = work.File("root.ini");
    ASSERT_EQ(first.SaveFile(path.c_str(), ""), 1);
    const std::string firstText = ReadBytes(path);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(second.SaveFile(path.c_str(), ""), 1);
    const auto saveTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const std::string secondText = ReadBytes(path);
    ASSERT_NE(firstText, secondText);

    std::mt19937 random(12345);
    // Kill points spread over one and a half saves, so that they fall into
    // every phase: starting, building the text, writing, flushing, renaming.
    std::uniform_int_distribution<long> delay(0, 3 * std::max<long>(saveTime.count(), 1000) / 2);
    const int kills = KillsWanted();
    int leftovers = 0;
    for (int i = 0; i < kills; ++i) {
        const pid_t pid = StartChild([&] {
            for (;;) {
                first.SaveFile(path.c_str(), "");
                second.SaveFile(path.c_str(), "");
            }
            return 0;
        });
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        const ChildEnd end = WaitChild(pid);
        ASSERT_EQ(end.signal, SIGKILL) << "the saving child ended by itself at kill " << i;
        ASSERT_EQ(CIniClass().IsFileValid(path.c_str()), 1) << "kill " << i;
        const std::string bytes = ReadBytes(path);
        ASSERT_TRUE(bytes == firstText || bytes == secondText) << "kill " << i;
        leftovers += RemoveLeftovers(work, "root.ini");
    }
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
    EXPECT_TRUE(SnapshotOf(loaded) == SnapshotOf(first) || SnapshotOf(loaded) == SnapshotOf(second));
    std::printf("%d kills survived (save of %ld us), %d unfinished temporary files removed\n", kills,
                static_cast<long>(saveTime.count()), leftovers);
}

}  // namespace
}  // namespace qor::reliability
