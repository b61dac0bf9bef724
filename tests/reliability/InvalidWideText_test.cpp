// Wide texts that no 8-bit text can stand for (lone surrogates, code
// points past U+10FFFF) make every wide entry point throw an exception
// derived from std::exception, before anything changes.
#include <gtest/gtest.h>

#include <cstring>
#include <exception>
#include <functional>

#include "CRegExt.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\WIDE";

// A lone surrogate; which wide texts have no 8-bit form is the platform's
// conversion rule (platform/PosixPlatform_test).
const wchar_t kBad[] = {L'A', static_cast<wchar_t>(0xD800), L'B', 0};

struct WideCall {
    const char* what;
    std::function<void(CRegExt&, const wchar_t*)> call;
};

const WideCall kCalls[] = {
    {"OpenW", [](CRegExt& o, const wchar_t* w) { o.OpenW(HKEY_CURRENT_USER, w, KEY_ALL_ACCESS); }},
    {"SetStringW value", [](CRegExt& o, const wchar_t* w) { o.SetStringW(w, L"V"); }},
    {"SetStringW name", [](CRegExt& o, const wchar_t* w) { o.SetStringW(L"x", w); }},
    {"GetIntW",
     [](CRegExt& o, const wchar_t* w) {
         int out = 0;
         o.GetIntW(out, w);
     }},
    {"GetDWordW",
     [](CRegExt& o, const wchar_t* w) {
         DWORD out = 0;
         o.GetDWordW(out, w);
     }},
    {"GetStringW name",
     [](CRegExt& o, const wchar_t* w) {
         CStringW out;
         o.GetStringW(out, w, 0);
     }},
    {"GetStringW text in",
     [](CRegExt& o, const wchar_t* w) {
         CStringW out(w);
         o.GetStringW(out, L"V", 0);
     }},
    {"RegCopyW source",
     [](CRegExt& o, const wchar_t* w) {
         o.RegCopyW(HKEY_CURRENT_USER, CStringW(w), HKEY_CURRENT_USER, CStringW(L"SOFTWARE\\COPY"));
     }},
    {"RegCopyW destination", [](CRegExt& o, const wchar_t* w) { o.RegCopyW(kKey, CStringW(L""), kKey, CStringW(w)); }},
    {"LoadW", [](CRegExt&, const wchar_t* w) { CRegExt::LoadW(w); }},
    {"SaveW", [](CRegExt&, const wchar_t* w) { CRegExt::SaveW(w); }},
    {"SetLogPathW", [](CRegExt&, const wchar_t* w) { CRegExt::SetLogPathW(w); }},
};

TEST(InvalidWideText, EveryWideEntryPointThrowsAndChangesNothing) {
    CIniClass store;
    store.SetValue(kKey, "V", "<string>text");
    CRegExt::m_pIni = &store;
    std::strcpy(CRegExt::m_pPath, "log path");
    for (const WideCall& c : kCalls) {
        SCOPED_TRACE(c.what);
        CRegExt object;
        object.Attach(kKey);
        object.m_fWrite = 1;
        const Snapshot before = SnapshotOf(store);
        bool threw = false;
        try {
            c.call(object, kBad);
        } catch (const std::exception&) {
            threw = true;
        }
        EXPECT_TRUE(threw);
        EXPECT_EQ(SnapshotOf(store), before);
        EXPECT_STREQ(object.szKey, kKey);
        EXPECT_EQ(object.m_fWrite, 1);
        EXPECT_EQ(CRegExt::m_pIni, &store);
        EXPECT_STREQ(CRegExt::m_pPath, "log path");
    }
    CRegExt::m_pIni = nullptr;
}

TEST(InvalidWideText, StoredTextThatIsNoUtf8ThrowsFromTheWideGetterAndKeepsItsOutput) {
    CIniClass store;
    store.SetValue(kKey, "BAD", "<string>\xff\xfe");
    CRegExt::m_pIni = &store;
    CRegExt object;
    object.Attach(kKey);
    CStringW out(L"before");
    EXPECT_THROW(object.GetStringW(out, L"BAD", 0), std::exception);
    EXPECT_EQ(out, L"before");
    CRegExt::m_pIni = nullptr;
}

}  // namespace
}  // namespace qor::reliability
