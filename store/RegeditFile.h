// Windows' regedit file format, read and written (CRegeditFile).
#ifndef QOR_STORE_REGEDITFILE_H
#define QOR_STORE_REGEDITFILE_H

#include <string>
#include <string_view>

#include "CIniClass.h"
#include "store/KeyMap.h"

namespace qor::store {

enum class RegeditRead { Read, NotRegedit, BadUtf16 };

// Reads the bytes of a regedit file (8-bit or UTF-16LE with its mark) into
// staging, an empty store. On anything but Read, staging holds nothing
// useful.
RegeditRead ReadRegeditText(std::string_view bytes, CIniClass& staging);

// True when key is one of the five root names or begins with one and a
// backslash: the keys regedit takes.
bool BeginsWithRootName(std::string_view key);

// The regedit file of key and the keys below it (every key when key is
// empty): REGEDIT4 text, or with utf16 the version 5 text in UTF-16LE with
// its mark. False when a text cannot be converted to UTF-16.
bool RegeditExportText(const KeyMap& keys, std::string_view key, bool utf16, std::string& bytes);

}  // namespace qor::store

#endif
