// Outside Windows there is no control to draw and no window to notify: the
// bar's state lives in CMyScrollBar's own fields. Message names are still
// registered, so that the same name keeps giving the same identifier.
#include "winhelpers/ScrollBarHost.h"

#include <map>
#include <mutex>
#include <string>

namespace qor::winhelpers {
namespace {

// Registered identifiers start where the Windows ones do.
constexpr unsigned int kFirstRegisteredMessage = 0xC000;

std::string UpperAscii(const char* name) {
    std::string text = name != nullptr ? name : "";
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

class WindowlessScrollBarHost final : public ScrollBarHost {
public:
    void SetRange(HWND, int, int) override {}
    void SetThumb(HWND, int) override {}
    int ReadControlId(HWND) override { return 0; }

    // Names compare without regard to case, as registered names do on Windows.
    unsigned int RegisterName(const char* name) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto [entry, added] = registered_.try_emplace(UpperAscii(name), next_);
        if (added) ++next_;
        return entry->second;
    }

    void SendToWindow(HWND, unsigned int, MessageParam, MessageValue) override {}

private:
    std::mutex mutex_;
    std::map<std::string, unsigned int> registered_;
    unsigned int next_ = kFirstRegisteredMessage;
};

}  // namespace

template <>
ScrollBarHost& DefaultHost<ScrollBarHost>() {
    static WindowlessScrollBarHost host;
    return host;
}

}  // namespace qor::winhelpers
