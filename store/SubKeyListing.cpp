// The direct sub-keys of a key, for the registry-shaped enumeration of both
// facades. Costs a search per name below the key, not the size of its
// subtree or of the store.
#include "store/SubKeyListing.h"

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
    const std::string prefix = key + '\\';
    auto it = keys.lower_bound(prefix);
    if (it == keys.end() || !it->first.starts_with(prefix)) {
        // The key itself, when stored, usually sits just before where the
        // keys below it would start.
        const bool stored = (it != keys.begin() && std::prev(it)->first == key) || keys.contains(key);
        listing.result = stored ? ListingResult::NoSubKeys : ListingResult::NoKey;
        return listing;
    }
    // A key below has as many parts before its direct sub-key name as the
    // key itself has, so the name is what follows key + "\" up to the next
    // backslash. Once a key deeper than a direct sub-key N turns up, every
    // key up to key\N + "]" lies below N too, so one search skips them all:
    // the cost follows the number of names, not the size of the subtree.
    // Names can still repeat apart ("B", "B.X", "B\C"); sorting drops them.
    const std::size_t nameStart = prefix.size();
    std::string skipTo;
    while (it != keys.end() && it->first.starts_with(prefix)) {
        const std::string_view below = std::string_view(it->first).substr(nameStart);
        const std::size_t slash = below.find('\\');
        const std::string_view name = below.substr(0, slash);
        if (listing.names.empty() || listing.names.back() != name) listing.names.emplace_back(name);
        if (slash == std::string_view::npos) {
            ++it;
            continue;
        }
        skipTo.assign(it->first, 0, nameStart + slash);
        skipTo += ']';
        it = keys.lower_bound(skipTo);
    }
    std::sort(listing.names.begin(), listing.names.end());
    listing.names.erase(std::unique(listing.names.begin(), listing.names.end()), listing.names.end());
    std::uint32_t longest = 1;
    for (const std::string& name : listing.names)
        longest = std::max(longest, platform::Utf16LengthWithTerminator(name));
    listing.longest = longest - 1;
    listing.result = ListingResult::Found;
    return listing;
}

}  // namespace qor::store
