#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "regext/RegExtTestStore.h"

namespace {

using qor::regexttest::FreshStore;

constexpr const char* kSoftware = "HKEY_LOCAL_MACHINE\\SOFTWARE";
constexpr const char* kX = "HKEY_LOCAL_MACHINE\\SOFTWARE\\X";

class OpeningTest : public FreshStore {
protected:
    void SetUp() override {
        FreshStore::SetUp();
        AddKeys({kSoftware, kX});
    }
};

HKEY AsHandle(const void* p) { return reinterpret_cast<HKEY>(const_cast<void*>(p)); }

TEST_F(OpeningTest, FailedOpenUnderARootClosesButKeepsKeyAndWriteFlag) {
    CRegExt reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(HKEY_CURRENT_USER, "", KEY_READ));
    EXPECT_EQ(0, reg.m_fOpen);
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_STREQ(kSoftware, reg.szKey);
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ));
    const auto classesRoot = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000000u)));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(classesRoot, "SOFTWARE", KEY_READ));
    EXPECT_EQ(1, reg.m_fOpen);
}

using ParentCase = std::tuple<const char*, std::function<int(CRegExt& reg, CRegExt& open, CRegExt& closed)>, int>;

TEST_F(OpeningTest, EveryParentFormIsJudgedByTheParentRule) {
    static const char text[] = "HKEY_LOCAL_MACHINE\\SOFTWARE";
    const ParentCase cases[] = {
        {"object as HKEY", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("x", AsHandle(&p)); }, 1},
        {"object by value", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("x", CRegExt(p)); }, 1},
        {"text", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", text); }, 1},
        {"text as HKEY", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", AsHandle(text)); }, 1},
        {"closed object", [](CRegExt& r, CRegExt&, CRegExt& c) { return r.OpenReadOnly("x", &c); }, 0},
        {"text naming no key",
         [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", "HKEY_LOCAL_MACHINE\\NO"); }, 0},
        {"root value", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("SOFTWARE", HKEY_LOCAL_MACHINE); },
         0},
        {"trailing backslash", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("X\\", &p); }, 0},
        {"full path, any parent",
         [](CRegExt& r, CRegExt&, CRegExt& c) { return r.OpenReadOnly("hkey_local_machine\\software\\x", &c); }, 1},
        {"Open by value", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.Open(p, "x", KEY_READ) == 0 ? 1 : 0; }, 1},
    };
    for (const auto& [form, open, expected] : cases) {
        SCOPED_TRACE(form);
        CRegExt parent, closed, reg;
        ASSERT_EQ(1, parent.OpenReadOnly(kSoftware, kSoftware));
        reg.m_fWrite = 7;
        EXPECT_EQ(expected, open(reg, parent, closed));
        EXPECT_STREQ(expected ? kX : "", reg.szKey);
        EXPECT_EQ(expected ? 0 : 7, reg.m_fWrite);
        EXPECT_EQ(expected, reg.m_fOpen);
    }
    CRegExt reg;
    EXPECT_EQ(0, reg.OpenReadWrite("MISSING", kSoftware));
    EXPECT_EQ(1, reg.m_fWrite);
}

