// Helpers of the reliability tests: a scratch folder, whole-file reads and
// writes, a store read back as plain maps, and a child process that runs a
// piece of work and reports through its exit status.
#ifndef QOR_TESTS_RELIABILITY_SUPPORT_H
#define QOR_TESTS_RELIABILITY_SUPPORT_H

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "CIniClass.h"
#include "store/KeyMap.h"

namespace qor::reliability {

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("qor_reliability_" + std::to_string(::getpid()) + "_" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path() const { return path_.string(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Names of the entries of the folder, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Key -> (value name -> stored text).
using Snapshot = std::map<std::string, std::map<std::string, std::string>>;

inline Snapshot SnapshotOf(CIniClass& store) {
    Snapshot snapshot;
    for (const auto& [key, values] : store::KeysOf(store)) {
        auto& names = snapshot[key];
        for (std::size_t i = 0; i < values.Size(); ++i) {
            const auto entry = values.At(i);
            names[std::string(entry.name)] = std::string(entry.text);
        }
    }
    return snapshot;
}

// The store saved to a store file and loaded into an empty store; an empty
// snapshot when either step fails (the failing step is reported).
inline Snapshot SavedAndLoaded(CIniClass& store) {
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    CIniClass loaded;
    const bool saved = store.SaveFile(path.c_str(), "") == 1;
    EXPECT_TRUE(saved) << "SaveFile failed";
    const bool read = saved && loaded.LoadFile(path.c_str()) == 1;
    EXPECT_TRUE(!saved || read) << "the saved file does not load";
    return read ? SnapshotOf(loaded) : Snapshot();
}

// The store's TWAIN export imported into an empty store.
inline Snapshot ExportedAndImported(CIniClass& store) {
    CString exported;
    CIniClass imported;
    EXPECT_EQ(store.ExportText("", exported), 1);
    EXPECT_EQ(imported.ImportText(exported), 1);
    return SnapshotOf(imported);
}

// The outcome of a child process: its exit code, or the signal that ended it.
struct ChildEnd {
    bool exited = false;
    int code = -1;
    int signal = 0;
};

inline ChildEnd WaitChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return {};
    }
    ChildEnd end;
    end.exited = WIFEXITED(status);
    end.code = end.exited ? WEXITSTATUS(status) : -1;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

// Runs work in a child process that ends with work's result as its exit
// code; an alarm ends a child that hangs after `seconds`.
inline pid_t StartChild(const std::function<int()>& work, unsigned seconds = 60) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);
        ::_exit(work());
    }
    return pid;
}

inline ChildEnd RunInChild(const std::function<int()>& work, unsigned seconds = 60) {
    const pid_t pid = StartChild(work, seconds);
    return pid < 0 ? ChildEnd{} : WaitChild(pid);
}

}  // namespace qor::reliability

#endif
