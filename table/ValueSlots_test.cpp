#include <cstdint>
#include <cstring>
#include <string>

#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\X";

class ValueSlotsTest : public TableTest {
protected:
    void Put(const char* name, const char* text) { store->SetValue(kKey, name, text); }
    std::string Stored(const char* name) const { return TableTest::Stored(kKey, name); }
};

TEST_F(ValueSlotsTest, PlainGettersParseWhateverPrefixAndLeaveMissingAlone) {
    tagRegHandle h = On(kKey, 0);
    Put("A", "<dword>12abc");
    Put("S", "<string>x");
    Put("BIG", "<dword>4294967295");
    int i = 99;
    EXPECT_EQ(t->pfnGetInt(&h, &i, "a"), 1);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(t->pfnGetInt(&h, &i, "S"), 1);
    EXPECT_EQ(i, 0);
    i = 99;
    EXPECT_EQ(t->pfnGetInt(&h, &i, "MISSING"), 0);
    EXPECT_EQ(i, 99);
    DWORD d = 0;
    EXPECT_EQ(t->pfnGetDWord(&h, &d, "BIG"), 1);
    EXPECT_EQ(d, 4294967295u);
    float f = 2.0f;
    EXPECT_EQ(t->pfnGetFloat(&h, &f, "S"), 0);
    EXPECT_EQ(f, 2.0f);
}

TEST_F(ValueSlotsTest, DefaultIsStoredOnlyThroughAWritableHandle) {
    tagRegHandle w = On(kKey, 1);
    tagRegHandle r = On(kKey, 0);
    int i = 0;
    EXPECT_EQ(t->pfnGetIntDefault(&r, &i, 5, "N"), 0);
    EXPECT_EQ(i, 5);
    EXPECT_EQ(Stored("N"), "(missing)");
    EXPECT_EQ(t->pfnGetIntDefault(&w, &i, 6, "N"), 1);
    EXPECT_EQ(Stored("N"), "<dword>6");
    float f = 0;
    EXPECT_EQ(t->pfnGetFloatDefault(&w, &f, 0.5f, "F"), 1);
    EXPECT_EQ(Stored("F"), "<dword>0.500000");
    DWORD d = 0;
    EXPECT_EQ(t->pfnGetDWordDefault(&w, &d, 4000000000u, "D"), 1);
    EXPECT_EQ(Stored("D"), "<dword>4000000000");
}

TEST_F(ValueSlotsTest, UnreadableFloatGivesZeroWithoutDefault) {
    tagRegHandle w = On(kKey, 1);
    Put("F", "<dword>abc");
    float f = 7.0f;
    EXPECT_EQ(t->pfnGetFloatDefault(&w, &f, 0.5f, "F"), 0);
    EXPECT_EQ(t->pfnGetFloatRange(&w, &f, 0.0f, 0.5f, 1.0f, "F"), 0);
    EXPECT_EQ(f, 7.0f);
    EXPECT_EQ(Stored("F"), "<dword>abc");
}

TEST_F(ValueSlotsTest, RangeKeepsBoundsAndReplacesValuesOutsideThem) {
    tagRegHandle w = On(kKey, 1);
    tagRegHandle r = On(kKey, 0);
    struct Case { const char* stored; int result; int value; const char* after; };
    for (const Case c : {Case{"<dword>1", 1, 1, "<dword>1"}, Case{"<dword>10", 1, 10, "<dword>10"},
                         Case{"<dword>0", 1, 5, "<dword>5"}, Case{"<dword>11", 1, 5, "<dword>5"}}) {
        Put("V", c.stored);
        int i = 0;
        EXPECT_EQ(t->pfnGetIntRange(&w, &i, 1, 5, 10, "V"), c.result) << c.stored;
        EXPECT_EQ(i, c.value) << c.stored;
        EXPECT_EQ(Stored("V"), c.after) << c.stored;
    }
    Put("V", "<dword>-1");
    int i = 0;
    EXPECT_EQ(t->pfnGetIntRange(&r, &i, 1, 5, 10, "V"), 0);
    EXPECT_EQ(i, 5);
    EXPECT_EQ(Stored("V"), "<dword>-1");
    DWORD d = 0;
    EXPECT_EQ(t->pfnGetDWordRange(&w, &d, 0, 3, 10, "V"), 1);  // -1 is 0xFFFFFFFF: out of range
    EXPECT_EQ(d, 3u);
    EXPECT_EQ(Stored("V"), "<dword>3");
}

TEST_F(ValueSlotsTest, SettersNeedWriteRightAndAKeyText) {
    tagRegHandle r = On(kKey, 0);
    EXPECT_EQ(t->pfnSetInt(&r, 1, "A"), 0);
    EXPECT_EQ(t->pfnSetString(&r, "x", "A"), 0);
    EXPECT_EQ(Stored("A"), "(missing)");

    tagRegHandle keyless = root;
    keyless.fWrite = 1;
    int i = 0;
    EXPECT_EQ(t->pfnSetInt(&keyless, 1, "A"), 0);
    EXPECT_EQ(t->pfnGetIntDefault(&keyless, &i, 4, "A"), 0);
    EXPECT_EQ(i, 4);
    EXPECT_EQ(TableTest::Stored("", "A"), "(missing)");

    tagRegHandle w = On(kKey, 1);
    EXPECT_EQ(t->pfnSetDWord(&w, 4294967295u, "D"), 1);
    EXPECT_EQ(Stored("D"), "<dword>4294967295");
    EXPECT_EQ(t->pfnSetInt(&w, -3, "I"), 1);
    EXPECT_EQ(Stored("I"), "<dword>-3");
    EXPECT_EQ(t->pfnSetString(&w, "a\\b", "S"), 1);
    EXPECT_EQ(Stored("S"), "<string>a\\b");
}

