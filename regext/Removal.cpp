// Removing keys and values, and discarding the store. A closed object may
// remove keys; only one opened read-only is refused.
#include <optional>
#include <string>
#include <string_view>

#include "CRegExt.h"
#include "core/StoreOwnership.h"
#include "regext/KeyHandles.h"
#include "store/ValueText.h"
#include "util/FixedText.h"

using namespace qor::regext;

namespace {

// keyPath\sub without trailing backslashes, when it names a key.
std::optional<std::string> ExistingJoinedKey(std::string_view keyPath, std::string_view sub) {
    std::string path = JoinKeyPath(keyPath, sub);
    TrimTrailingBackslashes(path);
    if (!StoreHasKey(path)) return std::nullopt;
    return path;
}

// A closed object may remove keys; only one opened read-only is refused.
bool GrantDeleteRight(CRegExt& self) {
    if (self.m_fOpen == 0) self.m_fWrite = 1;
    return self.m_fWrite == 1;
}

// The key path a DeleteKey handle gives: its text, or an open object's key.
// Roots and closed objects give none; a null text counts as empty.
std::optional<std::string> DeleteBase(const void* handle) {
    if (handle == nullptr) return std::string();
    if (KindOf(handle) != HandleKind::Address) return std::nullopt;
    if (LiveObjectAt(handle) != nullptr) return ParentPath(handle, TextRule::None);
    return std::string(static_cast<const char*>(handle));
}

// Removes base\sub and its subtree; a handle that gives no key path is
// refused before the write flag is touched.
int DeleteKeyUnder(CRegExt& self, const void* handle, const char* sub) {
    std::optional<std::string> base = DeleteBase(handle);
    if (!base || !GrantDeleteRight(self)) return 0;
    std::optional<std::string> path = ExistingJoinedKey(*base, TextOrEmpty(sub));
    if (!path) return 0;
    CRegExt::m_pIni->DeleteSubtree(path->c_str());
    return 1;
}

}  // namespace

int CRegExt::DeleteKey(const char* keyPath, const char* sub) { return DeleteKeyUnder(*this, keyPath, sub); }
int CRegExt::DeleteKey(HKEY keyPath, const char* sub) { return DeleteKeyUnder(*this, keyPath, sub); }

void CRegExt::DeleteAllSubKey(const char* sub) {
    if (m_fWrite != 1 || szKey[0] == '\0') return;
    std::optional<std::string> path = ExistingJoinedKey(qor::FixedView(szKey), TextOrEmpty(sub));
    if (path) m_pIni->DeleteSubtree(path->c_str());
}

LONG CRegExt::DeleteValue(const char* name) {
    const std::string key(qor::FixedView(szKey));
    if (m_fWrite != 1 || key.empty() || !StoreHasKey(key)) return 0;
    return m_pIni->RemoveValue(key.c_str(), name ? name : "");
}

void CRegExt::Delete() {
    // Clears m_pIni, and the function table's pointer when it shares the store.
    qor::core::DestroyStore(m_pIni);
    Detach();
    if (m_SubKeyList.pHead != nullptr) ClearList(m_SubKeyList);
}
