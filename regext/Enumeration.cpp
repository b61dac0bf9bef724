// Enumerating the direct sub-keys of a key in two steps: RegQueryInfoKeyA appends the
// sorted names to the object's own list, RegEnumKeyExA hands them out by
// index. The list is emptied only by Close and Delete, so a second query
// without Close appends after the first one's names.
#include <cstring>

#include "CRegExt.h"
#include "platform/Platform.h"
#include "regext/KeyHandles.h"
#include "util/FixedText.h"
#include "store/SubKeyListing.h"
#include "store/ValueText.h"

using namespace qor::regext;

namespace {

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
