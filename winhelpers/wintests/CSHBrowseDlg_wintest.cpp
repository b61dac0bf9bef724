// CSHBrowseDlg with the shell's real folder dialog. DoModal runs on a
// thread of its own, as on a program's user-interface thread; the test
// thread finds the dialog, reads its windows and answers it like a user.
#include "CSHBrowseDlg.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "winhelpers/wintests/WindowTestSupport.h"

namespace qor::wintests {
namespace {

constexpr const char* kTitle = "Choose the scan folder";
constexpr const char* kLabel = "Scan into subfolders";
constexpr int kGapAboveButtons = 10;

struct RunRequest {
    bool plainShell = false;  // the shell's dialog alone, without the class
    std::string initialFolder{};
    const char* label = "";
    int boxState = 0;
};

struct Answer {
    int result = -1;
    std::string fullPath, folderName;
};

// Shared by the test and the dialog's thread.
struct RunState {
    RunRequest request;
    tagBrowserInformation information;
    HICON icon = LoadIconA(nullptr, IDI_INFORMATION);
    std::atomic<DWORD> threadId{0};
    std::atomic<bool> ended{false};
    Answer answer;
};

void RunClassDialog(RunState& state) {
    CSHBrowseDlg dialog(nullptr);
    state.answer.result = dialog.DoModal(state.request.initialFolder.c_str(), kTitle, state.icon, BIF_STATUSTEXT,
                                         CSIDL_PERSONAL, &state.information);
    state.answer.fullPath = dialog.GetFullPath();
    state.answer.folderName = dialog.GetFolderName();
}

// The shell alone, to compare names with: shells differ in what they give
// as the display name (Wine's gives the path, or nothing without one).
void RunPlainShellDialog(RunState& state) {
    char name[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.pszDisplayName = name;
    info.lpszTitle = kTitle;
    info.ulFlags = BIF_STATUSTEXT;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    state.answer.result = chosen != nullptr ? 1 : 0;
    if (chosen != nullptr && SHGetPathFromIDListA(chosen, path)) state.answer.fullPath = path;
    state.answer.folderName = name;
    CoTaskMemFree(chosen);
}

void RunDialog(const std::shared_ptr<RunState>& state) {
    state->threadId = GetCurrentThreadId();
    OleInitialize(nullptr);
    if (state->request.plainShell) {
        RunPlainShellDialog(*state);
    } else {
        RunClassDialog(*state);
    }
    OleUninitialize();
    state->ended = true;
}

bool Click(HWND button) { return button != nullptr && SendBounded(button, BM_CLICK).has_value(); }

// One dialog on its own thread. A dialog still open when the run goes out
// of scope is cancelled; a thread that does not end is left behind with
// the state it shares, so a hang fails the test without blocking it.
class BrowseRun {
public:
    explicit BrowseRun(RunRequest request) : state_(std::make_shared<RunState>()) {
        state_->request = std::move(request);
        state_->information.strCheckBoxText = state_->request.label;
        state_->information.nCheckBoxState = state_->request.boxState;
        thread_ = std::thread(&RunDialog, state_);
    }
    ~BrowseRun() {
        if (!state_->ended) {
            HWND dialog = VisibleDialogOfThread(state_->threadId);
            if (dialog != nullptr) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        if (WaitForEnd()) {
            thread_.join();
        } else {
            thread_.detach();
        }
    }

    // The open dialog once the shell has shown it with its tree.
    HWND WaitForDialog() {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = VisibleDialogOfThread(state_->threadId);
            return dialog != nullptr && FindChild(dialog, "SysTreeView32") != nullptr;
        });
        return dialog;
    }
    bool WaitForEnd() {
        return WaitUntil([&] { return state_->ended.load(); });
    }
    // Presses a button of the dialog as a user's click does, and waits for the end.
    bool Press(HWND dialog, int button) { return Click(GetDlgItem(dialog, button)) && WaitForEnd(); }
    const Answer& Outcome() const { return state_->answer; }
    int ReportedBoxState() const { return state_->information.nCheckBoxState; }
    HICON Icon() const { return state_->icon; }

private:
    std::shared_ptr<RunState> state_;
    std::thread thread_;
};

// Selects a folder given by its path, or by its item list when path is false.
bool Select(HWND dialog, LPARAM folder, bool path = true) {
    return SendBounded(dialog, BFFM_SETSELECTIONA, path ? TRUE : FALSE, folder).has_value();
}
bool Select(HWND dialog, const std::string& path) { return Select(dialog, reinterpret_cast<LPARAM>(path.c_str())); }

// What the shell alone answers when the folder is selected and OK pressed.
Answer ShellAnswerFor(LPARAM folder, bool path) {
    BrowseRun run({.plainShell = true});
    HWND dialog = run.WaitForDialog();
    if (dialog == nullptr || !Select(dialog, folder, path) || !run.Press(dialog, IDOK)) {
        ADD_FAILURE() << "the shell's own dialog did not answer";
        return {};
    }
    return run.Outcome();
}

// The text of the tree's selected item, for failure messages.
std::string TreeSelection(HWND dialog) {
    HWND tree = FindChild(dialog, "SysTreeView32");
    auto item = reinterpret_cast<HTREEITEM>(SendBounded(tree, TVM_GETNEXTITEM, TVGN_CARET).value_or(0));
    if (item == nullptr) return "(nothing)";
    char text[MAX_PATH] = {};
    TVITEMA request = {};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = MAX_PATH;
    SendBounded(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request));
    return text;
}

// The status line shows text (paths and names as the shell gives them).
testing::AssertionResult WaitForStatus(HWND dialog, const std::string& text) {
    if (WaitUntil([&] { return FindChild(dialog, "Static", text.c_str()) != nullptr; })) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "no status text \"" << text << "\"; tree selection \""
                                       << TreeSelection(dialog) << "\"; children:\n"
                                       << DescribeChildren(dialog);
}

int CheckState(HWND box) { return static_cast<int>(SendBounded(box, BM_GETCHECK).value_or(-1)); }

void MoveOkButtonUp(HWND dialog, int distance) {
    HWND ok = GetDlgItem(dialog, IDOK);
    RECT rect = RectInClient(ok, dialog);
    SetWindowPos(ok, nullptr, rect.left, rect.top - distance, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

// Where the check box belongs: as high as the OK button, 10 pixels above
// it, one scroll bar width from each side; the tree ends 10 pixels above.
void ExpectBoxBetweenTreeAndButtons(HWND dialog, HWND box) {
    SCOPED_TRACE(DescribeChildren(dialog));
    const int margin = GetSystemMetrics(SM_CXVSCROLL);
    RECT client = {};
    GetClientRect(dialog, &client);
    const RECT ok = RectInClient(GetDlgItem(dialog, IDOK), dialog);
    const RECT boxRect = RectInClient(box, dialog);
    const RECT tree = RectInClient(FindChild(dialog, "SysTreeView32"), dialog);
    EXPECT_EQ(boxRect.left, margin);
    EXPECT_EQ(boxRect.right, client.right - margin);
    EXPECT_EQ(boxRect.bottom, ok.top - kGapAboveButtons);
    EXPECT_EQ(boxRect.bottom - boxRect.top, ok.bottom - ok.top);
    EXPECT_EQ(tree.left, margin);
    EXPECT_EQ(tree.right, client.right - margin);
    EXPECT_EQ(tree.bottom, boxRect.top - kGapAboveButtons);
}

class BrowseDialogOnScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "qor-browse-" + std::to_string(GetCurrentProcessId());
        alpha_ = root_ + "\\Alpha";
        beta_ = root_ + "\\Beta";
        CreateDirectoryA(root_.c_str(), nullptr);
        CreateDirectoryA(alpha_.c_str(), nullptr);
        CreateDirectoryA(beta_.c_str(), nullptr);
        WarmUpShell();
    }
    static void TearDownTestSuite() {
        RemoveDirectoryA(alpha_.c_str());
        RemoveDirectoryA(beta_.c_str());
        RemoveDirectoryA(root_.c_str());
    }
    static std::string root_, alpha_, beta_;

private:
    // Wine's shell at times ignores the first request of a process to
    // select a path in its folder dialog. A first dialog of the shell's
    // own, selecting a folder, keeps that from the dialogs under test.
    static void WarmUpShell() {
        BrowseRun run({.plainShell = true});
        HWND dialog = run.WaitForDialog();
        for (int attempt = 0; dialog != nullptr && attempt < 3 && TreeSelection(dialog) != "Alpha"; ++attempt) {
            Select(dialog, alpha_);
        }
    }
};

std::string BrowseDialogOnScreenTest::root_;
std::string BrowseDialogOnScreenTest::alpha_;
std::string BrowseDialogOnScreenTest::beta_;

TEST_F(BrowseDialogOnScreenTest, CheckBoxSitsBetweenTreeAndButtonsFollowsThemAndCancelKeepsTheSelection) {
    BrowseRun run({.initialFolder = alpha_, .label = kLabel, .boxState = 1});
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND box = FindChild(dialog, "Button", kLabel);
    ASSERT_NE(box, nullptr) << "no check box labelled \"" << kLabel << "\" among\n" << DescribeChildren(dialog);
    EXPECT_EQ(CheckState(box), BST_CHECKED);
    EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & 0x0F, BS_AUTOCHECKBOX);
    EXPECT_NE(SendBounded(box, WM_GETFONT).value_or(0), 0);
    EXPECT_EQ(SendBounded(dialog, WM_GETICON, ICON_BIG).value_or(0), reinterpret_cast<LRESULT>(run.Icon()));
    ExpectBoxBetweenTreeAndButtons(dialog, box);
    ASSERT_TRUE(WaitForStatus(dialog, alpha_)) << "the initial folder is selected and shown";
    EXPECT_TRUE(WaitUntilPainted(dialog));
    EXPECT_TRUE(TakeScreenshot(dialog, "browse-dialog"));

