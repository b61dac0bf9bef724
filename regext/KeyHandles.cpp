// Live-object registry, handle values and key path helpers of CRegExt.
#include "regext/KeyHandles.h"

#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "store/FixedText.h"
#include "store/KeyStore.h"
#include "store/ValueText.h"

namespace qor::regext {

namespace {

struct LiveObjects {
    std::mutex mutex;
    std::unordered_set<const void*> addresses;
};

// Never destroyed: objects with static storage in any module may still
// construct or destroy CRegExt objects while the process shuts down.
LiveObjects& Live() {
    static LiveObjects* live = new LiveObjects;
    return *live;
}

}  // namespace

void RegisterObject(const CRegExt* object) {
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> hold(live.mutex);
    live.addresses.insert(object);
}

void UnregisterObject(const CRegExt* object) {
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> hold(live.mutex);
    live.addresses.erase(object);
}

const CRegExt* LiveObjectAt(const void* address) {
    if (address == nullptr) return nullptr;
    LiveObjects& live = Live();
    std::lock_guard<std::mutex> hold(live.mutex);
    return live.addresses.count(address) ? static_cast<const CRegExt*>(address) : nullptr;
}

HandleKind KindOf(const void* handle) {
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
    const std::uint64_t high = value >> 32;
    if (high != 0 && high != 0xFFFFFFFFu) return HandleKind::Address;
    switch (static_cast<std::uint32_t>(value)) {
        case 0x80000001u: return HandleKind::CurrentUser;
        case 0x80000002u: return HandleKind::LocalMachine;
        case 0x80000000u:
        case 0x80000003u:
        case 0x80000004u:
        case 0x80000005u:
        case 0x80000006u: return HandleKind::OtherRoot;
        default: return HandleKind::Address;
    }
}

std::string_view RootPrefix(HandleKind kind) {
    switch (kind) {
        case HandleKind::CurrentUser: return "HKEY_CURRENT_USER\\";
        case HandleKind::LocalMachine: return "HKEY_LOCAL_MACHINE\\";
        default: return {};
    }
}

std::optional<std::string> ParentPath(const void* handle, TextRule rule) {
    if (handle == nullptr || KindOf(handle) != HandleKind::Address) return std::nullopt;
    if (const CRegExt* object = LiveObjectAt(handle)) {
        if (object->m_fOpen != 1) return std::nullopt;
        return std::string(FixedView(object->szKey));
    }
    if (rule == TextRule::None) return std::nullopt;
    std::string text(static_cast<const char*>(handle));
    if (text.empty()) return std::nullopt;
    if (rule == TextRule::ExistingKey && !StoreHasKey(text)) return std::nullopt;
    return text;
}

void TrimTrailingBackslashes(std::string& path) {
    std::size_t end = path.find_last_not_of('\\');
    path.erase(end == std::string::npos ? 0 : end + 1);
}

std::string JoinKeyPath(std::string_view parent, std::string_view sub) {
    std::string path;
    path.reserve(parent.size() + 1 + sub.size());
    path.append(parent).append(1, '\\').append(sub);
    return path;
}

bool StoreHasKey(std::string_view key) {
    return CRegExt::m_pIni != nullptr && CRegExt::m_pIni->Internal().HasKey(store::Upper(key));
}

access::ValueTarget TargetOf(const CRegExt& object) {
    return access::ValueTarget{CRegExt::m_pIni, FixedView(object.szKey), object.m_fWrite == 1};
}

}  // namespace qor::regext
