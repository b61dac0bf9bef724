// What CMyScrollBar needs from the window system: its control's range and
// thumb, its control identifier, a registered message and synchronous
// delivery of that message to the parent window.
#ifndef QOR_WINHELPERS_SCROLLBARHOST_H
#define QOR_WINHELPERS_SCROLLBARHOST_H

#include "QorMfc.h"
#include "winhelpers/HostSlot.h"

namespace qor::winhelpers {

class ScrollBarHost {
public:
    virtual ~ScrollBarHost() = default;
    // Sets the control's range to lowest .. highest and redraws it.
    virtual void SetRange(HWND bar, int lowest, int highest) = 0;
    // Moves the control's thumb to position and redraws it.
    virtual void SetThumb(HWND bar, int position) = 0;
    // The control identifier of the bar's window (0 when it has none).
    virtual int ReadControlId(HWND bar) = 0;
    // The identifier of the message registered under name; the same name
    // always gives the same identifier.
    virtual unsigned int RegisterName(const char* name) = 0;
    // Delivers message to target and returns once it has been handled.
    virtual void SendToWindow(HWND target, unsigned int message, MessageParam first, MessageValue second) = 0;
};

template <>
ScrollBarHost& DefaultHost<ScrollBarHost>();

// The identifier of the change notice, registered as the library loads.
unsigned int ScrollNoticeMessage();

}  // namespace qor::winhelpers

#endif
