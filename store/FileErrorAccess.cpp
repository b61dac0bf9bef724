// CFileError: the public face of the error the host file calls keep
// (platform/FileError.h).
#include "CFileError.h"

#include "platform/FileError.h"

DWORD CFileError::GetLast() { return qor::platform::LastFileError(); }

CString CFileError::GetLastText() { return CString(qor::platform::FileErrorText(qor::platform::LastFileError())); }

void CFileError::Clear() { qor::platform::ClearFileError(); }
