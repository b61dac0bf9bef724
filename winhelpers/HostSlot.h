// Each window helper reaches the system through a small host interface of
// its own. The platform's host is used unless a test has put a scripted one
// in its place.
#ifndef QOR_WINHELPERS_HOSTSLOT_H
#define QOR_WINHELPERS_HOSTSLOT_H

#include "util/ScopedReplacement.h"

namespace qor::winhelpers {

// The platform's host of a seam; win32/ and other/ define one per seam.
template <typename Host>
Host& DefaultHost();

// A test's replacement host, when one is in place. Constant-initialised, so
// code that runs while the library loads sees it already.
template <typename Host>
inline Host* g_replacementHost = nullptr;

// The host in use: the replacement when there is one, else the default.
template <typename Host>
Host& ActiveHost() {
    Host* replacement = g_replacementHost<Host>;
    return replacement != nullptr ? *replacement : DefaultHost<Host>();
}

// Tests only: puts host in place for the rest of its scope.
template <typename Host>
using ScopedHostForTesting = qor::ScopedReplacement<Host, &g_replacementHost<Host>>;

}  // namespace qor::winhelpers

#endif
