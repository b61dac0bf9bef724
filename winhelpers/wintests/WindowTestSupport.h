// Helpers for tests that drive real windows from a second thread, and the
// screenshot handshake with scripts/wine-gui.sh.
#ifndef QOR_WINHELPERS_WINTESTS_WINDOWTESTSUPPORT_H
#define QOR_WINHELPERS_WINTESTS_WINDOWTESTSUPPORT_H

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace qor::wintests {

// The longest any single wait lasts; a window that does not answer in this
// time fails the test instead of blocking it.
inline constexpr DWORD kWaitLimitMs = 20000;

// Polls condition until it holds; false when the limit passed first.
bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs = kWaitLimitMs);

// SendMessage that gives up after the wait limit; nothing when it did.
std::optional<LRESULT> SendBounded(HWND window, UINT message, WPARAM first = 0, LPARAM second = 0);

// The window's text, asked with a bounded send; empty when it gave none.
std::string TextOf(HWND window);

// The visible dialog ("#32770") of thread, null while it has none.
HWND VisibleDialogOfThread(DWORD threadId);

// The direct child of parent with the class and text (any text when null).
HWND FindChild(HWND parent, const char* className, const char* text = nullptr);

// One line per direct child of parent (class, id, text, rectangle), for failure messages.
std::string DescribeChildren(HWND parent);

// window's rectangle in dialog's client coordinates.
RECT RectInClient(HWND window, HWND dialog);

// Waits until window and its children have nothing left to paint.
bool WaitUntilPainted(HWND window);

// Asks the script running the tests for a screenshot of window, saved as
// name.png in its folder, and waits for it. True when the script took it
// or when no script asked for screenshots (QOR_SCREENSHOT_DIR unset).
bool TakeScreenshot(HWND window, const std::string& name);

}  // namespace qor::wintests

#endif
