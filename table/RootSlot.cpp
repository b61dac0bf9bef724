// pfnGetRegRoot: the store-root search on the table store. The lookup key is
// opened read-only into a handle of its own, each ROOTn value is read into a
// zeroed 260-byte buffer, and the found folder goes to the root path buffer.
#include <string>

#include "core/RootLookup.h"
#include "core/ValueAccess.h"
#include "util/FixedText.h"
#include "table/Slots.h"
#include "table/TableState.h"

namespace qor::table {
namespace {

using core::RootValue;

// A value too long for the buffer is skipped, not taken for the end of the
// ROOTn list, so that both facades walk the same values.
RootValue ReadRootValue(tagRegHandle& lookup, int index, std::string& fragment) {
    const std::string name = "ROOT" + std::to_string(index);
    char buffer[core::kBufferSize] = {};
    if (GetString(&lookup, buffer, name.c_str(), sizeof buffer) == 1) {
        fragment = buffer;
        return fragment.empty() ? RootValue::Missing : RootValue::Usable;
    }
    std::string whole;
    const core::ValueTarget target{lookup.pIni, FixedView(lookup.szKey), false};
    return core::FetchText(target, name, whole) && !whole.empty() ? RootValue::Unusable : RootValue::Missing;
}

}  // namespace

char* GetRegRoot(WORD mode, const char* modulePath, char* keyBuffer) {
    tagRegHandle lookup;
    InitHandle(&lookup);
    const bool opened = Open(HKEY_LOCAL_MACHINE, core::kLookupSubKey, KEY_READ, &lookup) == ERROR_SUCCESS;
    auto readRoot = [&lookup, opened](int index, std::string& fragment) {
        return opened ? ReadRootValue(lookup, index, fragment) : RootValue::Missing;
    };
    return core::FindStoreRoot(mode, modulePath, keyBuffer, readRoot, RootPathBuffer());
}

}  // namespace qor::table
