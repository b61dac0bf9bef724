#include <cstdint>
#include <string>

#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

using KeySlotsTest = TableTest;

HKEY RootValue(std::uint32_t value) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(value)); }

TEST_F(KeySlotsTest, OpenTrimsBothEndsUpperCasesAndClearsOutOnFailure) {
    store->AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE");
    for (const char* sub : {"HKEY_LOCAL_MACHINE\\SOFTWARE", "\\hkey_local_machine\\Software\\\\"}) {
        tagRegHandle h;
        EXPECT_EQ(t->pfnOpenReadOnly(sub, &h, &root), 1) << sub;
        EXPECT_STREQ(h.szKey, "HKEY_LOCAL_MACHINE\\SOFTWARE");
        EXPECT_EQ(h.fWrite, 0);
        EXPECT_EQ(t->pfnOpenReadWrite("", &h, &h), 1);
        EXPECT_STREQ(h.szKey, "HKEY_LOCAL_MACHINE\\SOFTWARE");
        EXPECT_EQ(h.fWrite, 1);
        EXPECT_EQ(t->pfnOpenReadOnly("MISSING", &h, &h), 0);
        EXPECT_STREQ(h.szKey, "");
        EXPECT_EQ(h.pIni, nullptr);
    }
}

TEST_F(KeySlotsTest, CreateKeyOpensTheFullPathAndAddsNoEmptyKey) {
    tagRegHandle h;
    EXPECT_EQ(t->pfnCreateKey("HKEY_CURRENT_USER\\new", &h, &root, KEY_READ), 1);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\NEW");
    EXPECT_EQ(t->pfnCreateKey("\\\\", &h, &root, KEY_WRITE), 0);
    EXPECT_EQ(testkit::AllKeysOf(*store), std::vector<std::string>{"HKEY_CURRENT_USER\\NEW"});
}

TEST_F(KeySlotsTest, OpenUnderRootsFollowsTheMaskAndNeverCreates) {
    store->AddKey("HKEY_CURRENT_USER\\X");
    const HKEY parent = reinterpret_cast<HKEY>(&root);
    const std::tuple<HKEY, const char*, DWORD, LONG, int> cases[] = {
        {HKEY_CURRENT_USER, "x\\", KEY_READ, 0, 0},
        {RootValue(0x80000001u), "X", KEY_ALL_ACCESS, 0, 1},
        {RootValue(0x80000003u), "X", KEY_WRITE, 3, 1},
        {parent, "HKEY_CURRENT_USER\\X", KEY_WRITE, 0, 1}};
    for (const auto& [under, sub, access, result, fWrite] : cases) {
        tagRegHandle h = root;
        EXPECT_EQ(t->pfnOpen(under, sub, access, &h), result) << sub;
        EXPECT_EQ(h.fWrite, fWrite) << sub;
    }
    tagRegHandle h = On("HKEY_CURRENT_USER\\X", 0);
    EXPECT_EQ(t->pfnOpen(HKEY_LOCAL_MACHINE, "MISSING", KEY_WRITE, &h), ERROR_PATH_NOT_FOUND);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\X");
    EXPECT_EQ(store->KeyExists("HKEY_LOCAL_MACHINE\\MISSING"), 0);
}

TEST_F(KeySlotsTest, DeletesNeedTheWriteRightAndAKeyText) {
    store->AddKey("HKEY_CURRENT_USER\\A\\B");
    store->SetValue("HKEY_CURRENT_USER\\A", "V", "<dword>1");
    tagRegHandle readOnly = On("HKEY_CURRENT_USER\\A", 0);
    tagRegHandle keyless = root;
    keyless.fWrite = 1;
    EXPECT_EQ(t->pfnDeleteKeyEx(&readOnly, ""), 0);
    EXPECT_EQ(t->pfnDeleteValue(&readOnly, "V"), 0);
    EXPECT_EQ(t->pfnDeleteValue(&keyless, "V"), 0);
    tagRegHandle h = On("HKEY_CURRENT_USER\\A", 1);
    EXPECT_EQ(t->pfnDeleteValue(&h, "v"), 1);
    t->pfnDeleteKey(&h, "B");
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\A\\B"), 0);
    EXPECT_EQ(t->pfnDeleteKeyEx(&h, "\\"), 1);
    EXPECT_TRUE(testkit::AllKeysOf(*store).empty());
}

}  // namespace
}  // namespace qor::table
