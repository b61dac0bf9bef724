// The key slots: opening, creating and deleting keys through handle records.
//
// Paths are joined as parent key + "\" + sub-key. The open and create slots
// trim backslashes at both ends, so an empty parent key takes the sub-key as
// a full path and an empty sub-key names the parent's own key; the delete
// slots trim trailing backslashes only. A path that does not fit szKey is
// never opened or created.
#include <string>
#include <string_view>

#include "CIniClass.h"
#include "core/KeyRules.h"
#include "table/Slots.h"
#include "table/TableState.h"
#include "util/FixedText.h"
#include "store/ValueText.h"

namespace qor::table {
namespace {

std::string_view KeyOf(const tagRegHandle& h) { return FixedView(h.szKey); }

std::string JoinUnder(const tagRegHandle& parent, std::string_view sub) {
    return core::JoinKeyPath(KeyOf(parent), sub);
}

void Clear(tagRegHandle& h) {
    h.szKey[0] = '\0';
    h.pIni = nullptr;
    h.fWrite = 0;
}

// The upper-case, trimmed path of parent\sub for the open and create slots.
std::string OpenPath(const tagRegHandle& parent, const char* sub) {
    std::string path = JoinUnder(parent, sub);
    core::TrimBackslashes(path);
    store::UpperInPlace(path);
    return path;
}

// Points out at an existing key of store; clears out when it cannot.
int PlaceExisting(tagRegHandle& out, CIniClass* store, const std::string& path, int fWrite) {
    if (path.empty() || !core::FitsKeyField(path) || !store->KeyExists(path.c_str())) {
        Clear(out);
        return 0;
    }
    CopyFixed(out.szKey, path);
    out.pIni = store;
    out.fWrite = fWrite;
    return 1;
}

int OpenUnderParent(const char* sub, tagRegHandle* out, tagRegHandle* parent, int fWrite) {
    if (sub == nullptr || out == nullptr || parent == nullptr || parent->pIni == nullptr) return 0;
    CIniClass* store = parent->pIni;  // out may be the parent itself
    return PlaceExisting(*out, store, OpenPath(*parent, sub), fWrite);
}

// The path of handle\sub for the delete slots; false when h may not delete.
bool DeletePath(const tagRegHandle* h, const char* sub, std::string& path) {
    if (h == nullptr || sub == nullptr || h->fWrite != 1 || h->pIni == nullptr) return false;
    path = JoinUnder(*h, sub);
    core::TrimTrailingBackslashes(path);
    return true;
}

LONG OpenUnderPredefinedRoot(std::string_view rootName, const char* sub, tagRegHandle& out) {
    std::string path = std::string(rootName) + store::Upper(sub);
    core::TrimTrailingBackslashes(path);
    CIniClass* store = TableStore();
    if (store == nullptr || !core::FitsKeyField(path) || !store->KeyExists(path.c_str())) return ERROR_PATH_NOT_FOUND;
    CopyFixed(out.szKey, path);
    out.pIni = store;
    return ERROR_SUCCESS;
}

}  // namespace

int OpenReadOnly(const char* sub, tagRegHandle* out, tagRegHandle* parent) {
    return OpenUnderParent(sub, out, parent, 0);
}

int OpenReadWrite(const char* sub, tagRegHandle* out, tagRegHandle* parent) {
    return OpenUnderParent(sub, out, parent, 1);
}

int CreateKey(const char* sub, tagRegHandle* out, tagRegHandle* parent, DWORD access) {
    if (sub == nullptr || out == nullptr || parent == nullptr || parent->pIni == nullptr) return 0;
    CIniClass* store = parent->pIni;
    const std::string path = OpenPath(*parent, sub);
    if (!path.empty() && core::FitsKeyField(path) && !store->KeyExists(path.c_str())) store->AddKey(path.c_str());
    return PlaceExisting(*out, store, path, core::WriteFlag(access, core::WriteRule::AnyBit));
}

void DeleteKey(tagRegHandle* h, const char* sub) { DeleteKeyEx(h, sub); }

int DeleteKeyEx(tagRegHandle* h, const char* sub) {
    std::string path;
    if (!DeletePath(h, sub, path) || !h->pIni->KeyExists(path.c_str())) return 0;
    h->pIni->DeleteSubtree(path.c_str());
    return 1;
}

int DeleteValue(tagRegHandle* h, const char* name) {
    if (h == nullptr || name == nullptr || h->fWrite != 1 || h->pIni == nullptr) return 0;
    const std::string key(KeyOf(*h));
    if (key.empty() || !h->pIni->KeyExists(key.c_str())) return 0;
    return h->pIni->RemoveValue(key.c_str(), name) == 1 ? 1 : 0;
}

LONG Open(HKEY root, const char* sub, DWORD access, tagRegHandle* out) {
    if (out == nullptr) return ERROR_PATH_NOT_FOUND;
    const int fWrite = core::WriteFlag(access, core::WriteRule::AllBits);
    out->fWrite = fWrite;
    const core::HandleKind kind = core::KindOf(root);
    if (kind == core::HandleKind::OtherRoot) return ERROR_PATH_NOT_FOUND;
    if (kind != core::HandleKind::Address) {
        if (sub == nullptr) return ERROR_PATH_NOT_FOUND;
        return OpenUnderPredefinedRoot(core::RootPrefix(kind), sub, *out);
    }
    auto* parent = reinterpret_cast<tagRegHandle*>(root);
    const int opened = fWrite == 1 ? OpenReadWrite(sub, out, parent) : OpenReadOnly(sub, out, parent);
    return opened == 1 ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

void InitHandle(tagRegHandle* h) {
    if (h != nullptr) Clear(*h);
}

LONG Close() { return ERROR_SUCCESS; }

}  // namespace qor::table
