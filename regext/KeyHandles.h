// Library-internal pieces shared by the CRegExt sources: the registry of
// live objects, the reading of handle values, key path helpers, the
// sub-key name list and the typed-access target of an object.
#ifndef QOR_REGEXT_KEY_HANDLES_H
#define QOR_REGEXT_KEY_HANDLES_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "CRegExt.h"
#include "regext/ValueAccess.h"

namespace qor::regext {

// The longest key path szKey holds (1040 bytes with the terminator).
inline constexpr std::size_t kMaxKeyPath = sizeof(CRegExt::szKey) - 1;
// The KEY_WRITE bits, the only access-mask bits the class reads.
inline constexpr DWORD kWriteBits = 0x20006;

// ---- Live objects
// Every CRegExt adds itself at construction and removes itself at
// destruction, so an untyped handle can be told from key path text.
void RegisterObject(const CRegExt* object);
void UnregisterObject(const CRegExt* object);
// The live object at address, or null when address is not one.
const CRegExt* LiveObjectAt(const void* address);

// ---- Handle values
enum class HandleKind { CurrentUser, LocalMachine, OtherRoot, Address };
// Predefined roots are recognised by their low 32 bits (64-bit Windows
// sign-extends them); anything else is an address.
HandleKind KindOf(const void* handle);
// "HKEY_CURRENT_USER\" or "HKEY_LOCAL_MACHINE\" for those two kinds, else empty.
std::string_view RootPrefix(HandleKind kind);

// How a handle that is not a live object may be read as key path text.
enum class TextRule {
    None,         // only an open object gives a path
    NonEmpty,     // any non-empty text
    ExistingKey,  // a non-empty text that names a key of the store
};
// The key path that a parent handle gives: an open object's szKey, or the
// handle's text as the rule allows. Null, roots and closed objects give none.
std::optional<std::string> ParentPath(const void* handle, TextRule rule);

// ---- Key path text
void TrimTrailingBackslashes(std::string& path);
// parent + "\" + sub.
std::string JoinKeyPath(std::string_view parent, std::string_view sub);
inline std::string_view TextOrEmpty(const char* text) { return text ? std::string_view(text) : std::string_view(); }
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
access::ValueTarget TargetOf(const CRegExt& object);

}  // namespace qor::regext

#endif
