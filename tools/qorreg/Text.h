// The texts of a store file and the texts of the command line and the
// terminal, each in its own code page. The file's code page is chosen with
// --codepage (default: the tool's own, host::NativeCodePage); what is shown
// is converted from it, and what is given on the command line to it.
#ifndef QOR_TOOLS_QORREG_TEXT_H
#define QOR_TOOLS_QORREG_TEXT_H

#include <string>
#include <string_view>

namespace qor::qorreg {

// Reads a --codepage argument ("1252", "cp1252", "windows-1252", "utf-8",
// "utf8", "65001", any letter case; empty: the tool's own) and makes it the
// file's code page for this run. False for a name the host cannot convert.
bool SelectFileCodePage(const std::string& name);
unsigned FileCodePage();
// "UTF-8" or "1252", as messages name a code page.
std::string CodePageName(unsigned codePage);

// A file's text for the terminal: converted to the tool's code page (a text
// that does not convert is shown as its bytes), control bytes written as
// \xNN so that no escape sequence reaches the terminal.
std::string Shown(std::string_view fileText);
// Control bytes (below 0x20, and 0x7f) of text written as \xNN.
std::string Printable(std::string_view text);
// A file's text as UTF-8, for JSON; bytes that do not convert stay as they
// are (the JSON writer replaces them).
std::string Utf8Of(std::string_view fileText);
// A command-line text in the file's code page; false when it has a
// character the code page cannot hold or is not valid in the tool's own.
bool ToFileText(const std::string& given, std::string& fileText);
// True when text is valid UTF-8.
bool IsUtf8(std::string_view text);
// True when text is valid in the file's code page.
bool ValidInFileCodePage(std::string_view text);

}  // namespace qor::qorreg

#endif
