// CRegExt objects: construction, copying, the process-wide store pointer.
#include <cstring>

#include "CRegExt.h"
#include "core/KeyRules.h"
#include "regext/KeyHandles.h"
#include "util/FixedText.h"

static_assert(sizeof(CRegExt::szKey) == qor::core::kKeyFieldSize, "szKey holds the key paths the core checks");

CIniClass* CRegExt::m_pIni = nullptr;
char CRegExt::m_pSysPath[260] = {};
char CRegExt::m_pPath[260] = {};

CRegExt::CRegExt() : szKey{}, m_fWrite(0), m_fOpen(0), m_SubKeyList{0, nullptr, nullptr, nullptr} {
    qor::regext::RegisterObject(this);
}

CRegExt::CRegExt(const CRegExt& other)
    : m_fWrite(other.m_fWrite), m_fOpen(other.m_fOpen), m_SubKeyList{0, nullptr, nullptr, nullptr} {
    std::memcpy(szKey, other.szKey, sizeof(szKey));
    qor::regext::CopyList(m_SubKeyList, other.m_SubKeyList);
    qor::regext::RegisterObject(this);
}

CRegExt& CRegExt::operator=(const CRegExt& other) {
    if (this == &other) return *this;
    std::memcpy(szKey, other.szKey, sizeof(szKey));
    m_fWrite = other.m_fWrite;
    m_fOpen = other.m_fOpen;
    qor::regext::ClearList(m_SubKeyList);
    qor::regext::CopyList(m_SubKeyList, other.m_SubKeyList);
    return *this;
}

CRegExt::~CRegExt() {
    qor::regext::UnregisterObject(this);
    qor::regext::ClearList(m_SubKeyList);
}

CIniClass* CRegExt::GetObjectA() { return m_pIni; }

void CRegExt::SetObject(CIniClass* p) { m_pIni = p; }

int CRegExt::IsIniExisted() { return m_pIni != nullptr ? 1 : 0; }

int CRegExt::GetIniStruct(CIniClass** pp) {
    if (m_pIni == nullptr || pp == nullptr) return 0;
    *pp = m_pIni;
    return 1;
}

int CRegExt::GetStructWriteble() { return m_fWrite; }
