// The keys directly below a key, as the registry-shaped enumeration of both
// facades lists them (RegQueryInfoKeyA, pfnRegQueryInfoKeyA,
// pfnGetSubKeyNumbers).
#ifndef QOR_STORE_SUBKEYLISTING_H
#define QOR_STORE_SUBKEYLISTING_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CIniClass.h"

namespace qor::store {

// Outcome of listing the keys directly below a key.
enum class ListingResult { Found, NoKey, NoSubKeys };

struct SubKeyListing {
    ListingResult result = ListingResult::NoKey;
    std::vector<std::string> names;  // distinct, ascending byte order
    std::uint32_t longest = 0;       // largest UTF-16 length (terminator included) - 1
};

// Direct sub-key names of keyPath (any case; trailing backslashes removed):
// the part of each key below it at the key's depth. Keys that exist only as
// intermediate parts of longer keys count. A null store gives NoKey.
SubKeyListing ListDirectSubKeys(const CIniClass* store, std::string_view keyPath);

}  // namespace qor::store

#endif
