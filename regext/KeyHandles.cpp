// Live-object registry and parent handles of CRegExt.
#include "regext/KeyHandles.h"

#include <mutex>
#include <unordered_set>

#include "util/FixedText.h"
#include "store/IniClassInternal.h"
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

bool StoreHasKey(std::string_view key) {
    return CRegExt::m_pIni != nullptr && store::Internal(*CRegExt::m_pIni).HasKey(store::Upper(key));
}

}  // namespace qor::regext
