#include "core/StoreOwnership.h"

#include "CIniClass.h"

namespace qor::core {
namespace {

// A plain pointer with constant initialisation: usable from any static
// constructor or destructor, whatever the order of initialisation.
constinit CIniClass* tableStore = nullptr;

}  // namespace

CIniClass*& TableStore() { return tableStore; }

int LoadInto(CIniClass*& store, const char* path) {
    if (store != nullptr) return store->LoadFile(path) == 1 ? 1 : 0;
    CIniClass* created = new CIniClass();
    store = created;
    if (created->LoadFile(path) == 1) return 1;
    store = nullptr;
    delete created;
    return 0;
}

void DestroyStore(CIniClass*& holder) {
    CIniClass* const store = holder;
    if (store == nullptr) return;
    holder = nullptr;
    if (tableStore == store) tableStore = nullptr;
    store->RemoveAll();
    delete store;
}

}  // namespace qor::core
