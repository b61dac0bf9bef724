// The scroll bar control and its notice through the window manager.
#include "winhelpers/ScrollBarHost.h"

#include <windows.h>

namespace qor::winhelpers {
namespace {

class Win32ScrollBarHost final : public ScrollBarHost {
public:
    void SetRange(HWND bar, int lowest, int highest) override { SetScrollRange(bar, SB_CTL, lowest, highest, TRUE); }
    void SetThumb(HWND bar, int position) override { SetScrollPos(bar, SB_CTL, position, TRUE); }
    int ReadControlId(HWND bar) override { return GetDlgCtrlID(bar); }
    unsigned int RegisterName(const char* name) override { return RegisterWindowMessageA(name); }
    void SendToWindow(HWND target, unsigned int message, MessageParam first, MessageValue second) override {
        SendMessageA(target, message, first, second);
    }
};

}  // namespace

template <>
ScrollBarHost& DefaultHost<ScrollBarHost>() {
    static Win32ScrollBarHost host;
    return host;
}

}  // namespace qor::winhelpers
