/// @file
/// Small stand-ins for the Windows class-library bases that the exported
/// window helpers derive from: run-time class records, message maps,
/// CObject, CWnd and CScrollBar. They carry what the helpers and their
/// callers use (type records, message maps, the window handle) and no more.
#ifndef QOR_QORMFC_H
#define QOR_QORMFC_H

#include <cstdint>

#include "QorExport.h"
#include "QorWinTypes.h"

/// The library's own names that appear in public signatures.
namespace qor {
// The parameter and result types of a window message: the Windows ones on
// Windows, integers of the same widths elsewhere.
#if defined(_WIN32)
using MessageParam = WPARAM;
using MessageValue = LPARAM;
using MessageResult = LRESULT;
#else
/// The first parameter of a window message (WPARAM on Windows).
using MessageParam = std::uintptr_t;
/// The second parameter of a window message (LPARAM on Windows).
using MessageValue = std::intptr_t;
/// The result of a window message handler (LRESULT on Windows).
using MessageResult = std::intptr_t;
#endif
}  // namespace qor

class CObject;
class CWnd;

/// Run-time type record of a class. Schema 0xFFFF marks a class that is not
/// serialisable; a null creation function one that cannot be made by name.
struct QOR_API CRuntimeClass {
    /// The class name.
    const char* m_lpszClassName;
    /// sizeof the class.
    int m_nObjectSize;
    /// The serialisation schema; 0xFFFF: not serialisable.
    unsigned int m_wSchema;
    /// Makes an object of the class; null when it cannot be made by name.
    CObject* (*m_pfnCreateObject)();
    /// Gives the record of the base class; null for the root class.
    CRuntimeClass* (*m_pfnGetBaseClass)();

    /// TRUE when this class is base or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#ifndef RUNTIME_CLASS
/// The type record of a class by its name, as the class library spells it.
#  define RUNTIME_CLASS(class_name) (class_name::GetThisClass())
#endif

namespace qor {
/// Calls one message handler of target with the message's two parameters.
using MessageHandler = MessageResult (*)(CWnd* target, MessageParam wParam, MessageValue lParam);
}  // namespace qor

/// One line of a message map. An entry with a null handler ends the list.
struct AFX_MSGMAP_ENTRY {
    /// The window message.
    unsigned int nMessage;
    /// Control code; 0 for window messages.
    unsigned int nCode;
    /// First control identifier; 0 for window messages.
    unsigned int nID;
    /// Last control identifier.
    unsigned int nLastID;
    /// Handler signature, kept for callers that read it.
    std::uintptr_t nSig;
    /// The handler; null ends the map.
    qor::MessageHandler pfn;
};

/// A class's message map: its entries and the map of its base class.
struct AFX_MSGMAP {
    /// The base class's map; null for the root map.
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    /// The entries, ended by one with a null handler.
    const AFX_MSGMAP_ENTRY* lpEntries;
};

/// Root of the class hierarchy: run-time type information only.
class QOR_API CObject {
public:
    /// The type record of CObject.
    static CRuntimeClass classCObject;
    /// The type record of CObject.
    static CRuntimeClass* GetThisClass();

    /// The type record of the object's own class.
    virtual CRuntimeClass* GetRuntimeClass() const;
    /// Destroys the object.
    virtual ~CObject();

    /// TRUE when this object's class is cls or derives from it.
    BOOL IsKindOf(const CRuntimeClass* cls) const;

    /// Not copyable.
    CObject(const CObject&) = delete;
    /// Not assignable.
    CObject& operator=(const CObject&) = delete;

protected:
    /// Only derived classes are made.
    CObject() = default;
};

/// A window object: the window handle it stands for and its message map.
/// It never creates or destroys a window itself.
class QOR_API CWnd : public CObject {
public:
    /// The type record of CWnd.
    static CRuntimeClass classCWnd;
    /// The type record of CWnd.
    static CRuntimeClass* GetThisClass();
    /// The message map of CWnd: the root map, with no entries.
    static const AFX_MSGMAP* GetThisMessageMap();

    /// Stands for no window.
    CWnd();
    /// Leaves the window, if any, alone.
    ~CWnd() override;
    /// The type record of the object's own class.
    CRuntimeClass* GetRuntimeClass() const override;
    /// The message map of the object's own class.
    virtual const AFX_MSGMAP* GetMessageMap() const;

    /// The window handle; null while the object stands for no window.
    HWND GetSafeHwnd() const;

    /// Hands the message to the handler that this object's message map, or
    /// one of its base maps, names for it. FALSE when no map names it.
    BOOL OnWndMsg(unsigned int message, qor::MessageParam wParam, qor::MessageValue lParam,
                  qor::MessageResult* pResult);

    /// The window this object stands for, or null.
    HWND m_hWnd;
};

/// The scroll bar control class; adds nothing to CWnd but its type record.
class QOR_API CScrollBar : public CWnd {
public:
    /// The type record of CScrollBar.
    static CRuntimeClass classCScrollBar;
    /// The type record of CScrollBar.
    static CRuntimeClass* GetThisClass();

    /// Stands for no window.
    CScrollBar();
    /// Leaves the window, if any, alone.
    ~CScrollBar() override;
    /// The type record of the object's own class.
    CRuntimeClass* GetRuntimeClass() const override;
};

#endif
