#include "CMyScrollBar.h"

#include "winhelpers/MessageMaps.h"
#include "winhelpers/ScrollBarHost.h"

using qor::winhelpers::ActiveHost;
using qor::winhelpers::ScrollBarHost;

namespace {

constexpr unsigned int kHorizontalScroll = 0x0114;  // WM_HSCROLL
constexpr qor::MessageParam kNoticeCode = 0x909;

// The Windows scroll codes.
enum ScrollCode : unsigned int {
    kLineLeft = 0,
    kLineRight = 1,
    kPageLeft = 2,
    kPageRight = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kLeft = 6,
    kRight = 7,
    kEndScroll = 8,
};

// The position a scroll code leads to. Differences are taken in 64 bits so
// that no range, however wide, overflows; thumb codes and unknown codes
// take the thumb argument as it comes, without clamping it to the range.
int NextPosition(const CMyScrollBar& bar, unsigned int code, unsigned int thumb) {
    const long long lowest = bar.m_nMin;
    const long long current = bar.m_nPos;
    const long long highest = bar.m_nMax;
    const long long page = bar.m_nPage;
    switch (code) {
        case kLineLeft:
            return current > lowest ? bar.m_nPos - 1 : bar.m_nMin;
        case kLineRight:
            return current < highest ? bar.m_nPos + 1 : bar.m_nMax;
        case kPageLeft:
            return current - lowest > page ? static_cast<int>(current - page) : bar.m_nMin;
        case kPageRight:
            return highest - current > page ? static_cast<int>(current + page) : bar.m_nMax;
        case kLeft:
            return bar.m_nMin;
        case kRight:
            return bar.m_nMax;
        case kEndScroll:
            return bar.m_nPos;
        case kThumbPosition:
        case kThumbTrack:
        default:
            return static_cast<int>(thumb);
    }
}

// The notice message, registered once when the library is loaded; a host
// that cannot register it gives 0, as the system call does on failure.
unsigned int RegisterNoticeMessage() noexcept {
    try {
        return ActiveHost<ScrollBarHost>().RegisterName("PellorScrollBar");
    } catch (...) {
        return 0;
    }
}

const unsigned int g_noticeMessage = RegisterNoticeMessage();

}  // namespace

unsigned int qor::winhelpers::ScrollNoticeMessage() { return g_noticeMessage; }

CMyScrollBar::CMyScrollBar() : m_nMin(0), m_nPos(0), m_nMax(0), m_nPage(0), m_nCtrlID(0), m_pParent(nullptr) {}

CMyScrollBar::~CMyScrollBar() = default;

void CMyScrollBar::Initialize(int lowest, int current, int highest, int page, CWnd* parent) {
    m_nMin = lowest;
    m_nPos = current;
    m_nMax = highest;
    m_nPage = page;
    m_pParent = parent;
    ScrollBarHost& host = ActiveHost<ScrollBarHost>();
    host.SetRange(m_hWnd, lowest, highest);
    host.SetThumb(m_hWnd, current);
    m_nCtrlID = host.ReadControlId(m_hWnd);
}

void CMyScrollBar::SetCurrent(int position) {
    m_nPos = position;
    ActiveHost<ScrollBarHost>().SetThumb(m_hWnd, position);
}

int CMyScrollBar::CheckScrollValue(unsigned int scrollCode, unsigned int thumbPosition) {
    int next = NextPosition(*this, scrollCode, thumbPosition);
    if (next == m_nPos) return 0;
    m_nPos = next;
    ScrollBarHost& host = ActiveHost<ScrollBarHost>();
    host.SetThumb(m_hWnd, next);
    // A bar without a parent has no one to tell.
    if (m_pParent != nullptr) {
        host.SendToWindow(m_pParent->m_hWnd, g_noticeMessage, kNoticeCode, m_nCtrlID);
    }
    return 1;
}

void CMyScrollBar::OnHScroll(unsigned int scrollCode, unsigned int thumbPosition, CScrollBar*) {
    CheckScrollValue(scrollCode, thumbPosition);
}

LONG CMyScrollBar::OnMyMessage(unsigned int, LONG) { return 0; }

qor::MessageResult CMyScrollBar::HandleHScroll(CWnd* target, qor::MessageParam wParam, qor::MessageValue) {
    // WM_HSCROLL carries the code in the low word and the thumb position in
    // the high word; the bar's handle in the second parameter is not read.
    unsigned int code = static_cast<unsigned int>(wParam & 0xFFFF);
    unsigned int thumb = static_cast<unsigned int>((wParam >> 16) & 0xFFFF);
    static_cast<CMyScrollBar*>(target)->OnHScroll(code, thumb, nullptr);
    return 0;
}

const AFX_MSGMAP* CMyScrollBar::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {
        {kHorizontalScroll, 0, 0, 0, 1, &CMyScrollBar::HandleHScroll},
        qor::winhelpers::kEndOfMessageMap,
    };
    static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, entries};
    return &map;
}

const AFX_MSGMAP* CMyScrollBar::GetMessageMap() const { return GetThisMessageMap(); }
