#include "table/TableState.h"

#include "core/StoreOwnership.h"

namespace qor::table {

CIniClass*& TableStore() { return core::TableStore(); }

platform::ProcessLock*& TableLock() {
    static platform::ProcessLock* lock = nullptr;
    return lock;
}

char* RootPathBuffer() {
    static char buffer[kRootPathSize] = {};
    return buffer;
}

std::vector<std::string>& SubKeyNames() {
    static std::vector<std::string> names;
    return names;
}

}  // namespace qor::table
