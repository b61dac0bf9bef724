// Wide texts of any code units, through the text conversion and every wide
// member of CRegExt. A conversion fails exactly when the text holds an
// invalid code point, and then the member throws a std::exception and
// changes nothing (store, object, log path). A converted text comes back.
#include <cstring>
#include <exception>
#include <string>

#include "CRegExt.h"
#include "FuzzSupport.h"
#include "platform/Platform.h"

namespace {

using qor::fuzz::Check;

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\WIDE";

bool HoldsInvalidCodePoint(const std::wstring& text) {
    for (const wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return true;
    }
    return false;
}

void ConversionRoundTrips(const std::wstring& wide, const std::string& bytes) {
    bool converted = true;
    try {
        const std::string narrow = qor::platform::WideToNarrow(wide.c_str());
        Check(qor::platform::NarrowToWide(narrow) == wide, "a converted wide text does not come back");
    } catch (const std::exception&) {
        converted = false;
    }
    Check(converted != HoldsInvalidCodePoint(wide), "conversion failed on a valid text or passed an invalid one");

    try {
        const std::wstring back = qor::platform::NarrowToWide(bytes);
        Check(qor::platform::WideToNarrow(back.c_str()) == bytes.c_str(), "converted 8-bit text does not come back");
    } catch (const std::exception&) {
    }
}

struct State {
    qor::fuzz::Snapshot store;
    std::string key, path;
    int write, open;
    bool operator==(const State&) const = default;
};

State StateOf(CIniClass& store, const CRegExt& object) {
    return State{qor::fuzz::SnapshotOf(store), object.szKey, CRegExt::m_pPath, object.m_fWrite, object.m_fOpen};
}

// Runs a wide member; when it throws, nothing may have changed.
template <typename Call>
void Run(CIniClass& store, CRegExt& object, bool mustThrow, Call call) {
    const State before = StateOf(store, object);
    bool threw = false;
    try {
        call();
    } catch (const std::exception&) {
        threw = true;
    }
    if (mustThrow) Check(threw, "an invalid wide text was accepted");
    if (threw) Check(StateOf(store, object) == before, "a failed conversion changed something");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring wide(size / sizeof(wchar_t), L'\0');
    if (!wide.empty()) std::memcpy(wide.data(), data, wide.size() * sizeof(wchar_t));
    wide = wide.c_str();  // the members take NUL-terminated texts
    ConversionRoundTrips(wide, std::string(reinterpret_cast<const char*>(data), size));

    const bool invalid = HoldsInvalidCodePoint(wide);
    const wchar_t* w = wide.c_str();
    CIniClass store;
    store.SetValue(kKey, "V", "<string>text");
    store.AddKey("HKEY_CURRENT_USER\\SOFTWARE\\WIDE\\SUB");
    CRegExt::m_pIni = &store;
    CRegExt object;
    object.Attach(kKey);
    object.m_fWrite = 1;
    int number = 0;
    DWORD dword = 0;
    CStringW out;

    Run(store, object, invalid, [&] { object.OpenW(HKEY_CURRENT_USER, w, KEY_ALL_ACCESS); });
    object.Attach(kKey);
    object.m_fWrite = 1;
    Run(store, object, invalid, [&] { object.SetStringW(w, L"V"); });
    Run(store, object, invalid, [&] { object.SetStringW(L"x", w); });
    Run(store, object, invalid, [&] { object.GetIntW(number, w); });
    Run(store, object, invalid, [&] { object.GetDWordW(dword, w); });
    Run(store, object, invalid, [&] { object.GetStringW(out, w, 0); });
    Run(store, object, invalid, [&] { object.GetStringW(out = w, L"V", 0); });
    Run(store, object, invalid,
        [&] { object.RegCopyW(HKEY_CURRENT_USER, CStringW(L"SOFTWARE\\WIDE"), HKEY_CURRENT_USER, CStringW(w)); });
    Run(store, object, invalid, [&] { object.RegCopyW(kKey, CStringW(w), kKey, CStringW(L"COPY")); });
    if (invalid) {
        // Only paths that cannot convert: a valid one could name any file.
        Run(store, object, true, [&] { CRegExt::LoadW(w); });
        Run(store, object, true, [&] { CRegExt::SaveW(w); });
        Run(store, object, true, [&] { CRegExt::SetLogPathW(w); });
    }
    CRegExt::m_pIni = nullptr;
    return 0;
}
