// Library-internal view of the key store: the fast paths that the facades
// use besides CIniClass's public operations. All keys and names passed here
// are already upper-case unless said otherwise.
//
// Keys are kept in ascending byte order, so the keys below P (texts that
// begin with P + "\") form one contiguous range: subtree questions are
// range scans, not scans of the whole store.
#ifndef QOR_STORE_KEYSTORE_H
#define QOR_STORE_KEYSTORE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CIniClass.h"
#include "store/ValueList.h"

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
// intermediate parts of longer keys count. Shared by CRegExt::RegQueryInfoKeyA,
// pfnRegQueryInfoKeyA and pfnGetSubKeyNumbers. A null store gives NoKey.
SubKeyListing ListDirectSubKeys(const CIniClass* store, std::string_view keyPath);

}  // namespace qor::store

// Fast internal operations on a store; texts are taken as given (the caller
// upper-cases). Values of one key are kept in ascending name order.
struct CIniClass::Impl {
    bool HasKey(std::string_view key) const;
    // The value's text without a copy, valid until the store changes;
    // nullopt when the key or the value is missing.
    std::optional<qor::store::StoredText> FindText(std::string_view key, std::string_view name) const;
    // The value's text for a key in any case, upper-cased only when it holds
    // a lower-case letter; the path of every typed read.
    std::optional<qor::store::StoredText> FindTextAnyCase(std::string_view key, std::string_view upperName) const;
    void SetValue(std::string_view key, std::string_view name, std::string_view text);
    bool AddKey(std::string_view key);
    // Appends key itself (when present) and every key below it, ascending.
    void SubtreeKeys(std::string_view key, std::vector<std::string>& out) const;
    std::size_t KeyCount() const;

    struct Data;
    Data* data = nullptr;
};

#endif
