// Opening, creating, attaching and closing keys through CRegExt.
//
// A parent handle is an open CRegExt or, where the form allows, key path
// text; the registry of live objects tells the two apart. Open reads the
// access mask as writable only when all KEY_WRITE bits are set, CreateKey
// when any of them is. A key path that does not fit szKey is refused
// before anything changes.
#include <cstring>

#include "CRegExt.h"
#include "platform/Platform.h"
#include "regext/KeyHandles.h"
#include "util/FixedText.h"
#include "store/ValueText.h"

using namespace qor::regext;

namespace {

enum class OpenOutcome { Opened, Failed, TooLong };

// Points the object read-only at the existing key that sub names, either
// by itself (a full key path) or under the parent. Nothing changes unless
// the outcome is Opened.
OpenOutcome OpenExisting(CRegExt& self, const char* sub, const void* parent) {
    if (CRegExt::m_pIni == nullptr) return OpenOutcome::Failed;
    const std::string_view subText = TextOrEmpty(sub);
    std::string path;
    if (StoreHasKey(subText)) {
        path.assign(subText);
    } else {
        std::optional<std::string> parentPath = ParentPath(parent, TextRule::ExistingKey);
        if (!parentPath) return OpenOutcome::Failed;
        path = JoinKeyPath(*parentPath, subText);
    }
    if (path.empty() || !StoreHasKey(path)) return OpenOutcome::Failed;
    if (!qor::CopyFixed(self.szKey, qor::store::Upper(path))) return OpenOutcome::TooLong;
    self.m_fOpen = 1;
    self.m_fWrite = 0;
    return OpenOutcome::Opened;
}

int OpenReadOnlyUnder(CRegExt& self, const char* sub, const void* parent) {
    return OpenExisting(self, sub, parent) == OpenOutcome::Opened ? 1 : 0;
}

// The write flag is granted even when the key is missing, as callers expect.
int OpenReadWriteUnder(CRegExt& self, const char* sub, const void* parent) {
    const OpenOutcome outcome = OpenExisting(self, sub, parent);
    if (outcome == OpenOutcome::TooLong) return 0;
    self.m_fWrite = 1;
    return outcome == OpenOutcome::Opened ? 1 : 0;
}

int CreateWriteFlag(DWORD mask) { return qor::core::WriteFlag(mask, qor::core::WriteRule::AnyBit); }

// Adds parent\sub when missing and opens it. A parent that gives no key
// path adds nothing; the write flag still follows the mask.
int CreateUnder(CRegExt& self, const char* sub, const void* parent, DWORD mask) {
    std::optional<std::string> parentPath = ParentPath(parent, TextRule::None);
    if (!parentPath) {
        self.m_fWrite = CreateWriteFlag(mask);
        return 0;
    }
    const std::string path = JoinKeyPath(*parentPath, TextOrEmpty(sub));
    if (path.size() > kMaxKeyPath) return 0;
    if (CRegExt::m_pIni != nullptr && !StoreHasKey(path)) CRegExt::m_pIni->AddKey(path.c_str());
    const OpenOutcome outcome = OpenExisting(self, sub, parent);
    if (outcome == OpenOutcome::TooLong) return 0;
    self.m_fWrite = CreateWriteFlag(mask);
    return outcome == OpenOutcome::Opened ? 1 : 0;
}

// A char* parent of CreateKey: its text becomes the object's own key,
// and the object is then the parent.
int CreateUnderText(CRegExt& self, const char* sub, const char* parent, DWORD mask) {
    if (LiveObjectAt(parent) != nullptr) return CreateUnder(self, sub, parent, mask);
    const bool isText = parent != nullptr && KindOf(parent) == HandleKind::Address;
    const std::string text = isText ? std::string(parent) : std::string();
    if (text.empty()) {
        self.m_fWrite = CreateWriteFlag(mask);
        return 0;
    }
    if (JoinKeyPath(text, TextOrEmpty(sub)).size() > kMaxKeyPath) return 0;
    qor::CopyFixed(self.szKey, text);
    self.m_fOpen = 1;
    return CreateUnder(self, sub, &self, mask);
}

// Makes the object refer to the parent object's own key; creates nothing.
int ReferToParentKey(CRegExt& self, const void* parent, DWORD mask) {
    const CRegExt* object = LiveObjectAt(parent);
    if (object == nullptr) return 0;
    const std::string key(qor::FixedView(object->szKey));
    qor::CopyFixed(self.szKey, key);
    if (key.empty() || !StoreHasKey(key)) return 0;
    qor::CopyFixed(self.szKey, qor::store::Upper(key));
    self.m_fWrite = CreateWriteFlag(mask);
    self.m_fOpen = 1;
    return 1;
}

void AttachTo(CRegExt& self, const void* parent) {
    if (parent == nullptr || KindOf(parent) != HandleKind::Address) return;
    if (const CRegExt* object = LiveObjectAt(parent)) {
        if (object == &self || object->m_fOpen != 1) return;
        std::memcpy(self.szKey, object->szKey, sizeof(self.szKey));
        self.m_fWrite = object->m_fWrite;
        self.m_fOpen = object->m_fOpen;
        return;
    }
    const std::string_view text(static_cast<const char*>(parent));
    if (text.empty() || !qor::CopyFixed(self.szKey, text)) return;
    self.m_fOpen = 1;
}

std::string NumberName(int sub) { return qor::core::NameFromNumber(sub); }

}  // namespace

