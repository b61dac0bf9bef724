// Removing keys and values, discarding the store, and enumerating the
// direct sub-keys of a key in two steps: RegQueryInfoKeyA appends the
// sorted names to the object's own list, RegEnumKeyExA hands them out by
// index. The list is emptied only by Close and Delete, so a second query
// without Close appends after the first one's names.
#include <cstring>

#include "CRegExt.h"
#include "platform/Platform.h"
#include "regext/KeyHandles.h"
#include "core/StoreOwnership.h"
#include "util/FixedText.h"
#include "store/SubKeyListing.h"
#include "store/ValueText.h"

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

// Names longer than a node can hold cannot be handed out: they are left
// out of the count, the longest length and the list.
void DropUnlistableNames(qor::store::SubKeyListing& listing) {
    constexpr std::size_t kMaxName = sizeof(SubKeyNode::szName) - 1;
    std::vector<std::string> kept;
    std::uint32_t longest = 0;
    for (std::string& name : listing.names) {
        if (name.size() > kMaxName) continue;
        const std::uint32_t length = qor::platform::Utf16LengthWithTerminator(name) - 1;
        if (length > longest) longest = length;
        kept.push_back(std::move(name));
    }
    listing.names = std::move(kept);
    listing.longest = longest;
}

bool HasUnlistableName(const qor::store::SubKeyListing& listing) {
    for (const std::string& name : listing.names) {
        if (name.size() >= sizeof(SubKeyNode::szName)) return true;
    }
    return false;
}

}  // namespace

// ---- Removal ----------------------------------------------------------------------

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

// ---- Enumeration ----------------------------------------------------------------------

LONG CRegExt::RegQueryInfoKeyA(const char* keyPath, char* /*cls*/, DWORD* /*clsLen*/, DWORD* /*reserved*/,
                               DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* /*maxClassLen*/, DWORD* /*values*/,
                               DWORD* /*maxValueNameLen*/, DWORD* /*maxValueLen*/, DWORD* /*securityLen*/,
                               FILETIME* /*lastWrite*/) {
    const std::string_view path = TextOrEmpty(keyPath);
    if (path.size() > kMaxKeyPath) return ERROR_PATH_NOT_FOUND;
    qor::store::SubKeyListing listing = qor::store::ListDirectSubKeys(m_pIni, path);
    if (listing.result == qor::store::ListingResult::NoKey) return ERROR_PATH_NOT_FOUND;
    if (HasUnlistableName(listing)) DropUnlistableNames(listing);
    if (listing.result == qor::store::ListingResult::NoSubKeys || listing.names.empty()) {
        return ERROR_INVALID_DATA;
    }
    if (subKeys != nullptr) *subKeys = static_cast<DWORD>(listing.names.size());
    if (maxSubKeyLen != nullptr) *maxSubKeyLen = listing.longest;
    for (const std::string& name : listing.names) AppendName(m_SubKeyList, name);
    return ERROR_SUCCESS;
}

LONG CRegExt::RegQueryInfoKeyA(HKEY key, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyLen,
                               DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen, DWORD* maxValueLen,
                               DWORD* securityLen, FILETIME* lastWrite) {
    // The handle is an object: its key path is queried, open or not.
    const CRegExt* object = LiveObjectAt(key);
    if (object == nullptr) return ERROR_PATH_NOT_FOUND;
    const std::string path(qor::FixedView(object->szKey));
    return RegQueryInfoKeyA(path.c_str(), cls, clsLen, reserved, subKeys, maxSubKeyLen, maxClassLen, values,
                            maxValueNameLen, maxValueLen, securityLen, lastWrite);
}

LONG CRegExt::RegQueryInfoKeyA(CRegExt* key, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                               DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                               DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite) {
    return RegQueryInfoKeyA(reinterpret_cast<HKEY>(key), cls, clsLen, reserved, subKeys, maxSubKeyLen, maxClassLen,
                            values, maxValueNameLen, maxValueLen, securityLen, lastWrite);
}

LONG CRegExt::RegQueryInfoKeyA(CRegExt key, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                               DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                               DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite) {
    return RegQueryInfoKeyA(reinterpret_cast<HKEY>(&key), cls, clsLen, reserved, subKeys, maxSubKeyLen, maxClassLen,
                            values, maxValueNameLen, maxValueLen, securityLen, lastWrite);
}

LONG CRegExt::RegEnumKeyExA(HKEY /*key*/, DWORD index, char* name, DWORD* /*nameLen*/, DWORD* /*reserved*/,
                            char* /*cls*/, DWORD* /*clsLen*/, FILETIME* /*lastWrite*/) {
    if (name == nullptr) return ERROR_SUCCESS;
    const SubKeyNode* node = FindByIndex(m_SubKeyList, index);
    qor::CopyFixed(name, sizeof(SubKeyNode::szName), node != nullptr ? qor::FixedView(node->szName) : "");
    return ERROR_SUCCESS;
}

LONG CRegExt::RegEnumKeyExA(CRegExt* key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                            DWORD* clsLen, FILETIME* lastWrite) {
    return RegEnumKeyExA(reinterpret_cast<HKEY>(key), index, name, nameLen, reserved, cls, clsLen, lastWrite);
}

LONG CRegExt::RegEnumKeyExA(CRegExt key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                            DWORD* clsLen, FILETIME* lastWrite) {
    return RegEnumKeyExA(reinterpret_cast<HKEY>(&key), index, name, nameLen, reserved, cls, clsLen, lastWrite);
}

// ---- Whole-store listing and pointing at a key ------------------------------------------

void CRegExt::GetAllGroupArray(CStringArray& list) {
    if (m_pIni != nullptr) m_pIni->GetAllKeys(list);
}

int CRegExt::SetGroup(const char* keyPath) {
    const std::string_view path = TextOrEmpty(keyPath);
    if (!StoreHasKey(path)) return 0;
    return qor::CopyFixed(szKey, qor::store::Upper(path)) ? 1 : 0;
}
