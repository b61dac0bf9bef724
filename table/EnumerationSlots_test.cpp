#include <string>

#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

class EnumerationSlotsTest : public TableTest {
protected:
    LONG Query(tagRegHandle* h, DWORD* count, DWORD* longest) {
        return t->pfnRegQueryInfoKeyA(h, nullptr, nullptr, nullptr, count, longest, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr);
    }
    std::string Name(DWORD index) {
        char name[16] = "#";
        t->pfnRegEnumKeyExA(nullptr, index, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        return name;
    }
};

TEST_F(EnumerationSlotsTest, EachQueryReplacesTheOneListAndAFailedQueryEmptiesIt) {
    for (const char* key : {"HKEY_CURRENT_USER\\A\\D", "HKEY_CURRENT_USER\\A\\B\\C", "HKEY_CURRENT_USER\\N\\10",
                            "HKEY_CURRENT_USER\\N\\2", "HKEY_CURRENT_USER\\N\\1"}) {
        store->AddKey(key);
    }
    tagRegHandle a = On("HKEY_CURRENT_USER\\A", 0), n = On("HKEY_CURRENT_USER\\N", 0);
    DWORD count = 0, longest = 0, values[3] = {};
    EXPECT_EQ(Query(&a, &count, &longest), ERROR_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(longest, 1u);
    EXPECT_EQ(t->pfnGetSubKeyNumbers(&n, &count, &longest, values), ERROR_SUCCESS);
    EXPECT_EQ(values[0] * 10000 + values[1] * 10 + values[2], 10102u);  // 1, 10, 2
    EXPECT_EQ(Name(0) + Name(1) + Name(2), "BD");                       // the numbers left A's list alone
    EXPECT_EQ(Query(&n, &count, &longest), ERROR_SUCCESS);
    EXPECT_EQ(Name(0), "1");
    tagRegHandle leaf = On("HKEY_CURRENT_USER\\N\\1", 0);
    EXPECT_EQ(Query(&leaf, &count, &longest), ERROR_INVALID_DATA);
    EXPECT_EQ(Name(0), "");
    EXPECT_EQ(Query(&root, &count, &longest), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(t->pfnClose(), ERROR_SUCCESS);
}

}  // namespace
}  // namespace qor::table
