// The check box an open folder chooser shows between its tree and its
// buttons, and the hook that puts it back in place whenever the OK button
// moves. Process-wide: one chooser with a check box at a time.
#ifndef QOR_WINHELPERS_CHOOSERCHECKBOX_H
#define QOR_WINHELPERS_CHOOSERCHECKBOX_H

#include <string_view>

#include "winhelpers/FolderChooserHost.h"

namespace qor::winhelpers {

// Hooks the thread's window messages, remembers dialog, its OK button and
// label (at most 259 characters), lays the dialog out, which creates the
// box, and sets the box to state. No box appears when the dialog has no tree.
void OpenCheckBox(FolderChooserHost& host, HWND dialog, std::string_view label, int state);

// The open chooser's check box, null when none is shown.
HWND CurrentCheckBox();

// Removes the hook if one is set and forgets every window of the chooser.
void CloseCheckBox(FolderChooserHost& host);

}  // namespace qor::winhelpers

#endif
