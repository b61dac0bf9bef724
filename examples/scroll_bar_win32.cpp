// A plain Win32 program, without the class library, that uses a
// CMyScrollBar for its scroll bar control. Two things connect them:
//   1. the scroll bar control reports every scroll to its parent window as
//      WM_HSCROLL (second parameter: the control's handle); the parent's
//      window procedure hands that message to the bar object standing for
//      the control, through CWnd::OnWndMsg;
//   2. the bar moves the control's thumb and tells its parent of the new
//      position with the registered message "PellorScrollBar" (first
//      parameter 0x909, second the control identifier), sent to the handle
//      of the CWnd given to Initialize.
// Built for Windows only.
//
//   scroll_bar_win32           shows the window; its title follows the bar
//   scroll_bar_win32 --check   presses keys on the control, prints and checks
//                              each position and notice, exits with 0 when
//                              all held (the window tests run it so)
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "QorCommonLib.h"

namespace {

constexpr int kBarId = 100;
constexpr WPARAM kNoticeCode = 0x909;

// What the main window keeps: the objects standing for itself and for the
// control, and the notices the bar sent.
struct ScrollerWindow {
    CWnd self;
    CMyScrollBar bar;
    UINT noticeMessage = RegisterWindowMessageA("PellorScrollBar");
    int notices = 0;
};

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(second);
        auto* state = static_cast<ScrollerWindow*>(created->lpCreateParams);
        state->self.m_hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    auto* state = reinterpret_cast<ScrollerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (state == nullptr) return DefWindowProcA(window, message, first, second);

    switch (message) {
        case WM_CREATE: {
            HWND control = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, 10, 280, 20,
                                           window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)),
                                           GetModuleHandleA(nullptr), nullptr);
            if (control == nullptr) return -1;
            state->bar.m_hWnd = control;
            // Range 0 to 100, thumb at 50, pages of 10; notices go to this window.
            state->bar.Initialize(0, 50, 100, 10, &state->self);
            return 0;
        }
        case WM_HSCROLL:
            // 1. The control's report, handed to the bar that stands for it.
            if (reinterpret_cast<HWND>(second) == state->bar.m_hWnd) {
                LRESULT result = 0;
                state->bar.OnWndMsg(message, first, second, &result);
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            // 2. The bar's notice of a new position.
            if (message == state->noticeMessage && first == kNoticeCode && second == kBarId) {
                ++state->notices;
                char title[64];
                std::snprintf(title, sizeof title, "Position %d", state->bar.m_nPos);
                SetWindowTextA(window, title);
                return 0;
            }
            break;
    }
    return DefWindowProcA(window, message, first, second);
}

// Presses keys on the control, as a user would; the control itself sends
// WM_HSCROLL to the window. 0 when every position and notice was as expected.
int Check(ScrollerWindow& state) {
    struct Step {
        const char* key;
        WPARAM code;
        int position;
        int notices;  // counted from the start
    };
    const Step steps[] = {
        {"Right", VK_RIGHT, 51, 1}, {"Page Down", VK_NEXT, 61, 2},
        {"End", VK_END, 100, 3},    {"Page Down", VK_NEXT, 100, 3},  // already at the end: no move, no notice
        {"Home", VK_HOME, 0, 4},    {"Left", VK_LEFT, 0, 4},
    };
    int failures = 0;
    for (const Step& step : steps) {
        SendMessageA(state.bar.m_hWnd, WM_KEYDOWN, step.code, 1);
        SendMessageA(state.bar.m_hWnd, WM_KEYUP, step.code, 1);
        const int thumb = GetScrollPos(state.bar.m_hWnd, SB_CTL);
        const bool held = state.bar.m_nPos == step.position && thumb == step.position && state.notices == step.notices;
        std::printf("%-9s -> position %3d, thumb %3d, notices %d%s\n", step.key, state.bar.m_nPos, thumb, state.notices,
                    held ? "" : "  (unexpected)");
        if (!held) ++failures;
    }
    char title[64] = "";
    GetWindowTextA(state.self.m_hWnd, title, sizeof title);
    if (std::strcmp(title, "Position 0") != 0) {
        std::printf("title \"%s\", expected \"Position 0\"\n", title);
        ++failures;
    }
    std::printf("%s\n", failures == 0 ? "scroll bar example: all steps held" : "scroll bar example: FAILED");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QorScrollBarExample";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    if (RegisterClassA(&windowClass) == 0) return 1;

    ScrollerWindow state;
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Position 50", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                        CW_USEDEFAULT, 320, 90, nullptr, nullptr, windowClass.hInstance, &state);
    if (window == nullptr) return 1;
    if (check) {
        const int result = Check(state);
        DestroyWindow(window);
        return result;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
