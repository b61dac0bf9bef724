#include "core/StoreOwnership.h"

namespace qor::core {
namespace {

// Plain pointers with constant initialisation: usable from any static
// constructor or destructor, whatever the order of initialisation.
constinit CIniClass* tableStore = nullptr;
constinit CIniClass** classStore = nullptr;
constinit ClassObjectReader classReader = nullptr;

}  // namespace

CIniClass*& TableStore() { return tableStore; }

void RegisterClassFacade(CIniClass** store, ClassObjectReader reader) {
    classStore = store;
    classReader = reader;
}

CIniClass* ClassStore() { return classStore != nullptr ? *classStore : nullptr; }

bool ReadClassObject(const CRegExt* object, std::string& key, int& fWrite) {
    return object != nullptr && classReader != nullptr && classReader(object, key, fWrite);
}

int LoadInto(CIniClass*& store, const char* path) {
    if (store != nullptr) return store->LoadFile(path) == 1 ? 1 : 0;
    CIniClass* created = new CIniClass();
    store = created;
    if (created->LoadFile(path) == 1) return 1;
    store = nullptr;
    delete created;
    return 0;
}

void DestroyStore(CIniClass* store) {
    if (store == nullptr) return;
    if (tableStore == store) tableStore = nullptr;
    if (classStore != nullptr && *classStore == store) *classStore = nullptr;
    store->RemoveAll();
    delete store;
}

}  // namespace qor::core
