#include "regext/SharedStores.h"

namespace qor::facades {

CIniClass*& TableStore() {
    // A plain pointer with constant initialisation: usable from any static
    // constructor or destructor, whatever the order of initialisation.
    static constinit CIniClass* store = nullptr;
    return store;
}

}  // namespace qor::facades
