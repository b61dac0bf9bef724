// Shared pieces of the helpers' message maps.
#ifndef QOR_WINHELPERS_MESSAGEMAPS_H
#define QOR_WINHELPERS_MESSAGEMAPS_H

#include "QorMfc.h"

namespace qor::winhelpers {

// The entry that ends every message map's list.
inline constexpr AFX_MSGMAP_ENTRY kEndOfMessageMap = {0, 0, 0, 0, 0, nullptr};

// The entries of a map that handles no message of its own.
inline constexpr AFX_MSGMAP_ENTRY kNoMessageEntries[] = {kEndOfMessageMap};

}  // namespace qor::winhelpers

#endif
