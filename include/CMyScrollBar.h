/// @file
/// CMyScrollBar: a scroll bar control that reports every change to its parent.
#ifndef QOR_CMYSCROLLBAR_H
#define QOR_CMYSCROLLBAR_H

#include "QorExport.h"
#include "QorMfc.h"

/// A horizontal scroll bar control that keeps its own range, position and
/// page, moves by its own rules on a scroll message and tells its parent of
/// every change of position with the registered message "PellorScrollBar"
/// (first parameter 0x909, second the control identifier).
class QOR_API CMyScrollBar : public CScrollBar {
public:
    /// One entry, WM_HSCROLL to OnHScroll, over the map of CWnd.
    static const AFX_MSGMAP* GetThisMessageMap();

    /// Stands for no control: every field 0, no parent. The bar is usable
    /// from Initialize on.
    CMyScrollBar();
    /// Leaves the control, if any, alone.
    ~CMyScrollBar() override;
    /// The message map of CMyScrollBar.
    const AFX_MSGMAP* GetMessageMap() const override;

    /// Stores the four positions and the parent, sets the control's range and
    /// thumb and reads its control identifier. Sends no notice.
    void Initialize(int lowest, int current, int highest, int page, CWnd* parent);

    /// Stores position and moves the thumb there; no range check, no notice.
    void SetCurrent(int position);

    /// Applies a scroll code (SB_LINELEFT 0 .. SB_ENDSCROLL 8; any other code
    /// takes thumbPosition). Returns 1 and notifies the parent when the
    /// position changed, else 0.
    int CheckScrollValue(unsigned int scrollCode, unsigned int thumbPosition);

    /// The lowest position.
    int m_nMin;
    /// The current position.
    int m_nPos;
    /// The highest position.
    int m_nMax;
    /// The step of a page move.
    int m_nPage;
    /// The control identifier sent with every notice.
    int m_nCtrlID;
    /// The window that receives the notices.
    CWnd* m_pParent;

protected:
    /// The WM_HSCROLL handler: CheckScrollValue with its result dropped.
    void OnHScroll(unsigned int scrollCode, unsigned int thumbPosition, CScrollBar* scrollBar);
    /// Not in the message map; always 0.
    LONG OnMyMessage(unsigned int, LONG);

private:
    static qor::MessageResult HandleHScroll(CWnd* target, qor::MessageParam wParam, qor::MessageValue lParam);
};

#endif
