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

struct MaskCase {
    DWORD mask;
    int openWrites;
    int createWrites;
};

TEST_F(OpeningTest, OpenNeedsEveryWriteBitWhileCreateKeyNeedsAny) {
    const MaskCase cases[] = {
        {KEY_READ, 0, 1},       {KEY_WRITE, 1, 1}, {KEY_ALL_ACCESS, 1, 1}, {0x20004, 0, 1},
        {0x2, 0, 1},            {0x19, 0, 0},      {0, 0, 0},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.mask);
        CRegExt reg;
        ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, "software\\x\\", c.mask));
        EXPECT_STREQ(kX, reg.szKey);
        EXPECT_EQ(c.openWrites, reg.m_fWrite);
        CRegExt created;
        ASSERT_EQ(1, created.CreateKey("NEW", &reg, c.mask));
        EXPECT_EQ(c.createWrites, created.m_fWrite);
    }
}

TEST_F(OpeningTest, FailedOpenUnderRootClosesButKeepsKeyAndWriteFlag) {
    CRegExt reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(HKEY_CURRENT_USER, "SOFTWARE", KEY_READ));
    EXPECT_EQ(0, reg.m_fOpen);
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_STREQ(kSoftware, reg.szKey);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(HKEY_CURRENT_USER, "", KEY_READ));
    Store().AddKey("HKEY_CURRENT_USER");
    EXPECT_EQ(ERROR_SUCCESS, reg.Open(HKEY_CURRENT_USER, nullptr, KEY_READ));
    EXPECT_STREQ("HKEY_CURRENT_USER", reg.szKey);
}

TEST_F(OpeningTest, OtherPredefinedRootsAndMissingStoreFailWithPathNotFound) {
    CRegExt reg;
    ASSERT_EQ(1, reg.OpenReadOnly("X", kSoftware));
    for (std::uint32_t root : {0x80000000u, 0x80000003u, 0x80000006u}) {
        const auto handle = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(root)));
        EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(handle, "SOFTWARE", KEY_READ));
        EXPECT_EQ(1, reg.m_fOpen);
    }
    CIniClass* store = CRegExt::m_pIni;
    CRegExt::m_pIni = nullptr;
    EXPECT_EQ(0, reg.CreateKey("Y", &reg, KEY_WRITE));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ));
    CRegExt::m_pIni = store;
    EXPECT_EQ(0, Store().KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Y"));
}

struct ParentCase {
    const char* form;
    std::function<int(CRegExt& reg, CRegExt& openParent, CRegExt& closedParent)> open;
    int expected;
};

TEST_F(OpeningTest, OpenReadOnlyJudgesEveryParentFormByTheParentRule) {
    static const char text[] = "HKEY_LOCAL_MACHINE\\SOFTWARE";
    static const char missingText[] = "HKEY_LOCAL_MACHINE\\NOWHERE";
    const ParentCase cases[] = {
        {"object as HKEY", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("x", AsHandle(&p)); }, 1},
        {"object pointer", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("x", &p); }, 1},
        {"object by value", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("x", CRegExt(p)); }, 1},
        {"text", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", text); }, 1},
        {"text as HKEY", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", AsHandle(text)); }, 1},
        {"text as object pointer",
         [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", reinterpret_cast<CRegExt*>(const_cast<char*>(text))); }, 1},
        {"closed object", [](CRegExt& r, CRegExt&, CRegExt& c) { return r.OpenReadOnly("x", &c); }, 0},
        {"closed object by value", [](CRegExt& r, CRegExt&, CRegExt& c) { return r.OpenReadOnly("x", c); }, 0},
        {"text naming no key", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", missingText); }, 0},
        {"empty text", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", ""); }, 0},
        {"null", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("x", static_cast<const char*>(nullptr)); }, 0},
        {"root value", [](CRegExt& r, CRegExt&, CRegExt&) { return r.OpenReadOnly("SOFTWARE", HKEY_LOCAL_MACHINE); }, 0},
        {"trailing backslash", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenReadOnly("X\\", &p); }, 0},
        {"full path whatever the parent",
         [](CRegExt& r, CRegExt&, CRegExt& c) { return r.OpenReadOnly("hkey_local_machine\\software\\x", &c); }, 1},
        {"via Open", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.Open(&p, "x", KEY_READ) == 0 ? 1 : 0; }, 1},
        {"via Open by value", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.Open(p, "x", KEY_READ) == 0 ? 1 : 0; }, 1},
        {"via OpenW", [](CRegExt& r, CRegExt& p, CRegExt&) { return r.OpenW(AsHandle(&p), L"x", KEY_READ) == 0 ? 1 : 0; }, 1},
    };
    for (const ParentCase& c : cases) {
        SCOPED_TRACE(c.form);
        CRegExt parent, closed, reg;
        ASSERT_EQ(1, parent.OpenReadOnly(kSoftware, kSoftware));
        reg.m_fWrite = 7;
        EXPECT_EQ(c.expected, c.open(reg, parent, closed));
        EXPECT_STREQ(c.expected ? kX : "", reg.szKey);
        EXPECT_EQ(c.expected ? 0 : 7, reg.m_fWrite);
        EXPECT_EQ(c.expected, reg.m_fOpen);
    }
}

