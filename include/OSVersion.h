// OSVersion: questions about the running Windows system. A window class in
// name only: it never creates a window and keeps no state.
#ifndef QOR_OS_VERSION_H
#define QOR_OS_VERSION_H

#include "QorExport.h"
#include "QorMfc.h"

class QOR_API OSVersion : public CWnd {
public:
    static CRuntimeClass classOSVersion;
    static CRuntimeClass* GetThisClass();
    static CRuntimeClass* _GetBaseClass();
    // An empty map over that of CWnd.
    static const AFX_MSGMAP* GetThisMessageMap();

    OSVersion();
    ~OSVersion() override;
    CRuntimeClass* GetRuntimeClass() const override;
    const AFX_MSGMAP* GetMessageMap() const override;

    // 1 when the system reports version 6.2 on a workstation, else 0
    // (also when the system gives no version).
    int CheckWin8Version();

    // 1 when the number that follows the first word of the system's product
    // name is at least major, else 0 (also when there is no product name).
    // Minor and service pack are not used.
    int IsWindowsVersionOrGreater(unsigned short major, unsigned short minor,
                                  unsigned short servicePackMajor);
};

#endif
