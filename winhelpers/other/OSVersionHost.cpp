// Outside Windows there is neither a version record nor a product name.
#include "winhelpers/OSVersionHost.h"

namespace qor::winhelpers {
namespace {

class AbsentOSVersionHost final : public OSVersionHost {
public:
    std::optional<VersionRecord> ReadVersion() override { return std::nullopt; }
    std::optional<std::string> ReadProductName() override { return std::nullopt; }
};

}  // namespace

template <>
OSVersionHost& DefaultHost<OSVersionHost>() {
    static AbsentOSVersionHost host;
    return host;
}

}  // namespace qor::winhelpers
