// pfnGetRegRoot: the store-root search on the table store. The lookup key is
// opened read-only into a handle of its own, each ROOTn value is read into a
// zeroed 260-byte buffer, and the found folder goes to the root path buffer.
#include <string>

#include "regext/RootLookup.h"
#include "table/Slots.h"
#include "table/TableState.h"

namespace qor::table {

char* GetRegRoot(WORD mode, const char* modulePath, char* keyBuffer) {
    tagRegHandle lookup;
    InitHandle(&lookup);
    const bool opened = Open(HKEY_LOCAL_MACHINE, rootlookup::kLookupSubKey, KEY_READ, &lookup) == ERROR_SUCCESS;
    auto readRoot = [&lookup, opened](int index, std::string& fragment) {
        if (!opened) return false;
        char buffer[rootlookup::kBufferSize] = {};
        if (!GetString(&lookup, buffer, ("ROOT" + std::to_string(index)).c_str(), sizeof buffer)) return false;
        fragment = buffer;
        return !fragment.empty();
    };
    return rootlookup::FindStoreRoot(mode, modulePath, keyBuffer, readRoot, RootPathBuffer());
}

}  // namespace qor::table
