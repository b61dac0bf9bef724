// The function table's store pointer, kept beside CRegExt::m_pIni so that
// whichever facade destroys a store they share can clear both pointers.
#ifndef QOR_REGEXT_SHARED_STORES_H
#define QOR_REGEXT_SHARED_STORES_H

#include "CIniClass.h"

namespace qor::facades {

// The function table's process-wide store; null at start. Unsynchronised:
// the table guards it with its process lock, CRegExt takes no lock.
CIniClass*& TableStore();

}  // namespace qor::facades

#endif
