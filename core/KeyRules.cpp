#include "core/KeyRules.h"

#include <cstdint>

namespace qor::core {

HandleKind KindOf(const void* handle) {
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
    const std::uint64_t high = value >> 32;
    if (high != 0 && high != 0xFFFFFFFFu) return HandleKind::Address;
    switch (static_cast<std::uint32_t>(value)) {
        case 0x80000001u:
            return HandleKind::CurrentUser;
        case 0x80000002u:
            return HandleKind::LocalMachine;
        case 0x80000000u:
        case 0x80000003u:
        case 0x80000004u:
        case 0x80000005u:
        case 0x80000006u:
            return HandleKind::OtherRoot;
        default:
            return HandleKind::Address;
    }
}

std::string_view RootPrefix(HandleKind kind) {
    switch (kind) {
        case HandleKind::CurrentUser:
            return "HKEY_CURRENT_USER\\";
        case HandleKind::LocalMachine:
            return "HKEY_LOCAL_MACHINE\\";
        default:
            return {};
    }
}

void TrimTrailingBackslashes(std::string& path) {
    const std::size_t end = path.find_last_not_of('\\');
    path.erase(end == std::string::npos ? 0 : end + 1);
}

void TrimBackslashes(std::string& path) {
    TrimTrailingBackslashes(path);
    path.erase(0, path.find_first_not_of('\\'));
}

std::string JoinKeyPath(std::string_view parent, std::string_view sub) {
    std::string path;
    path.reserve(parent.size() + 1 + sub.size());
    path.append(parent).append(1, '\\').append(sub);
    return path;
}

}  // namespace qor::core
