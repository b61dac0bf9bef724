#include "winhelpers/wintests/WindowTestSupport.h"

#include <cstdlib>
#include <fstream>

namespace qor::wintests {
namespace {

constexpr DWORD kPollMs = 10;
// The script photographs within a second or two; it may be slow to notice.
constexpr DWORD kScreenshotLimitMs = 30000;

bool HasClass(HWND window, const char* className) {
    char name[64] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, className) == 0;
}

BOOL CALLBACK KeepVisibleDialog(HWND window, LPARAM found) {
    if (!HasClass(window, "#32770") || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(kPollMs);
    }
}

std::optional<LRESULT> SendBounded(HWND window, UINT message, WPARAM first, LPARAM second) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, first, second, SMTO_NORMAL, kWaitLimitMs, &answer)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(answer);
}

std::string TextOf(HWND window) {
    char text[512] = {};
    if (!SendBounded(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text))) return {};
    return text;
}

HWND VisibleDialogOfThread(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, &KeepVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
    return FindWindowExA(parent, nullptr, className, text);
}

std::string DescribeChildren(HWND parent) {
    std::string lines;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        const RECT rect = RectInClient(child, parent);
        lines += std::string(name) + " #" + std::to_string(GetDlgCtrlID(child)) + " \"" + TextOf(child) + "\" (" +
                 std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) + "," +
                 std::to_string(rect.bottom) + ")\n";
    }
    return lines;
}

RECT RectInClient(HWND window, HWND dialog) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool WaitUntilPainted(HWND window) {
    return WaitUntil([window] {
        if (GetUpdateRect(window, nullptr, FALSE)) return false;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (GetUpdateRect(child, nullptr, FALSE)) return false;
        }
        return true;
    });
}

// The script watches its folder for name.request, a line "left top width
// height" in screen pixels, and answers with name.done once name.png is
// written. The request appears whole: it is written aside and renamed.
bool TakeScreenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("QOR_SCREENSHOT_DIR");
    if (folder == nullptr || folder[0] == '\0') return true;
    const std::string base = std::string(folder) + "\\" + name;
    RECT rect = {};
    if (!GetWindowRect(window, &rect)) return false;
    {
        std::ofstream request(base + ".part");
        request << rect.left << ' ' << rect.top << ' ' << rect.right - rect.left << ' ' << rect.bottom - rect.top
                << '\n';
        if (!request) return false;
    }
    if (!MoveFileExA((base + ".part").c_str(), (base + ".request").c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    const std::string done = base + ".done";
    bool taken = WaitUntil([&] { return FileExists(done); }, kScreenshotLimitMs);
    DeleteFileA(done.c_str());
    DeleteFileA((base + ".request").c_str());
    return taken;
}

}  // namespace qor::wintests
