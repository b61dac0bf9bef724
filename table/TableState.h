// The function table's process-wide state: its store (shared with CRegExt's
// Delete, so that destroying a shared store clears both pointers), its
// lock, its root path buffer and its sub-key list. Unsynchronised, as the
// table is: callers bracket their work with the table's lock.
#ifndef QOR_TABLE_TABLESTATE_H
#define QOR_TABLE_TABLESTATE_H

#include <string>
#include <vector>

#include "CIniClass.h"
#include "platform/Platform.h"

namespace qor::table {

inline constexpr std::size_t kRootPathSize = 260;

// The table store: null until pfnLoad creates one or pfnAttachRegExt borrows one.
CIniClass*& TableStore();
// The process lock, null until pfnCreateLock.
platform::ProcessLock*& TableLock();
// The 260-byte buffer that pfnGetRegRoot fills and pfnGetRegRootBuffer returns.
char* RootPathBuffer();
// The names of the key queried last by pfnRegQueryInfoKeyA, sorted.
std::vector<std::string>& SubKeyNames();

}  // namespace qor::table

#endif