// The number-named sub-key forms open `parent\<number>`; the parent-only
// forms refer to the parent's own key; Attach, operator= and Detach take
// over and forget a key.
TEST_F(OpeningTest, NumberNamedSubKeysAndParentOnlyFormsReachTheirKeys) {
    const std::string seven = std::string(kX) + "\\7";
    AddKeys({seven.c_str()});
    CRegExt parent;
    ASSERT_EQ(1, parent.OpenReadOnly("X", kSoftware));
    const std::tuple<const char*, std::function<int(CRegExt & r, CRegExt & p)>, const char*, int> cases[] = {
        {"OpenReadOnly(n, HKEY)", [](CRegExt& r, CRegExt& p) { return r.OpenReadOnly(7, AsHandle(&p)); }, "7", 0},
        {"OpenReadOnly(n, text)", [](CRegExt& r, CRegExt&) { return r.OpenReadOnly(7, kX); }, "7", 0},
        {"OpenReadOnly(n, object)", [](CRegExt& r, CRegExt& p) { return r.OpenReadOnly(7, p); }, "7", 0},
        {"OpenReadOnly(n, pointer)", [](CRegExt& r, CRegExt& p) { return r.OpenReadOnly(7, &p); }, "7", 0},
        {"OpenReadWrite(n, HKEY)", [](CRegExt& r, CRegExt& p) { return r.OpenReadWrite(7, AsHandle(&p)); }, "7", 1},
        {"OpenReadWrite(n, text)", [](CRegExt& r, CRegExt&) { return r.OpenReadWrite(7, kX); }, "7", 1},
        {"OpenReadWrite(n, object)", [](CRegExt& r, CRegExt& p) { return r.OpenReadWrite(7, p); }, "7", 1},
        {"OpenReadWrite(n, pointer)", [](CRegExt& r, CRegExt& p) { return r.OpenReadWrite(7, &p); }, "7", 1},
        {"OpenReadWrite(text, HKEY)", [](CRegExt& r, CRegExt& p) { return r.OpenReadWrite("7", AsHandle(&p)); }, "7",
         1},
        {"OpenReadWrite(text, object)", [](CRegExt& r, CRegExt& p) { return r.OpenReadWrite("7", p); }, "7", 1},
        {"CreateKey(n, HKEY)", [](CRegExt& r, CRegExt& p) { return r.CreateKey(8, AsHandle(&p), KEY_WRITE); }, "8", 1},
        {"CreateKey(n, pointer)", [](CRegExt& r, CRegExt& p) { return r.CreateKey(8, &p, KEY_WRITE); }, "8", 1},
        {"CreateKey(n, object)", [](CRegExt& r, CRegExt& p) { return r.CreateKey(8, p, KEY_READ); }, "8", 1},
        {"CreateKey(HKEY)", [](CRegExt& r, CRegExt& p) { return r.CreateKey(AsHandle(&p), KEY_WRITE); }, "", 1},
        {"CreateKey(object)", [](CRegExt& r, CRegExt& p) { return r.CreateKey(p, 0); }, "", 0},
        {"CreateKey(text, HKEY)", [](CRegExt& r, CRegExt& p) { return r.CreateKey("9", AsHandle(&p), 0); }, "9", 0},
    };
    for (const auto& [form, open, key, writes] : cases) {
        CRegExt reg;
        EXPECT_EQ(1, open(reg, parent)) << form;
        EXPECT_EQ(std::string(kX) + (*key ? std::string("\\") + key : ""), reg.szKey) << form;
        EXPECT_EQ(writes, reg.m_fWrite) << form;
    }
    CRegExt taken, byPointer;
    taken.Attach(AsHandle(&parent));
    EXPECT_STREQ(kX, taken.szKey);
    byPointer.Attach(&parent);
    EXPECT_STREQ(kX, byPointer.szKey);
    taken.Attach(CRegExt(parent));
    taken.m_fWrite = 1;
    CRegExt assigned;
    assigned = &taken;
    EXPECT_STREQ(kX, assigned.szKey);
    EXPECT_EQ(1, assigned.m_fWrite);
    EXPECT_EQ(reinterpret_cast<HKEY>(&assigned), assigned.Detach());
    EXPECT_STREQ("", assigned.szKey);
}

class CountingOpen : public CRegExt {
public:
    using CRegExt::Open;
    LONG Open(HKEY root, const char* sub, DWORD mask) override {
        ++calls;
        return CRegExt::Open(root, sub, mask);
    }
    int calls = 0;
};

