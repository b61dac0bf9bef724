#include <cmath>
#include <cstring>
#include <string>

#include "regext/RegExtTestStore.h"

namespace {

using qor::regexttest::FreshStore;

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\T";

class TypedValuesTest : public FreshStore {
protected:
    void SetUp() override {
        FreshStore::SetUp();
        Store().AddKey(kKey);
        ASSERT_EQ(ERROR_SUCCESS, writer.Open(HKEY_CURRENT_USER, "software\\t", KEY_ALL_ACCESS));
        ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, "software\\t", KEY_READ));
    }
    static void Put(const char* name, const char* text) { Store().SetValue(kKey, name, text); }
    CRegExt writer, reader;
};

struct ParseCase {
    const char* stored;
    int asInt;
    DWORD asDword;
};

TEST_F(TypedValuesTest, IntegerGettersParseWhateverPrefixIsStored) {
    const ParseCase cases[] = {
        {"<dword>-5", -5, 4294967291u},         {"<dword>4294967295", -1, 4294967295u},
        {"<dword>0x10", 0, 16},                 {"<dword>010", 10, 8},
        {"<dword>-1", -1, 4294967295u},         {"<string>12", 12, 12},
        {"<string>abc", 0, 0},                  {"<dword>1.500000", 1, 1},
        {"<dword> +7z", 7, 7},                  {"<dword>99999999999", 1215752191, 4294967295u},
        {"<hex>0a", 0, 0},                      {"<DWORD>3", 0, 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.stored);
        Put("V", c.stored);
        int i = 12345;
        DWORD d = 12345;
        EXPECT_EQ(1, reader.GetInt(i, "v"));
        EXPECT_EQ(c.asInt, i);
        EXPECT_EQ(1, reader.GetDWord(d, "v"));
        EXPECT_EQ(c.asDword, d);
    }
}

TEST_F(TypedValuesTest, SettersWriteTheirEncodedTextsUnderUpperCaseNames) {
    EXPECT_EQ(1, writer.SetInt(-5, "Gain"));
    EXPECT_EQ("<dword>-5", Stored(kKey, "GAIN"));
    EXPECT_EQ(1, writer.SetDWord(4294967295u, 12));
    EXPECT_EQ("<dword>4294967295", Stored(kKey, "12"));
    EXPECT_EQ(1, writer.SetBool(-1, 3));
    EXPECT_EQ("<dword>4294967295", Stored(kKey, "3"));
    EXPECT_EQ(1, writer.SetBool(-1, "3"));
    EXPECT_EQ("<dword>-1", Stored(kKey, "3"));
    EXPECT_EQ(1, writer.SetString("C:\\Scan \"out\"", -2));
    EXPECT_EQ("<string>C:\\Scan \"out\"", Stored(kKey, "-2"));
    EXPECT_EQ(1, writer.SetStringW(L"gr\u00fc\u00df", L"Wide"));
    CStringW back(L"<dword>old");
    EXPECT_EQ(1, reader.GetStringW(back, L"wide", 0));
    EXPECT_STREQ(L"gr\u00fc\u00df", back.GetString());
}

TEST_F(TypedValuesTest, ReadOnlyObjectsWriteNothing) {
    EXPECT_EQ(0, reader.SetInt(1, "A"));
    EXPECT_EQ(0, reader.SetString("x", "A"));
    CArray<int, int> items;
    EXPECT_EQ(0, reader.SetIntArray(items, "A", 0));
    EXPECT_EQ(0, reader.SetBinary(nullptr, 0, "A"));
    EXPECT_EQ("<missing>", Stored(kKey, "A"));
}

struct DefaultCase {
    const char* stored;  // nullptr: missing
    int min, def, max;
    int delivered;
    const char* storedAfterWritable;
};

