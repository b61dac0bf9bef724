// Helpers of the reliability tests, beside the shared ones (scratch folder,
// bytes in and out, store snapshot): a child process that runs a piece of
// work and reports through its exit status, and qorreg run as one.
#ifndef QOR_TESTS_RELIABILITY_RELIABILITYSUPPORT_H
#define QOR_TESTS_RELIABILITY_RELIABILITYSUPPORT_H

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "CIniClass.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace qor::reliability {

using testkit::ReadBytes;
using testkit::ScratchFolder;
using testkit::Snapshot;
using testkit::SnapshotOf;
using testkit::WriteBytes;

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

// qorreg's command line (QOR_QORREG) with the launcher (an emulator,
// QOR_TEST_LAUNCHER) in front when set.
inline std::vector<std::string> QorregCommand(const std::vector<std::string>& args) {
    std::vector<std::string> command;
    const char* launcher = std::getenv("QOR_TEST_LAUNCHER");
    if (launcher != nullptr && *launcher != '\0') command.push_back(launcher);
    command.push_back(std::getenv("QOR_QORREG"));
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

inline pid_t Spawn(const std::vector<std::string>& command) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

}  // namespace qor::reliability

#endif
