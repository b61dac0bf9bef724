#include <cstdint>
#include <cstring>

#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\X";

using ValueSlotsTest = TableTest;

TEST_F(ValueSlotsTest, WritesNeedTheWriteRightAndAKeyText) {
    tagRegHandle r = On(kKey, 0), keyless = root;
    keyless.fWrite = 1;
    int i = 0;
    EXPECT_EQ(t->pfnSetInt(&r, 1, "A"), 0);
    EXPECT_EQ(t->pfnSetStringById(&keyless, "x", 1), 0);
    EXPECT_EQ(t->pfnGetIntDefaultById(&keyless, &i, 4, 1), 0);
    EXPECT_EQ(i, 4);
    EXPECT_EQ(testkit::AllKeysOf(*store), std::vector<std::string>{kKey});
}

TEST_F(ValueSlotsTest, CountedArraysAndBytesKeepEveryItem) {
    tagRegHandle h = On(kKey, 1);
    int items[] = {3, 1, 2, 3};
    EXPECT_EQ(t->pfnSetIntArray(&h, items, "L", 1), 1);
    EXPECT_EQ(Stored(kKey, "L"), "<string>2,3,4");
    store->SetValue(kKey, "L", "<string>1,,3");
    int back[4] = {0, 0, 77, 0};
    EXPECT_EQ(t->pfnGetIntArray(&h, back, "L", 0), 1);
    const int expected[] = {3, 1, 77, 3};
    EXPECT_EQ(std::memcmp(back, expected, sizeof back), 0);
    std::uint32_t elements[] = {0x0A, 0xCC, 0x1FF};
    EXPECT_EQ(t->pfnSetBinary(&h, reinterpret_cast<BYTE*>(elements), 3, "B"), 1);
    EXPECT_EQ(Stored(kKey, "B"), "<hex>0a,cc,ff");
}

}  // namespace
}  // namespace qor::table
