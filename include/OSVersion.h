/// @file
/// OSVersion: questions about the running Windows system.
#ifndef QOR_OSVERSION_H
#define QOR_OSVERSION_H

#include "QorExport.h"
#include "QorMfc.h"

/// Questions about the running Windows system. A window class in name only:
/// it never creates a window and keeps no state. Outside Windows every
/// answer is 0.
class QOR_API OSVersion : public CWnd {
public:
    /// The type record of OSVersion.
    static CRuntimeClass classOSVersion;
    /// The type record of OSVersion.
    static CRuntimeClass* GetThisClass();
    /// The type record of the base class, CWnd.
    static CRuntimeClass* _GetBaseClass();
    /// An empty map over that of CWnd.
    static const AFX_MSGMAP* GetThisMessageMap();

    /// Keeps no state and stands for no window.
    OSVersion();
    /// Destroys the object.
    ~OSVersion() override;
    /// The type record of OSVersion.
    CRuntimeClass* GetRuntimeClass() const override;
    /// The message map of OSVersion.
    const AFX_MSGMAP* GetMessageMap() const override;

    /// 1 when the system reports version 6.2 on a workstation, else 0
    /// (also when the system gives no version).
    int CheckWin8Version();

    /// 1 when the number that follows the first word of the system's product
    /// name is at least major, else 0 (also when there is no product name).
    /// Minor and service pack are not used.
    int IsWindowsVersionOrGreater(unsigned short major, unsigned short minor, unsigned short servicePackMajor);
};

#endif