TEST_F(TypedValuesTest, RangeGettersDeliverTheDefaultAndWriteItBackWhenWritable) {
    const DefaultCase cases[] = {
        {nullptr, 0, 5, 10, 5, "<dword>5"},          {"<dword>11", 0, 5, 10, 5, "<dword>5"},
        {"<dword>-1", 0, 5, 10, 5, "<dword>5"},      {"<dword>0", 0, 5, 10, 0, "<dword>0"},
        {"<dword>10", 0, 5, 10, 10, "<dword>10"},    {"<string>7", 0, 5, 10, 7, "<string>7"},
    };
    for (const DefaultCase& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        Store().RemoveValue(kKey, "R");
        if (c.stored) Put("R", c.stored);
        const std::string before = Stored(kKey, "R");
        int out = -99;
        EXPECT_EQ(1, reader.GetInt(out, c.min, c.def, c.max, "R"));
        EXPECT_EQ(c.delivered, out);
        EXPECT_EQ(before, Stored(kKey, "R"));
        out = -99;
        EXPECT_EQ(1, writer.GetInt(out, c.min, c.def, c.max, "R"));
        EXPECT_EQ(c.delivered, out);
        EXPECT_EQ(c.storedAfterWritable, Stored(kKey, "R"));
    }
}

TEST_F(TypedValuesTest, DwordRangeComparesUnsignedAndFloatDefaultsUseSixDecimals) {
    Put("D", "<dword>-1");
    DWORD d = 0;
    EXPECT_EQ(1, writer.GetDWord(d, 1u, 5u, 100u, "D"));
    EXPECT_EQ(5u, d);
    EXPECT_EQ("<dword>5", Stored(kKey, "D"));
    float f = 0;
    EXPECT_EQ(1, writer.GetFloat(&f, 0.5f, "F"));
    EXPECT_EQ("<dword>0.500000", Stored(kKey, "F"));
    EXPECT_EQ(1, reader.GetFloat(&f, "F"));
    EXPECT_FLOAT_EQ(0.5f, f);
    EXPECT_EQ(1, reader.GetDWord(d, "F"));
    EXPECT_EQ(0u, d);
    Put("F", "<dword>abc");
    f = 9;
    EXPECT_EQ(0, reader.GetFloat(&f, "F"));
    EXPECT_EQ(9, f);
    EXPECT_EQ(1, writer.GetFloat(&f, 1.0f, 2.0f, 3.0f, "F"));
    EXPECT_EQ("<dword>2.000000", Stored(kKey, "F"));
    Put("F", "<dword>7.25");
    EXPECT_EQ(1, reader.GetFloat(&f, NAN, 2.0f, NAN, "F"));
    EXPECT_EQ(7.25f, f);
}

TEST_F(TypedValuesTest, WritesToAnEmptyKeyTextFail) {
    CRegExt reg;
    reg.m_fWrite = 1;
    EXPECT_EQ(0, reg.SetInt(1, "A"));
    int out = 0;
    EXPECT_EQ(0, reg.GetInt(out, 4, "A"));
    EXPECT_EQ(4, out);
    EXPECT_EQ(0, Store().KeyExists(""));
    CIniClass* store = CRegExt::m_pIni;
    CRegExt::m_pIni = nullptr;
    EXPECT_EQ(0, writer.GetInt(out, 6, "A"));
    EXPECT_EQ(1, reader.GetInt(out, 7, "A"));
    EXPECT_EQ(7, out);
    CRegExt::m_pIni = store;
}

TEST_F(TypedValuesTest, StringIntoBufferHonoursANonZeroSize) {
    Put("S", "<string>hello");
    char buffer[8];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(0, reader.GetString(buffer, "S", 5));
    EXPECT_EQ('x', buffer[0]);
    EXPECT_EQ(0, reader.GetString(buffer, "MISSING", 0));
    EXPECT_EQ('x', buffer[0]);
    EXPECT_EQ(1, reader.GetString(buffer, "S", 6));
    EXPECT_STREQ("hello", buffer);
    Put("7", "<dword>5");
    EXPECT_EQ(1, reader.GetString(buffer, 7, 0));
    EXPECT_STREQ("5", buffer);
}

