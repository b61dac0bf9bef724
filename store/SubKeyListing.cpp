// The direct sub-keys of a key, for the registry-shaped enumeration of both
// facades. Costs the size of the key's subtree, not of the store.
#include <algorithm>

#include "platform/Platform.h"
#include "store/KeyMap.h"
#include "store/ValueText.h"

namespace qor::store {

SubKeyListing ListDirectSubKeys(const CIniClass* store, std::string_view keyPath) {
    SubKeyListing listing;
    if (store == nullptr) return listing;
    while (keyPath.ends_with('\\')) keyPath.remove_suffix(1);
    const std::string key = Upper(keyPath);
    const KeyMap& keys = KeysOf(*store);
    const auto [first, last] = KeysBelow(keys, key);
    if (first == last) {
        listing.result = keys.contains(key) ? ListingResult::NoSubKeys : ListingResult::NoKey;
        return listing;
    }
    // A key below has as many parts before its direct sub-key name as the
    // key itself has, so the name is what follows key + "\" up to the next
    // backslash. Keys of one name mostly sit together; repeats are dropped
    // as they come and the rest after sorting.
    const std::size_t nameStart = key.size() + 1;
    for (auto it = first; it != last; ++it) {
        const std::string_view below = std::string_view(it->first).substr(nameStart);
        const std::string_view name = below.substr(0, below.find('\\'));
        if (listing.names.empty() || listing.names.back() != name) listing.names.emplace_back(name);
    }
    std::sort(listing.names.begin(), listing.names.end());
    listing.names.erase(std::unique(listing.names.begin(), listing.names.end()), listing.names.end());
    std::uint32_t longest = 1;
    for (const std::string& name : listing.names) longest = std::max(longest, platform::Utf16LengthWithTerminator(name));
    listing.longest = longest - 1;
    listing.result = ListingResult::Found;
    return listing;
}

}  // namespace qor::store
