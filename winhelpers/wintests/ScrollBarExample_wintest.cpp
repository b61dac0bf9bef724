// The scroll bar example (examples/scroll_bar_win32.cpp), a plain Win32
// program, run as a user would start it: its own check presses keys on its
// control and exits with 0 when the bar followed them and notified it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "winhelpers/wintests/WindowTestSupport.h"

namespace {

// A program beside this test program.
std::string Beside(const char* name) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

TEST(ScrollBarExample, PlainWin32ProgramHandsItsScrollMessagesToTheBar) {
    std::string command = "\"" + Beside("scroll_bar_win32.exe") + "\" --check";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << command << ": error " << GetLastError();
    const DWORD waited = WaitForSingleObject(process.hProcess, qor::wintests::kWaitLimitMs);
    DWORD status = 0;
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the example did not finish in time";
    EXPECT_EQ(status, 0u) << "the example's check failed; its output is in the run's log";
}

}  // namespace
