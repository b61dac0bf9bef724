// The inside of CIniClass: its keys, the files it loaded or saved, and the
// fast paths that the facades use besides the class's public operations.
// Texts passed to the fast paths are taken as given: the caller upper-cases
// them unless said otherwise.
//
// Keys are kept in ascending byte order, so the keys below P (texts that
// begin with P + "\") form one contiguous range: subtree questions are
// range scans, not scans of the whole store.
#ifndef QOR_STORE_INICLASSINTERNAL_H
#define QOR_STORE_INICLASSINTERNAL_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CIniClass.h"
#include "store/KeyMap.h"
#include "store/KnownFiles.h"
#include "store/ValueList.h"

// One allocation per store, reached in one step from the class: a typed
// read goes from the object straight to the key map. Values of one key are
// kept in ascending name order.
struct CIniClass::Impl {
    qor::store::KeyMap keys;
    // The files this store loaded or saved, and its changes since.
    qor::store::KnownFiles files;

    bool HasKey(std::string_view key) const;
    // The value's text without a copy, valid until the store changes;
    // nullopt when the key or the value is missing.
    std::optional<qor::store::StoredText> FindText(std::string_view key, std::string_view name) const;
    // The value's text for a key and a name in any case, neither copied nor
    // upper-cased: the path of every typed read, kept inline.
    std::optional<qor::store::StoredText> FindTextAnyCase(std::string_view key, std::string_view name) const {
        const auto it = keys.FindAnyCase(key);
        if (it == keys.end()) return std::nullopt;
        return it->second.FindAnyCase(name);
    }
    void SetValue(std::string_view key, std::string_view name, std::string_view text);
    bool AddKey(std::string_view key);
    // Appends key itself (when present) and every key below it, ascending.
    void SubtreeKeys(std::string_view key, std::vector<std::string>& out) const;
    std::size_t KeyCount() const { return keys.size(); }
};

namespace qor::store {

// The one friend of CIniClass: the library reaches a store's inside
// through it, so that the public header carries no accessor.
struct IniClassAccess {
    static CIniClass::Impl& Of(CIniClass& store) { return *store.m_impl; }
    static const CIniClass::Impl& Of(const CIniClass& store) { return *store.m_impl; }
};

// The inside of store.
inline auto& Internal(CIniClass& store) { return IniClassAccess::Of(store); }
inline const auto& Internal(const CIniClass& store) { return IniClassAccess::Of(store); }

}  // namespace qor::store

#endif
