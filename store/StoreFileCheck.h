// What a save and a load make of one value, for the file check and for the
// readers that take in only what the store file can keep.
#ifndef QOR_STORE_STOREFILECHECK_H
#define QOR_STORE_STOREFILECHECK_H

#include <optional>
#include <string>
#include <string_view>

namespace qor::store {

// The value's text after it is written to a store file and read back, or
// nothing when it does not come back under its name.
std::optional<std::string> AfterSaveAndLoad(std::string_view name, std::string_view stored);

}  // namespace qor::store

#endif
