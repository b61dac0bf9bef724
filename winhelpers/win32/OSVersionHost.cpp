// The version record from GetVersionExA and the product name from the
// registry value "ProductName".
#include "winhelpers/OSVersionHost.h"

#include <windows.h>

#include <cstring>

namespace qor::winhelpers {
namespace {

constexpr const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr DWORD kProductNameCapacity = 260;

class Win32OSVersionHost final : public OSVersionHost {
public:
    std::optional<VersionRecord> ReadVersion() override {
        OSVERSIONINFOEXA info;
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return std::nullopt;
        VersionRecord record;
        record.major = info.dwMajorVersion;
        record.minor = info.dwMinorVersion;
        record.productType = info.wProductType;
        return record;
    }

    std::optional<std::string> ReadProductName() override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        char buffer[kProductNameCapacity] = {};
        DWORD size = kProductNameCapacity;
        LONG status = RegQueryValueExA(key, "ProductName", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return std::nullopt;
        // The stored value need not end with a terminator: read no further
        // than the bytes the registry gave.
        std::size_t given = size < kProductNameCapacity ? size : kProductNameCapacity;
        return std::string(buffer, strnlen(buffer, given));
    }
};

}  // namespace

template <>
OSVersionHost& DefaultHost<OSVersionHost>() {
    static Win32OSVersionHost host;
    return host;
}

}  // namespace qor::winhelpers
