// Type records and message maps of the class-library stand-ins.
#include "QorMfc.h"

#include "winhelpers/MessageMaps.h"

namespace {

const AFX_MSGMAP kWindowMap = {nullptr, qor::winhelpers::kNoMessageEntries};

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, unsigned int message) {
    for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
            if (entry->nMessage == message) return entry;
        }
    }
    return nullptr;
}

}  // namespace

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* cls = this; cls != nullptr;
         cls = cls->m_pfnGetBaseClass ? cls->m_pfnGetBaseClass() : nullptr) {
        if (cls == base) return TRUE;
    }
    return FALSE;
}

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

CRuntimeClass* CObject::GetThisClass() { return &classCObject; }
CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }
CObject::~CObject() = default;

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

CRuntimeClass CWnd::classCWnd = {"CWnd", sizeof(CWnd), 0xFFFF, nullptr, &CObject::GetThisClass};

CRuntimeClass* CWnd::GetThisClass() { return &classCWnd; }
const AFX_MSGMAP* CWnd::GetThisMessageMap() { return &kWindowMap; }

CWnd::CWnd() : m_hWnd(nullptr) {}
CWnd::~CWnd() = default;
CRuntimeClass* CWnd::GetRuntimeClass() const { return &classCWnd; }
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

HWND CWnd::GetSafeHwnd() const { return m_hWnd; }

BOOL CWnd::OnWndMsg(unsigned int message, qor::MessageParam wParam, qor::MessageValue lParam,
                    qor::MessageResult* pResult) {
    const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message);
    if (entry == nullptr) return FALSE;
    qor::MessageResult result = entry->pfn(this, wParam, lParam);
    if (pResult != nullptr) *pResult = result;
    return TRUE;
}

CRuntimeClass CScrollBar::classCScrollBar = {"CScrollBar", sizeof(CScrollBar), 0xFFFF, nullptr, &CWnd::GetThisClass};

CRuntimeClass* CScrollBar::GetThisClass() { return &classCScrollBar; }
CScrollBar::CScrollBar() = default;
CScrollBar::~CScrollBar() = default;
CRuntimeClass* CScrollBar::GetRuntimeClass() const { return &classCScrollBar; }