    const LONG okTop = RectInClient(GetDlgItem(dialog, IDOK), dialog).top;
    MoveOkButtonUp(dialog, 30);
    EXPECT_TRUE(WaitUntil([&] { return RectInClient(box, dialog).bottom == okTop - 30 - kGapAboveButtons; }));
    ExpectBoxBetweenTreeAndButtons(dialog, box);

    ASSERT_TRUE(run.Press(dialog, IDCANCEL));
    EXPECT_EQ(run.Outcome().result, 0);
    EXPECT_EQ(lstrcmpiA(run.Outcome().fullPath.c_str(), alpha_.c_str()), 0) << run.Outcome().fullPath;
}

// The box is read at each change of selection: only the clearing before the last one counts.
TEST_F(BrowseDialogOnScreenTest, OkReportsChosenFolderAndBoxStateAtLastSelection) {
    const Answer shell = ShellAnswerFor(reinterpret_cast<LPARAM>(beta_.c_str()), true);
    BrowseRun run({.initialFolder = alpha_, .label = kLabel, .boxState = 1});
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND box = FindChild(dialog, "Button", kLabel);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitForStatus(dialog, alpha_));

    ASSERT_TRUE(Click(box));
    EXPECT_EQ(CheckState(box), BST_UNCHECKED);
    ASSERT_TRUE(Select(dialog, beta_));
    EXPECT_TRUE(WaitForStatus(dialog, beta_));
    ASSERT_TRUE(Click(box));
    EXPECT_EQ(CheckState(box), BST_CHECKED);

    ASSERT_TRUE(run.Press(dialog, IDOK));
    EXPECT_EQ(run.Outcome().result, 1);
    EXPECT_EQ(lstrcmpiA(run.Outcome().fullPath.c_str(), beta_.c_str()), 0) << run.Outcome().fullPath;
    EXPECT_EQ(run.Outcome().folderName, shell.folderName);
    EXPECT_EQ(run.ReportedBoxState(), 0);
}

TEST_F(BrowseDialogOnScreenTest, VirtualFolderIsChosenOnlyWhenTheShellNamesIt) {
    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    std::unique_ptr<void, decltype(&CoTaskMemFree)> owned(computer, &CoTaskMemFree);
    const LPARAM folder = reinterpret_cast<LPARAM>(computer);
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<const char*>(computer), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
    const Answer shell = ShellAnswerFor(folder, false);
    ASSERT_EQ(shell.result, 1);

    BrowseRun run({.initialFolder = alpha_, .label = kLabel, .boxState = 1});
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitForStatus(dialog, alpha_));
    ASSERT_TRUE(Select(dialog, folder, false));
    EXPECT_TRUE(WaitForStatus(dialog, info.szDisplayName));
    ASSERT_TRUE(run.Press(dialog, IDOK));
    EXPECT_EQ(run.Outcome().result, shell.folderName.empty() ? 0 : 1);
    EXPECT_EQ(run.Outcome().fullPath, "");
    EXPECT_EQ(run.Outcome().folderName, shell.folderName);
}

}  // namespace
}  // namespace qor::wintests
