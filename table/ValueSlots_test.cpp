#include <cstdint>
#include <cstring>
#include <functional>

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
    DWORD dwords[] = {2, 4294967295u, 7}, dwordsBack[3] = {};
    EXPECT_EQ(t->pfnSetDWordArray(&h, dwords, "DL", 1), 1);
    EXPECT_EQ(Stored(kKey, "DL"), "<string>0,8");
    EXPECT_EQ(t->pfnGetDWordArray(&h, dwordsBack, "DL", 0), 1);
    EXPECT_EQ(dwordsBack[0] * 100 + dwordsBack[2], 208u);
}

// Negative ids too; otherwise each acts as its named slot.
TEST_F(ValueSlotsTest, ByIdSlotsNameTheValueByTheIdInDecimal) {
    tagRegHandle h = On(kKey, 1);
    int i = 0;
    DWORD d = 0;
    float f = 0;
    char text[8] = "";
    const std::tuple<const char*, std::function<int()>, const char*, const char*> cases[] = {
        {"SetIntById", [&] { return t->pfnSetIntById(&h, -5, 7); }, "7", "<dword>-5"},
        {"SetBoolById", [&] { return t->pfnSetBoolById(&h, 1, -2); }, "-2", "<dword>1"},
        {"SetDWordById", [&] { return t->pfnSetDWordById(&h, 4294967295u, 8); }, "8", "<dword>4294967295"},
        {"SetStringById", [&] { return t->pfnSetStringById(&h, "s", 9); }, "9", "<string>s"},
        {"GetIntDefaultById", [&] { return t->pfnGetIntDefaultById(&h, &i, 3, 10); }, "10", "<dword>3"},
        {"GetBoolDefaultById", [&] { return t->pfnGetBoolDefaultById(&h, &i, 1, 11); }, "11", "<dword>1"},
        {"GetIntRangeById", [&] { return t->pfnGetIntRangeById(&h, &i, 0, 4, 9, 12); }, "12", "<dword>4"},
        {"GetDWordDefaultById", [&] { return t->pfnGetDWordDefaultById(&h, &d, 5, 13); }, "13", "<dword>5"},
        {"GetDWordRangeById", [&] { return t->pfnGetDWordRangeById(&h, &d, 0, 6, 9, 14); }, "14", "<dword>6"},
        {"GetFloatDefaultById", [&] { return t->pfnGetFloatDefaultById(&h, &f, 0.5f, 15); }, "15", "<dword>0.500000"},
        {"GetFloatRangeById", [&] { return t->pfnGetFloatRangeById(&h, &f, 0, 1, 2, 16); }, "16", "<dword>1.000000"},
        // Found within the range: kept, whatever the default.
        {"GetIntRangeById, found", [&] { return t->pfnGetIntRangeById(&h, &i, 0, 3, 9, 12); }, "12", "<dword>4"},
        {"GetDWordRangeById, found", [&] { return t->pfnGetDWordRangeById(&h, &d, 0, 5, 9, 14); }, "14", "<dword>6"},
        {"GetFloatRangeById, found", [&] { return t->pfnGetFloatRangeById(&h, &f, 0, 2, 2, 16); }, "16",
         "<dword>1.000000"},
    };
    for (const auto& [slot, call, name, stored] : cases) {
        EXPECT_EQ(call(), 1) << slot;
        EXPECT_EQ(Stored(kKey, name), stored) << slot;
    }
    EXPECT_EQ(t->pfnGetIntById(&h, &i, 7), 1);
    EXPECT_EQ(i, -5);
    EXPECT_EQ(t->pfnGetBoolById(&h, &i, -2), 1);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(t->pfnGetDWordById(&h, &d, 8), 1);
    EXPECT_EQ(d, 4294967295u);
    EXPECT_EQ(t->pfnGetFloatById(&h, &f, 15), 1);
    EXPECT_EQ(f, 0.5f);
    EXPECT_EQ(t->pfnGetStringById(&h, text, 9, sizeof text), 1);
    EXPECT_STREQ(text, "s");
    EXPECT_EQ(t->pfnGetIntById(&h, &i, 70), 0);
}

}  // namespace
}  // namespace qor::table
