/// @file
/// QorCommonLib: one include gives every exported name of the library.
///
/// @mainpage QorCommonLib API reference
///
/// QorCommonLib keeps the settings of the scanner suite in a registry-style
/// store of its own: keys below `HKEY_LOCAL_MACHINE` and `HKEY_CURRENT_USER`,
/// named values of integer, DWORD, float, string, list and byte types, held
/// in memory (CIniClass) and kept in a REGEDIT4-layout text file, root.ini.
///
/// Two facades reach the same store with the same behaviour:
/// - CRegExt, a key handle class over the process-wide store CRegExt::m_pIni;
/// - UI_GetQorFunctionTable(), a table of 61 plain functions (UI_FunctionTable)
///   over caller-owned handle records (tagRegHandle); QorFunctionTable.h is
///   usable from C99.
///
/// The window helpers OSVersion, CMyScrollBar and CSHBrowseDlg stand apart.
///
/// `#include <QorCommonLib.h>` is the one include a C++ caller needs. The
/// repository's README.md is the tour, docs/architecture.md shows how a call
/// reaches the file, and docs/compatibility.md lists what differs from the
/// library's earlier behaviour.
#ifndef QOR_QORCOMMONLIB_H
#define QOR_QORCOMMONLIB_H

#include "QorWinTypes.h"
#include "QorCompat.h"
#include "CIniClass.h"
#include "CStoreFileLock.h"
#include "CStoreFileCheck.h"
#include "CFileError.h"
#include "CRegeditFile.h"
#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "OSVersion.h"
#include "CMyScrollBar.h"
#include "CSHBrowseDlg.h"

#endif
