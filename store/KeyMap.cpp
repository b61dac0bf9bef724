// The parts of the key map kept out of line: rare paths of searches that
// every typed read inlines.
#include "store/KeyMap.h"

#include "store/ByteScan.h"

namespace qor::store {

KeyMap::const_iterator KeyMap::FindUpperCasedInTree(std::string_view key) const {
    std::string upper(key);
    UpperBytes(upper.data(), upper.data(), upper.size());
    return tree_.find(upper);
}

}  // namespace qor::store
