#include "OSVersion.h"

#include <cstdint>
#include <string_view>

#include "winhelpers/MessageMaps.h"
#include "winhelpers/OSVersionHost.h"

namespace qor::winhelpers {
namespace {

constexpr unsigned char kWorkstation = 1;

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// C atoi as on 32-bit Windows: leading white space, a sign, then decimal
// digits accumulated modulo 2^32; 0 when there are no digits.
int Atoi32(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsCSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::uint32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10u + static_cast<std::uint32_t>(text[at] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

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
    int number = qor::winhelpers::Atoi32(qor::winhelpers::VersionWord(*name));
    return number >= static_cast<int>(major) ? 1 : 0;
}
