// Key arguments of the command line, turned into the store's own form: upper
// case, no trailing backslash, the long root name. A key may begin with
// HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, long or short (HKLM, HKCU), or
// with no root name at all, as the product store files hold their keys
// (SOFTWARE\Orvane Corp\DocScan\...). Other registry roots are refused.
#ifndef QORREG_KEY_PATH_H
#define QORREG_KEY_PATH_H

#include <cstddef>
#include <string>

namespace qorreg {

// The longest key path a key handle holds (1040 bytes with the terminator).
constexpr std::size_t kMaxKeyPathLength = 1039;

// Upper-cases the letters a to z and nothing else, as the store does.
std::string UpperAscii(std::string text);

// Upper-cases text and writes a leading HKLM or HKCU (alone or before a
// backslash) as its long root name. Used for keys and for export filters.
std::string CanonicalKeyText(const std::string& text);

// Reads a key argument into full. False, with a one-line reason in error,
// for an empty key, another registry root (HKCR, HKEY_USERS, ...), an empty
// name between backslashes or a path longer than kMaxKeyPathLength.
bool ParseKeyPath(const std::string& text, std::string& full, std::string& error);

}  // namespace qorreg

#endif
