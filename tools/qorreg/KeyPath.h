// Key arguments of the command line, turned into the store's own form: upper
// case, no trailing backslash, the long root name. A key may begin with
// a root name, long or short (HKEY_LOCAL_MACHINE or HKLM, HKEY_CURRENT_USER
// or HKCU, HKEY_CLASSES_ROOT or HKCR, HKEY_USERS or HKU, HKEY_CURRENT_CONFIG
// or HKCC), or with no root name at all, as the product store files hold
// their keys (SOFTWARE\Orvane Corp\DocScan\...). A first name that begins
// with "HK" and is no root name is refused as a mistyped root.
#ifndef QOR_TOOLS_QORREG_KEYPATH_H
#define QOR_TOOLS_QORREG_KEYPATH_H

#include <cstddef>
#include <string>

namespace qor::qorreg {

// The longest key path a key handle holds (1040 bytes with the terminator).
constexpr std::size_t kMaxKeyPathLength = 1039;

// Upper-cases the letters a to z and nothing else, as the store does.
std::string UpperAscii(std::string text);

// True for one of the five long root names (upper case).
bool IsRootName(const std::string& name);

// Upper-cases text and writes a leading short root name (alone or before a
// backslash) as its long root name. Used for keys and for export filters.
std::string CanonicalKeyText(const std::string& text);

// Reads a key argument into full. False, with a one-line reason in error,
// for an empty key, a mistyped root (HKLN, HKEY_LOCAL), an empty
// name between backslashes or a path longer than kMaxKeyPathLength.
bool ParseKeyPath(const std::string& text, std::string& full, std::string& error);

}  // namespace qor::qorreg

#endif
