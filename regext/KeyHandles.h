// Library-internal pieces shared by the CRegExt sources: the registry of
// live objects, parent handles read as key paths, the sub-key name list
// and the typed-access target of an object. The key-handle rules
// themselves (roots, trimming, joining, write bits) are the core's.
#ifndef QOR_REGEXT_KEYHANDLES_H
#define QOR_REGEXT_KEYHANDLES_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "CRegExt.h"
#include "core/KeyRules.h"
#include "core/ValueAccess.h"
#include "util/FixedText.h"

namespace qor::regext {

using core::HandleKind;
using core::JoinKeyPath;
using core::KindOf;
using core::kMaxKeyPath;
using core::RootPrefix;
using core::TextOrEmpty;
using core::TrimTrailingBackslashes;

// ---- Live objects
// Every CRegExt adds itself at construction and removes itself at
// destruction, so an untyped handle can be told from key path text.
void RegisterObject(const CRegExt* object);
void UnregisterObject(const CRegExt* object);
// The live object at address, or null when address is not one.
const CRegExt* LiveObjectAt(const void* address);

// How a handle that is not a live object may be read as key path text.
enum class TextRule {
    None,         // only an open object gives a path
    NonEmpty,     // any non-empty text
    ExistingKey,  // a non-empty text that names a key of the store
};
// The key path that a parent handle gives: an open object's szKey, or the
// handle's text as the rule allows. Null, roots and closed objects give none.
std::optional<std::string> ParentPath(const void* handle, TextRule rule);

// 1 when the store exists and holds the key (any case).
bool StoreHasKey(std::string_view key);

// ---- Sub-key name list (names of at most 259 characters)
// Appends a node with the next index; false, changing nothing, when the
// name does not fit a node.
bool AppendName(SubKeyList& list, std::string_view name);
// The node holding index, or null; recorded in pCurrent when found.
SubKeyNode* FindByIndex(SubKeyList& list, DWORD index);
// Frees every node; the list is empty afterwards.
void ClearList(SubKeyList& list);
// Makes to (empty) an independent copy of from: same names and indexes.
void CopyList(SubKeyList& to, const SubKeyList& from);

// ---- Typed access
// Inline: every typed call of the class starts here.
inline core::ValueTarget TargetOf(const CRegExt& object) {
    return core::ValueTarget{CRegExt::m_pIni, FixedView(object.szKey), object.m_fWrite == 1};
}

}  // namespace qor::regext

#endif