TEST_F(OpeningTest, OpenReadWriteGrantsWriteEvenWhenTheKeyIsMissing) {
    CRegExt reg;
    EXPECT_EQ(0, reg.OpenReadWrite("MISSING", kSoftware));
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_EQ(0, reg.m_fOpen);
    EXPECT_EQ(1, reg.OpenReadWrite("X", kSoftware));
    EXPECT_EQ(1, reg.m_fWrite);
}

TEST_F(OpeningTest, NumberSubKeysAreFormattedAsSignedDecimal) {
    AddKeys({"HKEY_LOCAL_MACHINE\\SOFTWARE\\7", "HKEY_LOCAL_MACHINE\\SOFTWARE\\-1"});
    CRegExt reg;
    EXPECT_EQ(1, reg.OpenReadOnly(7, kSoftware));
    EXPECT_STREQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\7", reg.szKey);
    EXPECT_EQ(1, reg.OpenReadWrite(-1, kSoftware));
    EXPECT_STREQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\-1", reg.szKey);
}

class CountingOpen : public CRegExt {
public:
    LONG Open(HKEY root, const char* sub, DWORD mask) override {
        ++calls;
        return CRegExt::Open(root, sub, mask);
    }
    using CRegExt::Open;
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
    CRegExt parent, reg;
    ASSERT_EQ(ERROR_SUCCESS, parent.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ));
    EXPECT_EQ(1, reg.CreateKey("a\\b", parent, KEY_READ));
    EXPECT_STREQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B", reg.szKey);
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_EQ(0, Store().KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\A"));
    CRegExt fromText;
    EXPECT_EQ(1, fromText.CreateKey(5, "hkey_current_user\\new", KEY_WRITE));
    EXPECT_STREQ("HKEY_CURRENT_USER\\NEW\\5", fromText.szKey);
}

