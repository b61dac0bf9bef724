#include <cstdint>
#include <cstring>
#include <string>

#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

using KeySlotsTest = TableTest;

TEST_F(KeySlotsTest, OpenTrimsBackslashesAtBothEndsAndUpperCases) {
    store->AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE");
    for (const char* sub : {"HKEY_LOCAL_MACHINE\\SOFTWARE", "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\\\", "hkey_local_machine\\Software"}) {
        tagRegHandle h;
        EXPECT_EQ(t->pfnOpenReadOnly(sub, &h, &root), 1) << sub;
        EXPECT_STREQ(h.szKey, "HKEY_LOCAL_MACHINE\\SOFTWARE") << sub;
        EXPECT_EQ(h.pIni, store);
        EXPECT_EQ(h.fWrite, 0);
        EXPECT_EQ(t->pfnOpenReadWrite(sub, &h, &root), 1) << sub;
        EXPECT_EQ(h.fWrite, 1);
    }
}

TEST_F(KeySlotsTest, EmptySubKeyOpensTheParentItselfAndOutMayBeTheParent) {
    tagRegHandle h = On("HKEY_CURRENT_USER\\A", 0);
    store->AddKey("HKEY_CURRENT_USER\\A\\B");
    EXPECT_EQ(t->pfnOpenReadWrite("", &h, &h), 1);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\A");
    EXPECT_EQ(t->pfnOpenReadOnly("b", &h, &h), 1);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\A\\B");
}

TEST_F(KeySlotsTest, FailedOpenClearsOutButAStorelessParentLeavesItAlone) {
    tagRegHandle h = On("HKEY_CURRENT_USER\\A");
    EXPECT_EQ(t->pfnOpenReadOnly("MISSING", &h, &h), 0);
    EXPECT_STREQ(h.szKey, "");
    EXPECT_EQ(h.pIni, nullptr);
    EXPECT_EQ(h.fWrite, 0);

    tagRegHandle kept = On("HKEY_CURRENT_USER\\A");
    tagRegHandle storeless;
    t->pfnInitHandle(&storeless);
    EXPECT_EQ(t->pfnOpenReadWrite("HKEY_CURRENT_USER\\A", &kept, &storeless), 0);
    EXPECT_STREQ(kept.szKey, "HKEY_CURRENT_USER\\A");
    EXPECT_EQ(kept.pIni, store);
}

TEST_F(KeySlotsTest, CreateKeyWritesWhenAnyWriteBitIsSetAndAddsOnlyRealPaths) {
    struct Case { DWORD access; int fWrite; };
    for (const Case c : {Case{KEY_READ, 1}, Case{KEY_WRITE, 1}, Case{0x2, 1}, Case{0x1, 0}}) {
        tagRegHandle h;
        EXPECT_EQ(t->pfnCreateKey("HKEY_CURRENT_USER\\New", &h, &root, c.access), 1);
        EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\NEW");
        EXPECT_EQ(h.fWrite, c.fWrite) << std::hex << c.access;
    }
    EXPECT_EQ(root.fWrite, 0);

    tagRegHandle h;
    EXPECT_EQ(t->pfnCreateKey("\\\\", &h, &root, KEY_WRITE), 0);
    EXPECT_EQ(store->KeyExists(""), 0);
    const std::string tooLong = "HKEY_CURRENT_USER\\" + std::string(1030, 'K');
    EXPECT_EQ(t->pfnCreateKey(tooLong.c_str(), &h, &root, KEY_WRITE), 0);
    EXPECT_EQ(store->KeyExists(tooLong.c_str()), 0);
    EXPECT_EQ(h.pIni, nullptr);
}

TEST_F(KeySlotsTest, OpenWithPredefinedRootUsesTheTableStoreAndNeverCreates) {
    store->AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\X");
    struct Case { DWORD access; int fWrite; };
    for (const Case c : {Case{KEY_READ, 0}, Case{KEY_WRITE, 1}, Case{KEY_ALL_ACCESS, 1}}) {
        tagRegHandle h;
        t->pfnInitHandle(&h);
        EXPECT_EQ(t->pfnOpen(HKEY_LOCAL_MACHINE, "software\\x\\", c.access, &h), ERROR_SUCCESS);
        EXPECT_STREQ(h.szKey, "HKEY_LOCAL_MACHINE\\SOFTWARE\\X");
        EXPECT_EQ(h.pIni, store);
        EXPECT_EQ(h.fWrite, c.fWrite);
    }
    tagRegHandle h = On("HKEY_CURRENT_USER\\KEEP", 0);
    EXPECT_EQ(t->pfnOpen(HKEY_CURRENT_USER, "MISSING", KEY_WRITE, &h), ERROR_PATH_NOT_FOUND);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\KEEP");
    EXPECT_EQ(h.fWrite, 1);
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\MISSING"), 0);
}

TEST_F(KeySlotsTest, OpenComparesRootsByTheirLow32Bits) {
    store->AddKey("HKEY_CURRENT_USER\\X");
    tagRegHandle h;
    const auto zeroExtended = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
    EXPECT_EQ(t->pfnOpen(zeroExtended, "X", KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\X");
    for (std::uint32_t other : {0x80000000u, 0x80000003u, 0x80000006u}) {
        const auto otherRoot = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(other));
        EXPECT_EQ(t->pfnOpen(otherRoot, "X", KEY_READ, &h), ERROR_PATH_NOT_FOUND);
    }
}

TEST_F(KeySlotsTest, OpenFailsWithoutTableStoreOrForAPathBeyondTheKeyField) {
    tagRegHandle h;
    t->pfnInitHandle(&h);
    const std::string tooLong(1030, 'K');
    store->AddKey(("HKEY_CURRENT_USER\\" + tooLong).c_str());
    EXPECT_EQ(t->pfnOpen(HKEY_CURRENT_USER, tooLong.c_str(), KEY_READ, &h), ERROR_PATH_NOT_FOUND);
    store->AddKey("HKEY_CURRENT_USER\\X");
    t->pfnFreeStore();
    EXPECT_EQ(t->pfnOpen(HKEY_CURRENT_USER, "X", KEY_READ, &h), ERROR_PATH_NOT_FOUND);
}

TEST_F(KeySlotsTest, OpenUnderAParentHandleUsesTheParentsStore) {
    CIniClass own;
    own.AddKey("HKEY_CURRENT_USER\\P\\C");
    tagRegHandle parent;
    t->pfnInitHandle(&parent);
    parent.pIni = &own;
    std::strcpy(parent.szKey, "HKEY_CURRENT_USER\\P");
    tagRegHandle h;
    EXPECT_EQ(t->pfnOpen(reinterpret_cast<HKEY>(&parent), "c", KEY_WRITE, &h), ERROR_SUCCESS);
    EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\P\\C");
    EXPECT_EQ(h.pIni, &own);
    EXPECT_EQ(h.fWrite, 1);
    EXPECT_EQ(t->pfnOpen(reinterpret_cast<HKEY>(&parent), "D", KEY_READ, &h), ERROR_PATH_NOT_FOUND);
}

TEST_F(KeySlotsTest, DeleteKeyNeedsWriteRightAndTakesTheWholeSubtree) {
    for (const char* key : {"HKEY_CURRENT_USER\\A\\B", "HKEY_CURRENT_USER\\A\\B\\C", "HKEY_CURRENT_USER\\A\\BB"}) {
        store->AddKey(key);
    }
    tagRegHandle readOnly = On("HKEY_CURRENT_USER\\A", 0);
    EXPECT_EQ(t->pfnDeleteKeyEx(&readOnly, "B"), 0);
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\A\\B\\C"), 1);

    tagRegHandle h = On("HKEY_CURRENT_USER\\A");
    EXPECT_EQ(t->pfnDeleteKeyEx(&h, "B\\"), 1);
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\A\\B\\C"), 0);
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\A\\BB"), 1);
    EXPECT_EQ(t->pfnDeleteKeyEx(&h, "B"), 0);
    t->pfnDeleteKey(&h, "");
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\A"), 0);
    EXPECT_EQ(store->KeyExists("HKEY_CURRENT_USER\\A\\BB"), 0);
}

TEST_F(KeySlotsTest, DeleteValueNeedsWriteRightAndAKeyText) {
    store->SetValue("HKEY_CURRENT_USER\\A", "V", "<dword>1");
    tagRegHandle readOnly = On("HKEY_CURRENT_USER\\A", 0);
    EXPECT_EQ(t->pfnDeleteValue(&readOnly, "V"), 0);
    tagRegHandle keyless = root;
    keyless.fWrite = 1;
    EXPECT_EQ(t->pfnDeleteValue(&keyless, "V"), 0);
    tagRegHandle h = On("HKEY_CURRENT_USER\\A");
    EXPECT_EQ(t->pfnDeleteValue(&h, "v"), 1);
    EXPECT_EQ(t->pfnDeleteValue(&h, "V"), 0);
}

TEST_F(KeySlotsTest, NullArgumentsFailInsteadOfCrashing) {
    tagRegHandle h = On("HKEY_CURRENT_USER\\A");
    EXPECT_EQ(t->pfnOpenReadOnly(nullptr, &h, &root), 0);
    EXPECT_EQ(t->pfnOpenReadOnly("A", nullptr, &root), 0);
    EXPECT_EQ(t->pfnCreateKey("A", &h, nullptr, KEY_WRITE), 0);
    EXPECT_EQ(t->pfnOpen(HKEY_CURRENT_USER, "A", KEY_READ, nullptr), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(t->pfnOpen(nullptr, "A", KEY_READ, &h), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(t->pfnDeleteKeyEx(nullptr, "A"), 0);
    EXPECT_EQ(t->pfnDeleteValue(&h, nullptr), 0);
    EXPECT_EQ(t->pfnClose(), 0);
}

}  // namespace
}  // namespace qor::table