TEST_F(ValueSlotsTest, ByIdSlotsUseTheDecimalIdAsName) {
    tagRegHandle w = On(kKey, 1);
    EXPECT_EQ(t->pfnSetIntById(&w, 42, 12), 1);
    EXPECT_EQ(Stored("12"), "<dword>42");
    int i = 0;
    EXPECT_EQ(t->pfnGetIntById(&w, &i, 12), 1);
    EXPECT_EQ(i, 42);
    EXPECT_EQ(t->pfnSetStringById(&w, "txt", -7), 1);
    char buffer[8] = {};
    EXPECT_EQ(t->pfnGetStringById(&w, buffer, -7, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "txt");
}

TEST_F(ValueSlotsTest, GetStringHonoursANonZeroSize) {
    tagRegHandle h = On(kKey, 0);
    Put("S", "<string>abcd");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(t->pfnGetString(&h, buffer, "S", 4), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(t->pfnGetString(&h, buffer, "S", 5), 1);
    EXPECT_STREQ(buffer, "abcd");
    Put("S", "<string>xy");
    EXPECT_EQ(t->pfnGetString(&h, buffer, "S", 0), 1);
    EXPECT_STREQ(buffer, "xy");
}

TEST_F(ValueSlotsTest, CountedArraysRoundTripWithTheirOffsetOnBothSides) {
    tagRegHandle w = On(kKey, 1);
    int items[] = {3, 1, 2, 3};
    EXPECT_EQ(t->pfnSetIntArray(&w, items, "L", 0), 1);
    EXPECT_EQ(Stored("L"), "<string>1,2,3");
    int back[4] = {};
    EXPECT_EQ(t->pfnGetIntArray(&w, back, "L", 0), 1);
    EXPECT_EQ(std::memcmp(back, items, sizeof items), 0);

    DWORD five[] = {1, 5};
    EXPECT_EQ(t->pfnSetDWordArray(&w, five, "D", 1), 1);
    EXPECT_EQ(Stored("D"), "<string>6");
    DWORD read[2] = {};
    EXPECT_EQ(t->pfnGetDWordArray(&w, read, "D", 1), 1);
    EXPECT_EQ(read[1], 7u);

    int none[] = {0};
    EXPECT_EQ(t->pfnSetIntArray(&w, none, "E", 0), 1);
    EXPECT_EQ(Stored("E"), "<string>");
}

TEST_F(ValueSlotsTest, EmptyListItemsCountButLeaveTheirElements) {
    tagRegHandle h = On(kKey, 0);
    Put("L", "<string>1,,3");
    int items[4] = {0, 0, 77, 0};
    EXPECT_EQ(t->pfnGetIntArray(&h, items, "L", 0), 1);
    EXPECT_EQ(items[0], 3);
    EXPECT_EQ(items[1], 1);
    EXPECT_EQ(items[2], 77);
    EXPECT_EQ(items[3], 3);
    Put("E", "<string>");
    int empty[2] = {0, 55};
    EXPECT_EQ(t->pfnGetIntArray(&h, empty, "E", 0), 1);
    EXPECT_EQ(empty[0], 1);
    EXPECT_EQ(empty[1], 55);
    EXPECT_EQ(t->pfnGetIntArray(&h, empty, "MISSING", 0), 0);
}

TEST_F(ValueSlotsTest, BinaryKeepsEveryLowByteAndReadsBytesBack) {
    tagRegHandle w = On(kKey, 1);
    std::uint32_t elements[] = {0x0A, 0xCC, 0x1FF};
    EXPECT_EQ(t->pfnSetBinary(&w, reinterpret_cast<BYTE*>(elements), 3, "B"), 1);
    EXPECT_EQ(Stored("B"), "<hex>0a,cc,ff");
    BYTE bytes[4] = {1, 1, 1, 1};
    DWORD size = 123;
    EXPECT_EQ(t->pfnGetBinary(&w, bytes, &size, "B"), 1);
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0xCC);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_EQ(size, 123u);
    EXPECT_EQ(t->pfnSetBinary(&w, nullptr, 0, "E"), 1);
    EXPECT_EQ(Stored("E"), "<hex>");
}

TEST_F(ValueSlotsTest, HandleWithoutStoreOrArgumentsFailsEverySlot) {
    tagRegHandle none;
    t->pfnInitHandle(&none);
    none.fWrite = 1;
    int i = 0;
    char buffer[4];
    EXPECT_EQ(t->pfnSetInt(&none, 1, "A"), 0);
    EXPECT_EQ(t->pfnGetIntDefault(&none, &i, 1, "A"), 0);
    EXPECT_EQ(t->pfnGetInt(nullptr, &i, "A"), 0);
    EXPECT_EQ(t->pfnGetInt(&root, nullptr, "A"), 0);
    EXPECT_EQ(t->pfnGetString(&root, buffer, nullptr, 4), 0);
    EXPECT_EQ(t->pfnSetIntArray(&root, nullptr, "A", 0), 0);
    EXPECT_EQ(t->pfnSetBinary(&root, nullptr, 2, "A"), 0);
}

}  // namespace
}  // namespace qor::table
