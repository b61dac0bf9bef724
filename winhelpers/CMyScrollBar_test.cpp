#include "CMyScrollBar.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "winhelpers/ScrollBarHost.h"

namespace qor::winhelpers {
namespace {

const HWND kBar = reinterpret_cast<HWND>(0x100);
const HWND kParent = reinterpret_cast<HWND>(0x200);
constexpr int kControlId = 1234;

struct Notice {
    HWND target;
    unsigned int message;
    MessageParam first;
    MessageValue second;
};

class ScriptedScrollBarHost : public ScrollBarHost {
public:
    std::vector<int> range, thumbs;  // the last range set; every thumb move
    std::vector<Notice> notices;

    void SetRange(HWND bar, int lowest, int highest) override { range = {bar == kBar ? lowest : -1, highest}; }
    void SetThumb(HWND bar, int position) override { thumbs.push_back(bar == kBar ? position : -1); }
    int ReadControlId(HWND bar) override { return bar == kBar ? kControlId : 0; }
    unsigned int RegisterName(const char*) override {
        ADD_FAILURE() << "the notice is registered once, at load";
        return 0;
    }
    void SendToWindow(HWND target, unsigned int message, MessageParam first, MessageValue second) override {
        notices.push_back({target, message, first, second});
    }
};

class ScrollBarTest : public ::testing::Test {
protected:
    ScrollBarTest() : scope_(host) {
        parent.m_hWnd = kParent;
        bar.m_hWnd = kBar;
    }
    ScriptedScrollBarHost host;
    CWnd parent;
    CMyScrollBar bar;

private:
    ScopedHostForTesting<ScrollBarHost> scope_;
};

TEST_F(ScrollBarTest, InitializeAndSetCurrentMoveTheControlWithoutNotice) {
    bar.Initialize(-4, 5, 10, 3, &parent);
    EXPECT_EQ(host.range, (std::vector<int>{-4, 10}));
    EXPECT_EQ(bar.m_nCtrlID, kControlId);
    bar.SetCurrent(99);  // outside the range: stored, not checked
    EXPECT_EQ(bar.m_nPos, 99);
    EXPECT_EQ(host.thumbs, (std::vector<int>{5, 99}));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(ScrollBarTest, ScrollCodesMoveByTheirRulesAndNotifyOnlyOnChange) {
    struct Case {
        int lowest, highest, page, start;
        unsigned int code, thumb;
        int expected;
    };
    const Case cases[] = {
        {0, 10, 3, 5, 0, 0, 4},
        {0, 10, 3, 0, 0, 0, 0},       // line left, stops at lowest
        {0, 10, 3, 20, 0, 0, 19},     // from a stored out-of-range position
        {-10, 10, 3, -9, 0, 0, -10},  // signed
        {0, 10, 3, 5, 1, 0, 6},
        {0, 10, 3, 10, 1, 0, 10},  // line right
        {0, 10, 3, -5, 1, 0, -4},
        {0, 10, 3, 5, 2, 0, 2},
        {0, 10, 3, 2, 2, 0, 0},  // page left: 2 - 0 is not more than 3
        {0, 10, 3, 4, 2, 0, 1},
        {-10, 10, 3, -5, 2, 0, -8},
        {0, 10, 3, 5, 3, 0, 8},
        {0, 10, 3, 8, 3, 0, 10},  // page right
        {0, 10, 3, 6, 3, 0, 9},
        {0, 10, 3, 5, 4, 7, 7},
        {0, 10, 3, 5, 4, 5, 5},  // thumb position
        {0, 10, 3, 5, 5, 7, 7},
        {0, 10, 3, 5, 5, 20, 20},  // thumb track, not clamped
        {0, 10, 3, 5, 5, 0xFFFFFFFFu, -1},
        {0, 10, 3, 5, 6, 9, 0},
        {0, 10, 3, 0, 6, 9, 0},  // leftmost
        {0, 10, 3, 5, 7, 9, 10},
        {0, 10, 3, 10, 7, 9, 10},  // rightmost
        {0, 10, 3, 5, 8, 9, 5},    // end of scroll never moves
        {0, 10, 3, 5, 9, 7, 7},
        {0, 10, 3, 5, 0xFFFF, 3, 3},                        // unknown codes take the thumb
        {INT_MIN, INT_MAX, 3, INT_MAX, 2, 0, INT_MAX - 3},  // wide ranges do not overflow
        {INT_MIN, INT_MAX, 3, INT_MIN, 3, 0, INT_MIN + 3},
    };
    for (const Case& c : cases) {
        bar.Initialize(c.lowest, c.start, c.highest, c.page, &parent);
        host.thumbs.clear();
        const bool moves = c.expected != c.start;
        SCOPED_TRACE(::testing::Message() << "code " << c.code << " from " << c.start << " thumb " << c.thumb);

        EXPECT_EQ(bar.CheckScrollValue(c.code, c.thumb), moves ? 1 : 0);
        EXPECT_EQ(bar.m_nPos, c.expected);
        EXPECT_EQ(host.thumbs, moves ? std::vector<int>{c.expected} : std::vector<int>{});
        ASSERT_EQ(host.notices.size(), moves ? 1u : 0u);
        if (!moves) continue;
        EXPECT_EQ(host.notices[0].target, kParent);
        EXPECT_EQ(host.notices[0].message, ScrollNoticeMessage());
        EXPECT_EQ(host.notices[0].first, MessageParam{0x909});
        EXPECT_EQ(host.notices[0].second, MessageValue{kControlId});
        host.notices.clear();
    }
    // The notice is the message every program gets for the same name.
    EXPECT_EQ(ScrollNoticeMessage(), DefaultHost<ScrollBarHost>().RegisterName("PellorScrollBar"));
    EXPECT_NE(ScrollNoticeMessage(), DefaultHost<ScrollBarHost>().RegisterName("SomeOtherNotice"));
}

TEST_F(ScrollBarTest, HorizontalScrollMessageReachesTheBarThroughItsMessageMap) {
    bar.Initialize(0, 5, 10, 3, &parent);
    qor::MessageResult result = -1;
    EXPECT_TRUE(bar.OnWndMsg(0x0114, 3, 0, &result));  // page right
    EXPECT_EQ(result, 0);
    EXPECT_EQ(bar.m_nPos, 8);
    EXPECT_TRUE(bar.OnWndMsg(0x0114, (7u << 16) | 5u, 0, nullptr));  // thumb track to 7
    EXPECT_EQ(bar.m_nPos, 7);
    EXPECT_FALSE(bar.OnWndMsg(0x0115, 3, 0, nullptr));  // vertical scroll is not handled
    EXPECT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(bar.GetRuntimeClass(), RUNTIME_CLASS(CScrollBar));
}

TEST_F(ScrollBarTest, BarWithoutParentMovesButTellsNoOne) {
    EXPECT_EQ(bar.CheckScrollValue(7, 0), 0);  // before Initialize every field is zero
    bar.Initialize(0, 5, 10, 3, nullptr);
    EXPECT_EQ(bar.CheckScrollValue(1, 0), 1);
    EXPECT_EQ(bar.m_nPos, 6);
    EXPECT_TRUE(host.notices.empty());
}

}  // namespace
}  // namespace qor::winhelpers