// ---- Open -----------------------------------------------------------------

LONG CRegExt::Open(HKEY root, const char* sub, DWORD mask) {
    const bool writeRequest = qor::core::WriteFlag(mask, qor::core::WriteRule::AllBits) == 1;
    const std::string upperSub = qor::store::Upper(TextOrEmpty(sub));
    const HandleKind kind = KindOf(root);
    if (kind == HandleKind::OtherRoot) return ERROR_PATH_NOT_FOUND;
    int opened = 0;
    if (kind == HandleKind::Address) {
        opened = writeRequest ? OpenReadWriteUnder(*this, upperSub.c_str(), root)
                              : OpenReadOnlyUnder(*this, upperSub.c_str(), root);
    } else {
        std::string path = std::string(RootPrefix(kind)) + upperSub;
        TrimTrailingBackslashes(path);
        if (path.size() > kMaxKeyPath) return ERROR_PATH_NOT_FOUND;
        m_fOpen = 0;
        if (!StoreHasKey(path)) return ERROR_PATH_NOT_FOUND;
        opened = writeRequest ? OpenReadWriteUnder(*this, path.c_str(), nullptr)
                              : OpenReadOnlyUnder(*this, path.c_str(), nullptr);
    }
    if (!opened) return ERROR_PATH_NOT_FOUND;
    m_fOpen = 1;
    return ERROR_SUCCESS;
}

LONG CRegExt::Open(CRegExt* parent, const char* sub, DWORD mask) {
    return Open(reinterpret_cast<HKEY>(parent), sub, mask);
}

LONG CRegExt::Open(CRegExt parent, const char* sub, DWORD mask) {
    return Open(reinterpret_cast<HKEY>(&parent), sub, mask);
}

LONG CRegExt::OpenW(HKEY root, const wchar_t* sub, DWORD mask) {
    if (sub == nullptr) return Open(root, static_cast<const char*>(nullptr), mask);
    const std::string narrow = qor::platform::WideToNarrow(sub);
    return Open(root, narrow.c_str(), mask);
}

// ---- OpenReadOnly / OpenReadWrite -------------------------------------------

int CRegExt::OpenReadOnly(const char* sub, HKEY parent) { return OpenReadOnlyUnder(*this, sub, parent); }
int CRegExt::OpenReadOnly(const char* sub, const char* parent) { return OpenReadOnlyUnder(*this, sub, parent); }
int CRegExt::OpenReadOnly(const char* sub, CRegExt* parent) { return OpenReadOnlyUnder(*this, sub, parent); }
int CRegExt::OpenReadOnly(const char* sub, CRegExt parent) { return OpenReadOnlyUnder(*this, sub, &parent); }
int CRegExt::OpenReadOnly(int sub, HKEY parent) { return OpenReadOnlyUnder(*this, NumberName(sub).c_str(), parent); }
int CRegExt::OpenReadOnly(int sub, const char* parent) {
    return OpenReadOnlyUnder(*this, NumberName(sub).c_str(), parent);
}
int CRegExt::OpenReadOnly(int sub, CRegExt* parent) {
    return OpenReadOnlyUnder(*this, NumberName(sub).c_str(), parent);
}
int CRegExt::OpenReadOnly(int sub, CRegExt parent) {
    return OpenReadOnlyUnder(*this, NumberName(sub).c_str(), &parent);
}

