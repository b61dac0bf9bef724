// Key arguments of the command line: full key paths that begin with a root
// name, long (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) or short (HKLM, HKCU),
// in any case. They are turned into the store's own form: the long root
// name, upper-case letters, no trailing backslash.
#ifndef QORREG_KEY_PATH_H
#define QORREG_KEY_PATH_H

#include <cstddef>
#include <string>

#include <QorCommonLib.h>

namespace qorreg {

// The longest key path a key handle holds (1040 bytes with the terminator).
constexpr std::size_t kMaxKeyPathLength = 1039;

struct KeyPath {
    HKEY root = HKEY_LOCAL_MACHINE;
    std::string sub;   // below the root; empty for the bare root
    std::string full;  // root name, then "\" and sub when sub is not empty
};

// Upper-cases the letters a to z and nothing else, as the store does.
std::string UpperAscii(std::string text);

// Upper-cases text and writes a leading HKLM or HKCU (alone or before a
// backslash) as its long root name. Used for keys and for export filters.
std::string CanonicalKeyText(const std::string& text);

// Reads a key argument. False, with a one-line reason in error, when the
// root is unknown, a key name between backslashes is empty or the path is
// longer than kMaxKeyPathLength.
bool ParseKeyPath(const std::string& text, KeyPath& key, std::string& error);

}  // namespace qorreg

#endif
