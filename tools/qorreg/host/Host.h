// The few host calls of the tool itself, which the library does not offer:
// code page conversion and binary standard streams. HostPosix.cpp and
// HostWin32.cpp implement them; nothing else in the tool includes a system
// header.
#ifndef QOR_TOOLS_QORREG_HOST_HOST_H
#define QOR_TOOLS_QORREG_HOST_HOST_H

#include <string>
#include <string_view>

namespace qor::qorreg::host {

// Code pages are Windows code page numbers; 65001 is UTF-8.
inline constexpr unsigned kUtf8 = 65001;

// The code page of the tool's command line and terminal: UTF-8 on POSIX
// hosts, the ANSI code page on Windows.
unsigned NativeCodePage();
// True when the host can convert to and from the code page.
bool KnownCodePage(unsigned codePage);
// Converts text from one code page to another. False when a byte sequence
// is not valid in from or a character has no form in to (nothing is
// replaced by a look-alike or "?").
bool Convert(std::string_view text, unsigned from, unsigned to, std::string& converted);
// Standard input and output carry bytes unchanged (no line-end
// translation on Windows; nothing to do elsewhere).
void UseBinaryStandardStreams();

}  // namespace qor::qorreg::host

#endif
