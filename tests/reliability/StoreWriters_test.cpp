// Many writers of one store file, in processes of their own (threads of one
// process: platform/FileLock_test).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "CIniClass.h"
#include "CStoreFileLock.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\WRITERS";

// Saves a store whose one value WHO is who.
int SaveAs(const std::string& path, const char* who) {
    CIniClass store;
    store.SetValue(kKey, "WHO", who);
    return store.SaveFile(path.c_str(), "");
}

std::string WhoSavedLast(const std::string& path) {
    CIniClass store;
    CString who;
    if (store.LoadFile(path.c_str()) != 1 || store.GetValue(kKey, "WHO", who) != 1) return "?";
    return who.str();
}

// A child that takes the lock of path, reports it on a pipe, then runs then.
struct LockHolder {
    pid_t pid = -1;
    bool locked = false;
};

LockHolder StartLockHolder(const std::string& path, const std::function<int()>& then) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    LockHolder holder;
    holder.pid = StartChild([&] {
        ::close(ends[0]);
        CStoreFileLock lock(path.c_str(), 0);
        const char got = lock.IsLocked() == 1 ? 'y' : 'n';
        if (::write(ends[1], &got, 1) != 1) return 3;
        return then();
    });
    ::close(ends[1]);
    char got = 'n';
    holder.locked = ::read(ends[0], &got, 1) == 1 && got == 'y';
    ::close(ends[0]);
    return holder;
}

TEST(StoreWriters, ConcurrentQorregRunsKeepEveryValueAndReadersSeeWholeFiles) {
    if (std::getenv("QOR_QORREG") == nullptr) GTEST_SKIP() << "QOR_QORREG names no qorreg program";
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    constexpr int kWriters = 12;
    std::vector<pid_t> writers;
    for (int i = 0; i < kWriters; ++i) {
        // A generous wait: the sanitizer builds on a loaded machine are slow.
        writers.push_back(Spawn(QorregCommand({"-f", path, "add", kKey, "-v", "V" + std::to_string(i), "-d",
                                               std::to_string(i), "--wait", "600", "--create"})));
    }
    int invalidReads = 0, reads = 0, failedRuns = 0;
    for (pid_t writer : writers) {
        int status = 0;
        pid_t ended;
        while ((ended = ::waitpid(writer, &status, WNOHANG)) == 0) {
            CIniClass reader;
            if (fs::exists(path) && (reader.IsFileValid(path.c_str()) != 1 || reader.LoadFile(path.c_str()) != 1)) {
                ++invalidReads;
            }
            ++reads;
        }
        if (ended != writer || !WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failedRuns;
    }
    EXPECT_EQ(failedRuns, 0);
    CIniClass store;
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    for (int i = 0; i < kWriters; ++i) {
        CString text;
        EXPECT_EQ(store.GetValue(kKey, ("V" + std::to_string(i)).c_str(), text), 1) << "lost V" << i;
    }
    EXPECT_EQ(invalidReads, 0) << "of " << reads << " reads";
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"root.ini", "root.ini.lock"}));
}

TEST(StoreWriters, KilledLockHolderReleasesTheLock) {
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    const LockHolder holder = StartLockHolder(path, [] {
        ::pause();
        return 0;
    });
    ASSERT_TRUE(holder.locked);
    EXPECT_EQ(CStoreFileLock(path.c_str(), 0).IsLocked(), 0);
    ::kill(holder.pid, SIGKILL);
    EXPECT_EQ(WaitChild(holder.pid).signal, SIGKILL);
    EXPECT_EQ(CStoreFileLock(path.c_str(), 10000).IsLocked(), 1);
}

// The holder saves after a pause; the library's save must come after it.
TEST(StoreWriters, LibrarySaveWaitsForAnotherProcessesLock) {
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    const LockHolder holder = StartLockHolder(path, [&path] {
        ::usleep(200 * 1000);
        return SaveAs(path, "holder") == 1 ? 0 : 1;
    });
    ASSERT_TRUE(holder.locked);
    EXPECT_EQ(SaveAs(path, "library"), 1);
    EXPECT_EQ(WaitChild(holder.pid).code, 0);
    EXPECT_EQ(WhoSavedLast(path), "library");
}

TEST(StoreWriters, SavesCreateTheLockFileExportsDoNotAndLinksAreWrittenThrough) {
    ScratchFolder folder;
    CIniClass store;
    store.SetValue(kKey, "WHO", "library");
    ASSERT_EQ(store.SaveFile(folder.File("root.ini").c_str(), ""), 1);
    ASSERT_EQ(store.ExportFile("", folder.File("export.reg").c_str()), 1);
    ASSERT_EQ(store.ExportAppFile("", folder.File("app.reg").c_str()), 1);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"app.reg", "export.reg", "root.ini", "root.ini.lock"}));
    fs::remove(folder.File("root.ini.lock"));

    fs::create_directory(folder.File("real"));
    fs::rename(folder.File("root.ini"), folder.File("real/root.ini"));
    fs::create_symlink("real/root.ini", folder.File("root.ini"));
    CStoreFileLock lock(folder.File("root.ini").c_str(), 0);
    EXPECT_EQ(std::string(lock.LockFilePath()), fs::canonical(folder.File("real")).string() + "/root.ini.lock");
    // The lock held through the link is the target's: the save through the
    // link does not wait on it, and writes the target.
    store.SetValue(kKey, "WHO", "through the link");
    ASSERT_EQ(store.SaveFile(folder.File("real/root.ini").c_str(), ""), 1);
    EXPECT_TRUE(fs::is_symlink(folder.File("root.ini")));
    EXPECT_EQ(WhoSavedLast(folder.File("root.ini")), "through the link");
}

}  // namespace
}  // namespace qor::reliability
