// Wide texts that no 8-bit text can stand for (and stored texts that are no
// UTF-8) make every wide entry point throw a std::exception before anything
// changes, its outputs included.
#include <gtest/gtest.h>

#include <cstring>
#include <exception>
#include <functional>

#include "CRegExt.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\WIDE";

// A lone surrogate (which texts have no 8-bit form: platform/PosixPlatform_test).
const wchar_t kBad[] = {L'A', static_cast<wchar_t>(0xD800), L'B', 0};

struct Outputs {
    int i = 0;
    DWORD dword = 0;
    CStringW text = L"before";
    bool operator==(const Outputs&) const = default;
};

struct WideCall {
    const char* what;
    std::function<void(CRegExt&, const wchar_t*, Outputs&)> call;
};

const WideCall kCalls[] = {
    {"OpenW", [](CRegExt& o, const wchar_t* w, Outputs&) { o.OpenW(HKEY_CURRENT_USER, w, KEY_ALL_ACCESS); }},
    {"SetStringW value", [](CRegExt& o, const wchar_t* w, Outputs&) { o.SetStringW(w, L"V"); }},
    {"SetStringW name", [](CRegExt& o, const wchar_t* w, Outputs&) { o.SetStringW(L"x", w); }},
    {"GetIntW", [](CRegExt& o, const wchar_t* w, Outputs& out) { o.GetIntW(out.i, w); }},
    {"GetDWordW", [](CRegExt& o, const wchar_t* w, Outputs& out) { o.GetDWordW(out.dword, w); }},
    {"GetStringW name", [](CRegExt& o, const wchar_t* w, Outputs& out) { o.GetStringW(out.text, w, 0); }},
    {"GetStringW text in",
     [](CRegExt& o, const wchar_t* w, Outputs&) {
         CStringW in(w);
         o.GetStringW(in, L"V", 0);
     }},
    // A stored text that is no UTF-8.
    {"GetStringW stored text", [](CRegExt& o, const wchar_t*, Outputs& out) { o.GetStringW(out.text, L"BAD", 0); }},
    {"RegCopyW source",
     [](CRegExt& o, const wchar_t* w, Outputs&) {
         o.RegCopyW(HKEY_CURRENT_USER, CStringW(w), HKEY_CURRENT_USER, CStringW(L"SOFTWARE\\COPY"));
     }},
    {"RegCopyW destination",
     [](CRegExt& o, const wchar_t* w, Outputs&) { o.RegCopyW(kKey, CStringW(L""), kKey, CStringW(w)); }},
    {"LoadW", [](CRegExt&, const wchar_t* w, Outputs&) { CRegExt::LoadW(w); }},
    {"SaveW", [](CRegExt&, const wchar_t* w, Outputs&) { CRegExt::SaveW(w); }},
    {"SetLogPathW", [](CRegExt&, const wchar_t* w, Outputs&) { CRegExt::SetLogPathW(w); }},
};

TEST(InvalidWideText, EveryWideEntryPointThrowsAndChangesNothing) {
    CIniClass store;
    store.SetValue(kKey, "V", "<string>text");
    store.SetValue(kKey, "BAD", "<string>\xff\xfe");
    CRegExt::m_pIni = &store;
    std::strcpy(CRegExt::m_pPath, "log path");
    for (const WideCall& c : kCalls) {
        SCOPED_TRACE(c.what);
        CRegExt object;
        object.Attach(kKey);
        object.m_fWrite = 1;
        const Snapshot before = SnapshotOf(store);
        Outputs outputs;
        bool threw = false;
        try {
            c.call(object, kBad, outputs);
        } catch (const std::exception&) {
            threw = true;
        }
        EXPECT_TRUE(threw);
        EXPECT_EQ(outputs, Outputs()) << "an output was written";
        EXPECT_EQ(SnapshotOf(store), before);
        EXPECT_STREQ(object.szKey, kKey);
        EXPECT_EQ(object.m_fWrite, 1);
        EXPECT_EQ(CRegExt::m_pIni, &store);
        EXPECT_STREQ(CRegExt::m_pPath, "log path");
    }
    CRegExt::m_pIni = nullptr;
}

}  // namespace
}  // namespace qor::reliability