TEST_F(OpeningTest, EveryOpenFormGoesThroughTheOverridableHandleForm) {
    CountingOpen reg;
    CRegExt parent;
    ASSERT_EQ(1, parent.OpenReadOnly(kSoftware, kSoftware));
    EXPECT_EQ(ERROR_SUCCESS, reg.Open(&parent, "X", KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, reg.Open(parent, "X", KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, reg.OpenW(HKEY_LOCAL_MACHINE, L"SOFTWARE", KEY_READ));
    EXPECT_EQ(3, reg.calls);
}

TEST_F(OpeningTest, CreateKeyAddsOnlyTheJoinedKey) {
    CRegExt parent, reg, fromText;
    ASSERT_EQ(ERROR_SUCCESS, parent.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ));
    EXPECT_EQ(1, reg.CreateKey("a\\b", parent, KEY_READ));
    EXPECT_STREQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B", reg.szKey);
    EXPECT_EQ(0, Store().KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\A"));
    EXPECT_EQ(1, fromText.CreateKey(5, "hkey_current_user\\new", KEY_WRITE));
    EXPECT_STREQ("HKEY_CURRENT_USER\\NEW\\5", fromText.szKey);
}

TEST_F(OpeningTest, CreateKeyWithoutAParentKeyPathAddsNothing) {
    const std::function<int(CRegExt&, CRegExt&)> forms[] = {
        [](CRegExt& r, CRegExt& closed) { return r.CreateKey("SUB", &closed, KEY_WRITE); },
        [](CRegExt& r, CRegExt& closed) { return r.CreateKey("SUB", closed, KEY_WRITE); },
        [](CRegExt& r, CRegExt&) { return r.CreateKey("SUB", "", KEY_WRITE); },
        [](CRegExt& r, CRegExt&) { return r.CreateKey(3, HKEY_LOCAL_MACHINE, KEY_WRITE); },
        [](CRegExt& r, CRegExt&) { return r.CreateKey("SUB", AsHandle(kSoftware), KEY_WRITE); },
    };
    const std::vector<std::string> before = SortedKeys();
    for (const auto& create : forms) {
        CRegExt reg, closed;
        EXPECT_EQ(0, create(reg, closed));
        EXPECT_EQ(1, reg.m_fWrite);
        EXPECT_EQ(0, reg.m_fOpen);
    }
    EXPECT_EQ(before, SortedKeys());
}

TEST_F(OpeningTest, KeyPathsThatDoNotFitAreRefusedWithoutChange) {
    const std::string longSub(1010, 'L');
    const std::string longKey = std::string(kX) + "\\" + longSub;
    ASSERT_EQ(1040u, longKey.size());
    Store().AddKey(longKey.c_str());
    CRegExt reg;
    ASSERT_EQ(1, reg.OpenReadOnly("X", kSoftware));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(HKEY_LOCAL_MACHINE, ("SOFTWARE\\X\\" + longSub).c_str(), KEY_WRITE));
    EXPECT_EQ(0, reg.OpenReadWrite(longKey.c_str(), kSoftware));
    EXPECT_EQ(0, reg.CreateKey("Z", longKey.c_str(), KEY_WRITE));
    reg.Attach(longKey.c_str());
    EXPECT_STREQ(kX, reg.szKey);
    EXPECT_EQ(1, reg.m_fOpen);
    EXPECT_EQ(0, reg.m_fWrite);
    EXPECT_EQ(0, Store().KeyExists((longKey + "\\Z").c_str()));
}

TEST_F(OpeningTest, CopiesOwnTheirSubKeyNodes) {
    AddKeys({"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\A", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\B"});
    auto original = std::make_unique<CRegExt>();
    DWORD count = 0, longest = 0;
    ASSERT_EQ(0, original->RegQueryInfoKeyA(kX, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr));
    CRegExt copy(*original), assigned;
    assigned = *original;
    original.reset();
    char name[260];
    for (CRegExt* reg : {&copy, &assigned}) {
        reg->RegEnumKeyExA(reg, 1, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_STREQ("B", name);
    }
}

}  // namespace
