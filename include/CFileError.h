/// @file
/// CFileError: why the library's last file call failed, in the system's words.
#ifndef QOR_CFILEERROR_H
#define QOR_CFILEERROR_H

#include "QorExport.h"
#include "QorCompat.h"

/// The system's error of the calling thread's last failing file call made by
/// the library: errno on POSIX hosts, GetLastError on Windows.
///
/// `CIniClass::LoadFile`, `SaveFile`, `ExportFile`, the regedit file calls
/// and the store file lock answer only 1 or 0. After a 0, GetLast tells the
/// system's reason of the file call that failed inside, and GetLastText
/// words it as the system does ("Permission denied", "No space left on
/// device"). The error is kept per thread until another file call fails or
/// Clear is called; a call that fails for a reason of its own (a text the
/// code page cannot hold, a file that is not a store) keeps none, so clear
/// it before the call whose reason is wanted:
///
///     CFileError::Clear();
///     if (store.SaveFile("root.ini", "") != 1 && CFileError::GetLast() != 0)
///         report(CFileError::GetLastText());
class QOR_API CFileError {
public:
    /// The kept error code; 0 when no file call failed since the last Clear.
    static DWORD GetLast();
    /// The system's words for the kept error, without a line end; empty for 0.
    static CString GetLastText();
    /// Forgets the kept error of the calling thread.
    static void Clear();
};

#endif
