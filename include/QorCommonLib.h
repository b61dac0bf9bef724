// QorCommonLib: one include gives every exported name of the library.
#ifndef QOR_COMMON_LIB_H
#define QOR_COMMON_LIB_H

#include "QorWinTypes.h"
#include "QorCompat.h"
#include "CIniClass.h"
#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "OSVersion.h"
#include "CMyScrollBar.h"
#include "CSHBrowseDlg.h"

#endif
