// Who owns the process-wide stores, and how one is made and destroyed.
// Each facade keeps one store pointer: the function table's lives here,
// CRegExt's (m_pIni, a member of the public class) is registered here by
// the class facade. A store is created by the first load into a pointer
// and destroyed through DestroyStore, which clears every pointer that
// still holds it, so that a store the facades share leaves none dangling.
#ifndef QOR_CORE_STOREOWNERSHIP_H
#define QOR_CORE_STOREOWNERSHIP_H

#include <string>

#include "CIniClass.h"
#include "CRegExt.h"

namespace qor::core {

// The function table's store; null at start. Unsynchronised: the table
// guards it with its process lock, CRegExt takes no lock.
CIniClass*& TableStore();

// What the table needs of a CRegExt object it is handed: its key text and
// its write flag. False when object is null.
using ClassObjectReader = bool (*)(const CRegExt* object, std::string& key, int& fWrite);

// The class facade hands over the address of its store pointer and its
// object reader once, when the library starts.
void RegisterClassFacade(CIniClass** store, ClassObjectReader reader);
// The class facade's store: null when none, or when no class facade is
// linked in.
CIniClass* ClassStore();
// An object's key text and write flag through the class facade's reader;
// false when object is null or no class facade is linked in.
bool ReadClassObject(const CRegExt* object, std::string& key, int& fWrite);

// Loads the store file at path into store, creating the store when store
// is null; a store created here is deleted again (store null) when the
// load fails. 1 when loaded, else 0.
int LoadInto(CIniClass*& store, const char* path);

// Empties and deletes store, and clears every pointer of either facade
// that holds it. Nothing happens for null.
void DestroyStore(CIniClass* store);

}  // namespace qor::core

#endif
