#include <cmath>
#include <cstdint>
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

TEST_F(TypedValuesTest, IntegerGettersParseWhateverPrefixIsStored) {
    struct Case {
        const char* stored;
        int asInt;
        DWORD asDword;
    };
    const Case cases[] = {
        {"<dword>-5", -5, 4294967291u}, {"<dword>4294967295", -1, 4294967295u},
        {"<dword>0x10", 0, 16},         {"<dword>010", 10, 8},
        {"<string>12", 12, 12},         {"<string>abc", 0, 0},
        {"<dword>1.500000", 1, 1},      {"<DWORD>3", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Put("V", c.stored);
        int i = 12345;
        DWORD d = 12345;
        EXPECT_EQ(1, reader.GetInt(i, "v"));
        EXPECT_EQ(c.asInt, i);
        EXPECT_EQ(1, reader.GetDWord(d, "v"));
        EXPECT_EQ(c.asDword, d);
    }
    EXPECT_EQ(1, writer.SetBool(-1, 3));
    EXPECT_EQ("<dword>4294967295", Stored(kKey, "3"));
}

TEST_F(TypedValuesTest, RangeGettersDeliverTheDefaultAndWriteItBackWhenWritable) {
    struct Case {
        const char* stored;  // nullptr: missing
        int delivered;
        const char* afterWritable;
    };
    const Case cases[] = {{nullptr, 5, "<dword>5"},
                          {"<dword>11", 5, "<dword>5"},
                          {"<dword>-1", 5, "<dword>5"},
                          {"<dword>0", 0, "<dword>0"},
                          {"<dword>10", 10, "<dword>10"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        Store().RemoveValue(kKey, "R");
        if (c.stored) Put("R", c.stored);
        const std::string before = Stored(kKey, "R");
        int out = -99;
        EXPECT_EQ(1, reader.GetInt(out, 0, 5, 10, "R"));
        EXPECT_EQ(c.delivered, out);
        EXPECT_EQ(before, Stored(kKey, "R"));
        EXPECT_EQ(1, writer.GetInt(out, 0, 5, 10, "R"));
        EXPECT_EQ(c.afterWritable, Stored(kKey, "R"));
    }
}

TEST_F(TypedValuesTest, FloatDefaultsUseSixDecimalsAndUnreadableFloatsCountAsMissing) {
    float f = 0;
    EXPECT_EQ(1, writer.GetFloat(&f, 0.5f, "F"));
    EXPECT_EQ("<dword>0.500000", Stored(kKey, "F"));
    Put("F", "<dword>abc");
    EXPECT_EQ(0, reader.GetFloat(&f, "F"));
    EXPECT_EQ(0.5f, f);
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
}

TEST_F(TypedValuesTest, StringGettersHonourANonZeroSizeAndKeepTheCallerTextWhenMissing) {
    Put("S", "<string>hello");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(0, reader.GetString(buffer, "S", 5));
    EXPECT_STREQ("xxxxxxx", buffer);
    EXPECT_EQ(1, reader.GetString(buffer, "S", 6));
    EXPECT_STREQ("hello", buffer);
    CString out("<hex>kept");
    EXPECT_EQ(0, reader.GetString(out, "MISSING", 0));
    EXPECT_EQ("kept", out);
    EXPECT_EQ(1, writer.SetStringW(L"gr\u00fc\u00df", L"Wide"));
    CStringW wide(L"old");
    EXPECT_EQ(1, reader.GetStringW(wide, L"wide", 0));
    EXPECT_STREQ(L"gr\u00fc\u00df", wide.GetString());
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
    EXPECT_EQ((std::vector<int>{0x0A, 0xCC, 0xFF, 4}), std::vector<int>(out, out + 4));
    EXPECT_EQ(77u, count);
}

}  // namespace
