// The store's keys: an ordered map from key text to the key's values.
// Ordered by unsigned bytes, so the keys below a key K (texts that begin
// with K + "\") are one contiguous range.
#ifndef QOR_STORE_KEY_MAP_H
#define QOR_STORE_KEY_MAP_H

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "store/KeyStore.h"
#include "store/ValueList.h"

namespace qor::store {

using KeyMap = std::map<std::string, ValueList, std::less<>>;

// The keys strictly below key, at every depth, in ascending order.
template <typename Map>
auto KeysBelow(Map& keys, std::string_view key) {
    // Every text that begins with key + "\" sorts at or after that text and
    // before key + "]", the byte that follows the backslash.
    std::string from(key), to(key);
    from += '\\';
    to += ']';
    return std::make_pair(keys.lower_bound(from), keys.lower_bound(to));
}

// The key map of a store.
KeyMap& KeysOf(CIniClass& store);
const KeyMap& KeysOf(const CIniClass& store);

}  // namespace qor::store

struct CIniClass::Impl::Data {
    qor::store::KeyMap keys;
};

#endif
