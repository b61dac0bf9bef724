#include "OSVersion.h"

#include <cstdint>
#include <string_view>

#include "util/SmallText.h"
#include "winhelpers/MessageMaps.h"
#include "winhelpers/OSVersionHost.h"

namespace qor::winhelpers {
namespace {

constexpr unsigned char kWorkstation = 1;

// The second word of a product name ("Windows 10 Pro" gives "10"): the text
// after the first space up to the next space, empty when no space follows.
std::string_view VersionWord(std::string_view name) {
    std::size_t firstSpace = name.find(' ');
    std::string_view rest = firstSpace == std::string_view::npos ? name : name.substr(firstSpace + 1);
    std::size_t nextSpace = rest.find(' ');
    return nextSpace == std::string_view::npos ? std::string_view() : rest.substr(0, nextSpace);
}

}  // namespace
}  // namespace qor::winhelpers

using qor::winhelpers::ActiveHost;
using qor::winhelpers::OSVersionHost;

namespace {
const AFX_MSGMAP kOSVersionMap = {&CWnd::GetThisMessageMap, qor::winhelpers::kNoMessageEntries};
}  // namespace

CRuntimeClass OSVersion::classOSVersion = {"OSVersion", sizeof(CWnd), 0xFFFF, nullptr, &OSVersion::_GetBaseClass};

CRuntimeClass* OSVersion::GetThisClass() { return &classOSVersion; }
CRuntimeClass* OSVersion::_GetBaseClass() { return RUNTIME_CLASS(CWnd); }
const AFX_MSGMAP* OSVersion::GetThisMessageMap() { return &kOSVersionMap; }

OSVersion::OSVersion() = default;
OSVersion::~OSVersion() = default;
CRuntimeClass* OSVersion::GetRuntimeClass() const { return &classOSVersion; }
const AFX_MSGMAP* OSVersion::GetMessageMap() const { return GetThisMessageMap(); }

int OSVersion::CheckWin8Version() {
    std::optional<qor::winhelpers::VersionRecord> version = ActiveHost<OSVersionHost>().ReadVersion();
    if (!version) return 0;
    return version->major == 6 && version->minor == 2 && version->productType == qor::winhelpers::kWorkstation ? 1 : 0;
}

int OSVersion::IsWindowsVersionOrGreater(unsigned short major, unsigned short, unsigned short) {
    std::optional<std::string> name = ActiveHost<OSVersionHost>().ReadProductName();
    if (!name) return 0;
    int number = qor::ParseAtoi(qor::winhelpers::VersionWord(*name));
    return number >= static_cast<int>(major) ? 1 : 0;
}