int CRegExt::OpenReadWrite(const char* sub, HKEY parent) { return OpenReadWriteUnder(*this, sub, parent); }
int CRegExt::OpenReadWrite(const char* sub, const char* parent) { return OpenReadWriteUnder(*this, sub, parent); }
int CRegExt::OpenReadWrite(const char* sub, CRegExt* parent) { return OpenReadWriteUnder(*this, sub, parent); }
int CRegExt::OpenReadWrite(const char* sub, CRegExt parent) { return OpenReadWriteUnder(*this, sub, &parent); }
int CRegExt::OpenReadWrite(int sub, HKEY parent) { return OpenReadWriteUnder(*this, NumberName(sub).c_str(), parent); }
int CRegExt::OpenReadWrite(int sub, const char* parent) {
    return OpenReadWriteUnder(*this, NumberName(sub).c_str(), parent);
}
int CRegExt::OpenReadWrite(int sub, CRegExt* parent) {
    return OpenReadWriteUnder(*this, NumberName(sub).c_str(), parent);
}
int CRegExt::OpenReadWrite(int sub, CRegExt parent) {
    return OpenReadWriteUnder(*this, NumberName(sub).c_str(), &parent);
}

// ---- CreateKey ----------------------------------------------------------------

int CRegExt::CreateKey(const char* sub, HKEY parent, DWORD mask) { return CreateUnder(*this, sub, parent, mask); }
int CRegExt::CreateKey(const char* sub, CRegExt* parent, DWORD mask) { return CreateUnder(*this, sub, parent, mask); }
int CRegExt::CreateKey(const char* sub, CRegExt parent, DWORD mask) { return CreateUnder(*this, sub, &parent, mask); }
int CRegExt::CreateKey(const char* sub, const char* parent, DWORD mask) {
    return CreateUnderText(*this, sub, parent, mask);
}
int CRegExt::CreateKey(int sub, HKEY parent, DWORD mask) {
    return CreateUnder(*this, NumberName(sub).c_str(), parent, mask);
}
int CRegExt::CreateKey(int sub, CRegExt* parent, DWORD mask) {
    return CreateUnder(*this, NumberName(sub).c_str(), parent, mask);
}
int CRegExt::CreateKey(int sub, CRegExt parent, DWORD mask) {
    return CreateUnder(*this, NumberName(sub).c_str(), &parent, mask);
}
int CRegExt::CreateKey(int sub, const char* parent, DWORD mask) {
    return CreateUnderText(*this, NumberName(sub).c_str(), parent, mask);
}

int CRegExt::CreateKey(HKEY parent, DWORD mask) { return ReferToParentKey(*this, parent, mask); }
int CRegExt::CreateKey(CRegExt parent, DWORD mask) { return ReferToParentKey(*this, &parent, mask); }

// ---- Attach, Detach, Close, assignment from a pointer ---------------------------

void CRegExt::Attach(HKEY parent) { AttachTo(*this, parent); }
void CRegExt::Attach(const char* parent) { AttachTo(*this, parent); }
void CRegExt::Attach(CRegExt* parent) { AttachTo(*this, parent); }
void CRegExt::Attach(CRegExt parent) { AttachTo(*this, &parent); }

HKEY CRegExt::Detach() {
    szKey[0] = '\0';
    m_fWrite = 0;
    m_fOpen = 0;
    return reinterpret_cast<HKEY>(this);
}

LONG CRegExt::Close() {
    m_fWrite = 0;
    m_fOpen = 0;
    szKey[0] = '\0';
    if (m_SubKeyList.pHead != nullptr) ClearList(m_SubKeyList);
    return ERROR_SUCCESS;
}

void CRegExt::operator=(CRegExt* other) {
    if (!IsIniExisted()) return;
    const CRegExt* object = LiveObjectAt(other);
    if (object == nullptr || object == this) return;
    m_fWrite = object->m_fWrite;
    m_fOpen = object->m_fOpen;
    std::memcpy(szKey, object->szKey, sizeof(szKey));
}
