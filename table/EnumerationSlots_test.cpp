#include <cstring>
#include <string>

#include "regext/StoreRootTestTree.h"
#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

class EnumerationSlotsTest : public TableTest {
protected:
    LONG Query(tagRegHandle* h, DWORD* count, DWORD* longest) {
        return t->pfnRegQueryInfoKeyA(h, nullptr, nullptr, nullptr, count, longest, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr);
    }
    std::string Enum(DWORD index) {
        char name[64];
        std::memset(name, '#', sizeof name);
        EXPECT_EQ(t->pfnRegEnumKeyExA(nullptr, index, name, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
        return name;
    }
};

TEST_F(EnumerationSlotsTest, QueryListsDirectSubKeysSortedForEnumeration) {
    for (const char* key : {"HKEY_CURRENT_USER\\SOFTWARE\\X\\D", "HKEY_CURRENT_USER\\SOFTWARE\\X\\B\\C",
                            "HKEY_CURRENT_USER\\SOFTWARE\\X\\B"}) {
        store->AddKey(key);
    }
    tagRegHandle h = On("HKEY_CURRENT_USER\\SOFTWARE\\X");
    DWORD count = 0, longest = 0;
    EXPECT_EQ(Query(&h, &count, &longest), ERROR_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(longest, 1u);
    EXPECT_EQ(Enum(0), "B");
    EXPECT_EQ(Enum(1), "D");
    EXPECT_EQ(Enum(2), "");
}

TEST_F(EnumerationSlotsTest, FailedQueryEmptiesTheListAndLeavesCountsAlone) {
    store->AddKey("HKEY_CURRENT_USER\\A\\SUB");
    store->SetValue("HKEY_CURRENT_USER\\LEAF", "V", "<dword>1");
    tagRegHandle a = On("HKEY_CURRENT_USER\\A");
    ASSERT_EQ(Query(&a, nullptr, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(Enum(0), "SUB");

    tagRegHandle leaf = On("HKEY_CURRENT_USER\\LEAF");
    DWORD count = 77, longest = 77;
    EXPECT_EQ(Query(&leaf, &count, &longest), ERROR_INVALID_DATA);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(Enum(0), "");

    tagRegHandle missing = a;
    std::strcpy(missing.szKey, "HKEY_CURRENT_USER\\NOWHERE");
    EXPECT_EQ(Query(&missing, &count, &longest), ERROR_PATH_NOT_FOUND);
    missing.pIni = nullptr;
    EXPECT_EQ(Query(&a, &count, &longest), ERROR_SUCCESS);
    EXPECT_EQ(Query(&missing, &count, &longest), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Enum(0), "");
}

TEST_F(EnumerationSlotsTest, EachQueryReplacesTheListWhicheverHandleEnumerates) {
    store->AddKey("HKEY_CURRENT_USER\\A\\ONE");
    store->AddKey("HKEY_CURRENT_USER\\B\\TWO");
    tagRegHandle a = On("HKEY_CURRENT_USER\\A");
    tagRegHandle b = On("HKEY_CURRENT_USER\\B");
    ASSERT_EQ(Query(&a, nullptr, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(Query(&b, nullptr, nullptr), ERROR_SUCCESS);
    char name[8];
    EXPECT_EQ(t->pfnRegEnumKeyExA(&a, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "TWO");
}

TEST_F(EnumerationSlotsTest, SubKeyNumbersAreReadInTextOrderAndLeaveTheListAlone) {
    for (const char* key : {"HKEY_CURRENT_USER\\N\\1", "HKEY_CURRENT_USER\\N\\2", "HKEY_CURRENT_USER\\N\\10",
                            "HKEY_CURRENT_USER\\M\\ONLY"}) {
        store->AddKey(key);
    }
    tagRegHandle m = On("HKEY_CURRENT_USER\\M");
    ASSERT_EQ(Query(&m, nullptr, nullptr), ERROR_SUCCESS);
    tagRegHandle n = On("HKEY_CURRENT_USER\\N");
    DWORD count = 0, longest = 0, values[3] = {};
    EXPECT_EQ(t->pfnGetSubKeyNumbers(&n, &count, &longest, values), ERROR_SUCCESS);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(longest, 2u);
    EXPECT_EQ(values[0], 1u);
    EXPECT_EQ(values[1], 10u);
    EXPECT_EQ(values[2], 2u);
    EXPECT_EQ(Enum(0), "ONLY");
    tagRegHandle leaf = On("HKEY_CURRENT_USER\\N\\1");
    EXPECT_EQ(t->pfnGetSubKeyNumbers(&leaf, &count, &longest, values), ERROR_INVALID_DATA);
}

class RootSlotTest : public TableTest {
protected:
    qor::testtree::AppDataTree tree;
};

TEST_F(RootSlotTest, FindsTheRootInTheTableStoreAndFillsTheRootBuffer) {
    qor::testtree::AddRootValue(*store, 1, "\\Vendor");
    tree.AddProduct("\\Vendor", "Twain", "Twain Pathname", "C:\\P\\ds.ds");
    std::strcpy(CRegExt::m_pSysPath, "untouched");
    char key[260] = {};
    EXPECT_EQ(t->pfnGetRegRoot(1, "c:\\p\\DS.DS", key), key);
    EXPECT_STREQ(key, "SOFTWARE\\Vendor\\Twain");
    EXPECT_EQ(qor::testtree::Slashed(t->pfnGetRegRootBuffer(nullptr)), tree.Path() + "/Vendor/Twain/");
    EXPECT_STREQ(CRegExt::m_pSysPath, "untouched");
}

TEST_F(RootSlotTest, RootValueBeyondItsBufferOrNoTableStoreIsNotFound) {
    qor::testtree::AddRootValue(*store, 1, "\\" + std::string(300, 'R'));
    char key[260] = {};
    EXPECT_STREQ(t->pfnGetRegRoot(0, "C:\\P\\app.exe", key), "Software\\Company\\Error");
    t->pfnFreeStore();
    std::strcpy(key, "x");
    EXPECT_STREQ(t->pfnGetRegRoot(0, "C:\\P\\app.exe", key), "Software\\Company\\Error");
}

}  // namespace
}  // namespace qor::table
