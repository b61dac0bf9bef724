// Who owns the process-wide stores, and how one is made and destroyed.
// Each facade keeps one store pointer: the function table's lives here,
// CRegExt's is m_pIni, a public static of the class. A store is created by
// the first load into a pointer and destroyed through DestroyStore, which
// clears the pointer it is given and the table's when it holds the same
// store; the table clears m_pIni itself before it destroys a store, so that
// a store the facades share leaves no pointer dangling.
#ifndef QOR_CORE_STOREOWNERSHIP_H
#define QOR_CORE_STOREOWNERSHIP_H

class CIniClass;

namespace qor::core {

// The function table's store; null at start. Unsynchronised: the table
// guards it with its process lock, CRegExt takes no lock.
CIniClass*& TableStore();

// Loads the store file at path into store, creating the store when store
// is null; a store created here is deleted again (store null) when the
// load fails. 1 when loaded, else 0.
int LoadInto(CIniClass*& store, const char* path);

// Empties and deletes the store holder points at, and clears holder and,
// when it holds the same store, the table's pointer. Nothing happens for null.
void DestroyStore(CIniClass*& holder);

}  // namespace qor::core

#endif