TEST_F(OpeningTest, CreateKeyWithoutAParentKeyPathAddsNothing) {
    const std::function<int(CRegExt&, CRegExt&)> forms[] = {
        [](CRegExt& r, CRegExt& closed) { return r.CreateKey("SUB", &closed, KEY_WRITE); },
        [](CRegExt& r, CRegExt& closed) { return r.CreateKey("SUB", closed, KEY_WRITE); },
        [](CRegExt& r, CRegExt& closed) { return r.CreateKey("SUB", AsHandle(&closed), KEY_WRITE); },
        [](CRegExt& r, CRegExt&) { return r.CreateKey("SUB", "", KEY_WRITE); },
        [](CRegExt& r, CRegExt&) { return r.CreateKey("SUB", static_cast<const char*>(nullptr), KEY_WRITE); },
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

TEST_F(OpeningTest, CreateKeyOnTheParentItselfCreatesNothing) {
    CRegExt parent, reg;
    ASSERT_EQ(1, parent.OpenReadOnly("x", kSoftware));
    EXPECT_EQ(1, reg.CreateKey(AsHandle(&parent), KEY_READ));
    EXPECT_STREQ(kX, reg.szKey);
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_EQ(1, reg.m_fOpen);
    parent.Attach("hkey_local_machine\\gone");
    EXPECT_EQ(0, reg.CreateKey(parent, KEY_READ));
    EXPECT_STREQ("hkey_local_machine\\gone", reg.szKey);
}

TEST_F(OpeningTest, KeyPathsThatDoNotFitAreRefusedWithoutChange) {
    const std::string longSub(1040 - sizeof("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\") + 1, 'L');
    const std::string longKey = std::string(kX) + "\\" + longSub;
    ASSERT_EQ(1040u, longKey.size());
    Store().AddKey(longKey.c_str());
    CRegExt reg;
    ASSERT_EQ(1, reg.OpenReadOnly("X", kSoftware));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, reg.Open(HKEY_LOCAL_MACHINE, ("SOFTWARE\\X\\" + longSub).c_str(), KEY_WRITE));
    EXPECT_EQ(0, reg.OpenReadWrite(longKey.c_str(), kSoftware));
    EXPECT_EQ(0, reg.CreateKey((longSub + "Z").c_str(), kX, KEY_WRITE));
    EXPECT_EQ(0, reg.CreateKey("Z", longKey.c_str(), KEY_WRITE));
    reg.Attach(longKey.c_str());
    EXPECT_STREQ(kX, reg.szKey);
    EXPECT_EQ(1, reg.m_fOpen);
    EXPECT_EQ(0, reg.m_fWrite);
    EXPECT_EQ(0, Store().KeyExists((longKey + "Z").c_str()));
}

TEST_F(OpeningTest, AttachTakesAnOpenObjectOrTextAndIgnoresAClosedObject) {
    CRegExt source, closed, reg;
    ASSERT_EQ(ERROR_SUCCESS, source.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", KEY_WRITE));
    reg.Attach(&source);
    EXPECT_STREQ(kX, reg.szKey);
    EXPECT_EQ(1, reg.m_fWrite);
    reg.Attach(closed);
    EXPECT_STREQ(kX, reg.szKey);
    reg.m_fWrite = 0;
    reg.Attach("hkey_current_user\\any");
    EXPECT_STREQ("hkey_current_user\\any", reg.szKey);
    EXPECT_EQ(0, reg.m_fWrite);
    EXPECT_EQ(1, reg.m_fOpen);
    EXPECT_EQ(reinterpret_cast<HKEY>(&reg), reg.Detach());
    EXPECT_STREQ("", reg.szKey);
    EXPECT_EQ(0, reg.m_fOpen);
}

TEST_F(OpeningTest, AssignmentFromAPointerNeedsAStore) {
    CRegExt source, reg;
    ASSERT_EQ(1, source.OpenReadWrite("X", kSoftware));
    CIniClass* store = CRegExt::m_pIni;
    CRegExt::m_pIni = nullptr;
    reg = &source;
    EXPECT_STREQ("", reg.szKey);
    CRegExt::m_pIni = store;
    reg = &source;
    EXPECT_STREQ(kX, reg.szKey);
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_EQ(1, reg.m_fOpen);
}

TEST_F(OpeningTest, CopiesOwnTheirSubKeyNodes) {
    AddKeys({"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\A", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\B"});
    auto original = std::make_unique<CRegExt>();
    DWORD count = 0, longest = 0;
    ASSERT_EQ(0, original->RegQueryInfoKeyA(kX, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                                            nullptr, nullptr, nullptr, nullptr, nullptr));
    CRegExt copy(*original);
    CRegExt assigned;
    assigned = *original;
    EXPECT_NE(original->m_SubKeyList.pHead, copy.m_SubKeyList.pHead);
    original.reset();
    char name[260];
    for (CRegExt* reg : {&copy, &assigned}) {
        reg->RegEnumKeyExA(reg, 1, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_STREQ("B", name);
        EXPECT_EQ(2, reg->m_SubKeyList.nCount);
        EXPECT_EQ(0, reg->Close());
        EXPECT_EQ(nullptr, reg->m_SubKeyList.pHead);
        EXPECT_EQ(0, reg->m_SubKeyList.nCount);
    }
}

}  // namespace