TEST_F(TypedValuesTest, StringIntoCStringKeepsTheCallerTextLessItsPrefixWhenMissing) {
    CString out("<hex>kept");
    EXPECT_EQ(0, reader.GetString(out, "MISSING", 0));
    EXPECT_EQ("kept", out);
    Put("S", "<string>v");
    EXPECT_EQ(1, reader.GetString(out, "s", 0));
    EXPECT_EQ("v", out);
}

TEST_F(TypedValuesTest, ListsAddTheOffsetOnBothSidesAndSkipEmptyPieces) {
    CArray<int, int> items;
    for (int v : {1, 2, -3}) items.Add(v);
    EXPECT_EQ(1, writer.SetIntArray(items, "L", 1));
    EXPECT_EQ("<string>2,3,-2", Stored(kKey, "L"));
    EXPECT_EQ(3, reader.GetIntArray(&items, "L", -1));
    EXPECT_EQ(-3, items[2]);
    Put("L", "<string>1,,3");
    EXPECT_EQ(2, reader.GetIntArray(&items, "L", 0));
    EXPECT_EQ(3, items[1]);
    Put("L", "<string>");
    EXPECT_EQ(0, reader.GetIntArray(&items, "L", 0));
    EXPECT_EQ(0, reader.GetIntArray(&items, "MISSING", 0));
    CDWordArray dwords;
    dwords.Add(4294967295u);
    EXPECT_EQ(1, writer.SetDWordArray(dwords, "D", 2));
    EXPECT_EQ("<string>1", Stored(kKey, "D"));
    EXPECT_EQ(1, reader.GetDWordArray(dwords, "D", 4294967295u));
    EXPECT_EQ(0u, dwords[0]);
    items.RemoveAll();
    EXPECT_EQ(1, writer.SetIntArray(items, "E", 0));
    EXPECT_EQ("<string>", Stored(kKey, "E"));
}

TEST_F(TypedValuesTest, BinaryKeepsEveryLowByteIncludingCC) {
    const std::uint32_t elements[] = {0x0A, 0xCC, 0x1FF};
    BYTE data[sizeof(elements)];
    std::memcpy(data, elements, sizeof(elements));
    EXPECT_EQ(1, writer.SetBinary(data, 3, "B"));
    EXPECT_EQ("<hex>0a,cc,ff", Stored(kKey, "B"));
    BYTE out[4] = {1, 2, 3, 4};
    DWORD count = 77;
    EXPECT_EQ(1, reader.GetBinary(out, &count, "B"));
    EXPECT_EQ(0x0A, out[0]);
    EXPECT_EQ(0xCC, out[1]);
    EXPECT_EQ(0xFF, out[2]);
    EXPECT_EQ(4, out[3]);
    EXPECT_EQ(77u, count);
    Put("B", "<hex>");
    EXPECT_EQ(1, reader.GetBinary(out, &count, "B"));
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(0xCC, out[1]);
}

TEST_F(TypedValuesTest, WideNameFormsConvertAndThrowOnInvalidText) {
    Put("WT", "<dword>0x20");
    int i = 0;
    DWORD d = 0;
    EXPECT_EQ(1, reader.GetIntW(i, L"wt"));
    EXPECT_EQ(1, reader.GetDWordW(d, L"wt"));
    EXPECT_EQ(32u, d);
#ifndef _WIN32
    const wchar_t invalid[] = {static_cast<wchar_t>(0xD800), 0};
    EXPECT_ANY_THROW(reader.GetIntW(i, invalid));
    EXPECT_ANY_THROW(writer.SetStringW(invalid, L"wt"));
    EXPECT_EQ("<dword>0x20", Stored(kKey, "WT"));
#endif
}

}  // namespace
