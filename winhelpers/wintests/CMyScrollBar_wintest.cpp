// CMyScrollBar on a real scroll bar control. The parent window hands
// WM_HSCROLL to the bar object named by the message's bar handle, as the
// class library reflects it, and records every change notice it receives.
#include "CMyScrollBar.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

constexpr int kBarId = 0x51;
constexpr int kOtherBarId = 0x52;
constexpr WPARAM kNoticeCode = 0x909;
const UINT kNoticeMessage = RegisterWindowMessageA("PellorScrollBar");

struct Notice {
    WPARAM first;
    LPARAM second;
    int thumb;  // the bar's thumb when the notice arrived
};

// A top-level window holding horizontal scroll bar controls.
class ScrollBarWindow {
public:
    ScrollBarWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &ScrollBarWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassA(&windowClass);  // fails harmlessly when already registered
        parent.m_hWnd = CreateWindowExA(0, kClassName, "Scroll bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320,
                                        160, nullptr, nullptr, windowClass.hInstance, this);
    }
    ~ScrollBarWindow() { DestroyWindow(parent.m_hWnd); }

    // Creates a horizontal scroll bar control and lets bar stand for it.
    HWND AddBar(CMyScrollBar& bar, int id) {
        int top = 10 + 30 * static_cast<int>(bars_.size());
        HWND window =
            CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, top, 280, 20, parent.m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
        bar.m_hWnd = window;
        bars_[window] = &bar;
        return window;
    }

    CWnd parent;
    std::vector<Notice> notices;

private:
    static constexpr const char* kClassName = "QorScrollBarTestWindow";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(second);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ScrollBarWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr) {
            LRESULT result = 0;
            if (self->Handle(window, message, first, second, &result)) return result;
        }
        return DefWindowProcA(window, message, first, second);
    }

    bool Handle(HWND window, UINT message, WPARAM first, LPARAM second, LRESULT* result) {
        if (message == WM_HSCROLL) {
            auto bar = bars_.find(reinterpret_cast<HWND>(second));
            if (bar == bars_.end()) return false;
            return bar->second->OnWndMsg(message, first, second, result) != FALSE;
        }
        if (message == kNoticeMessage) {
            HWND bar = GetDlgItem(window, static_cast<int>(second));
            notices.push_back({first, second, bar != nullptr ? GetScrollPos(bar, SB_CTL) : -1});
            *result = 0;
            return true;
        }
        return false;
    }

    std::map<HWND, CMyScrollBar*> bars_;
};

class ScrollBarOnScreenTest : public ::testing::Test {
protected:
    ScrollBarOnScreenTest() : control(window.AddBar(bar, kBarId)) {}

    // Delivers a scroll code to the parent the way the control reports it.
    void Scroll(unsigned int code, unsigned int thumb = 0) {
        SendMessageA(window.parent.m_hWnd, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(control));
    }
    int Thumb() const { return GetScrollPos(control, SB_CTL); }

    ScrollBarWindow window;
    CMyScrollBar bar;
    HWND control;
};

// Initialize sets the control's range, thumb and identifier and tells no
// one. Each code's rule is the unit test's (CMyScrollBar_test); on the
// control, the thumb moves before the parent is told, and only a move is told.
TEST_F(ScrollBarOnScreenTest, InitializeAndScrollMessagesMoveTheThumbBeforeTellingTheParentOnlyOnChange) {
    ASSERT_NE(control, nullptr);
    bar.Initialize(-5, 3, 20, 4, &window.parent);
    int lowest = 0, highest = 0;
    ASSERT_TRUE(GetScrollRange(control, SB_CTL, &lowest, &highest));
    EXPECT_EQ(lowest, -5);
    EXPECT_EQ(highest, 20);
    EXPECT_EQ(Thumb(), 3);
    EXPECT_EQ(bar.m_nCtrlID, kBarId);
    EXPECT_TRUE(window.notices.empty());
    struct Case {
        unsigned int code;
        unsigned int thumb;
        int position;
        bool notified;
    };
    const Case cases[] = {{SB_PAGELEFT, 0, -1, true},
                          {SB_LEFT, 0, -5, true},
                          {SB_LINELEFT, 0, -5, false},
                          {SB_THUMBTRACK, 7, 7, true},
                          {SB_ENDSCROLL, 3, 7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " to " << c.position);
        const std::size_t before = window.notices.size();
        Scroll(c.code, c.thumb);
        EXPECT_EQ(bar.m_nPos, c.position);
        EXPECT_EQ(Thumb(), c.position);
        ASSERT_EQ(window.notices.size(), before + (c.notified ? 1 : 0));
        if (!c.notified) continue;
        const Notice& notice = window.notices.back();
        EXPECT_EQ(notice.first, kNoticeCode);
        EXPECT_EQ(notice.second, kBarId);
        EXPECT_EQ(notice.thumb, c.position) << "the thumb moves before the parent is told";
    }
}

TEST_F(ScrollBarOnScreenTest, NoticeNamesTheBarThatMoved) {
    CMyScrollBar other;
    HWND otherControl = window.AddBar(other, kOtherBarId);
    bar.Initialize(0, 5, 10, 3, &window.parent);
    other.Initialize(0, 5, 10, 3, &window.parent);
    SendMessageA(window.parent.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), reinterpret_cast<LPARAM>(otherControl));
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].second, kOtherBarId);
    EXPECT_EQ(window.notices[0].thumb, 6);
    EXPECT_EQ(Thumb(), 5);
}

}  // namespace
