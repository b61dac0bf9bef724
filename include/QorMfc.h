// Small stand-ins for the Windows class-library bases that the exported
// window helpers derive from: run-time class records, message maps,
// CObject, CWnd and CScrollBar. They carry what the helpers and their
// callers use (type records, message maps, the window handle) and no more.
#ifndef QOR_MFC_H
#define QOR_MFC_H

#include <cstdint>

#include "QorExport.h"
#include "QorWinTypes.h"

namespace qor {
// The parameter and result types of a window message: the Windows ones on
// Windows, integers of the same widths elsewhere.
#if defined(_WIN32)
using MessageParam = WPARAM;
using MessageValue = LPARAM;
using MessageResult = LRESULT;
#else
using MessageParam = std::uintptr_t;
using MessageValue = std::intptr_t;
using MessageResult = std::intptr_t;
#endif
}  // namespace qor

class CObject;
class CWnd;

// Run-time type record of a class. Schema 0xFFFF marks a class that is not
// serialisable; a null creation function one that cannot be made by name.
struct QOR_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned int m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* (*m_pfnGetBaseClass)();  // null for the root class

    // TRUE when this class is base or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#ifndef RUNTIME_CLASS
#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())
#endif

namespace qor {
// Calls one message handler of target with the message's two parameters.
using MessageHandler = MessageResult (*)(CWnd* target, MessageParam wParam, MessageValue lParam);
}  // namespace qor

// One line of a message map. An entry with a null handler ends the list.
struct AFX_MSGMAP_ENTRY {
    unsigned int nMessage;  // the window message
    unsigned int nCode;     // control code; 0 for window messages
    unsigned int nID;       // first control identifier; 0 for window messages
    unsigned int nLastID;   // last control identifier
    std::uintptr_t nSig;    // handler signature, kept for callers that read it
    qor::MessageHandler pfn;
};

// A class's message map: its entries and the map of its base class.
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root map
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Root of the class hierarchy: run-time type information only.
class QOR_API CObject {
public:
    static CRuntimeClass classCObject;
    static CRuntimeClass* GetThisClass();

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();

    // TRUE when this object's class is cls or derives from it.
    BOOL IsKindOf(const CRuntimeClass* cls) const;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};

// A window object: the window handle it stands for and its message map.
// It never creates or destroys a window itself.
class QOR_API CWnd : public CObject {
public:
    static CRuntimeClass classCWnd;
    static CRuntimeClass* GetThisClass();
    static const AFX_MSGMAP* GetThisMessageMap();

    CWnd();
    ~CWnd() override;
    CRuntimeClass* GetRuntimeClass() const override;
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The window handle; null while the object stands for no window.
    HWND GetSafeHwnd() const;

    // Hands the message to the handler that this object's message map, or
    // one of its base maps, names for it. FALSE when no map names it.
    BOOL OnWndMsg(unsigned int message, qor::MessageParam wParam, qor::MessageValue lParam,
                  qor::MessageResult* pResult);

    HWND m_hWnd;
};

// The scroll bar control class; adds nothing to CWnd but its type record.
class QOR_API CScrollBar : public CWnd {
public:
    static CRuntimeClass classCScrollBar;
    static CRuntimeClass* GetThisClass();

    CScrollBar();
    ~CScrollBar() override;
    CRuntimeClass* GetRuntimeClass() const override;
};

#endif
