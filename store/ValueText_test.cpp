#include "store/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace qor::store {
namespace {

TEST(ValueTextTest, RemovePrefixStripsOneExactLowerCasePrefixAtTheStart) {
    struct Case {
        const char* text;
        int code;
        const char* rest;
    } cases[] = {
        {"<dword>123", 2, "123"},       {"<string>abc", 1, "abc"},     {"<hex>01,ff", 3, "01,ff"},
        {"<hex>", 3, ""},               {"x<dword>1", 0, "x<dword>1"}, {"<HEX>01", 0, "<HEX>01"},
        {"<string><dword>7", 1, "<dword>7"}, {"", 0, ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(RemovePrefix(text), c.code) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
        EXPECT_EQ(WithoutPrefix(c.text), c.rest) << c.text;
    }
}

TEST(ValueTextTest, AtoiReadsDecimalModulo32Bits) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"12", 12},
        {" \t\n-5x", -5},
        {"+7", 7},
        {"4294967295", -1},
        {"2147483648", -2147483647 - 1},
        {"99999999999", 1215752191},
        {"- 3", 0},
        {"abc", 0},
        {"", 0},
        {"12 34", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseAtoi(c.text), c.value) << c.text;
}

TEST(ValueTextTest, StrtoulGivesThe32BitResultAndWhatItConsumed) {
    struct Case {
        const char* text;
        int base;
        std::uint32_t value;
        std::size_t consumed;
    } cases[] = {
        {"-1", 10, 4294967295u, 2},
        {"4294967295", 10, 4294967295u, 10},
        {"4294967296", 10, 4294967295u, 10},
        {"-4294967296", 10, 4294967295u, 11},
        {"  12abc", 10, 12, 4},
        {"", 10, 0, 0},
        {"abc", 10, 0, 0},
        {"1.5", 10, 1, 1},
        {"ff", 16, 255, 2},
        {"0x1F", 16, 31, 4},
        {"0x", 16, 0, 0},
        {"0xg", 16, 0, 0},
        {"0", 16, 0, 1},
        {"FFFFFFFF", 16, 4294967295u, 8},
        {"100000000", 16, 4294967295u, 9},
        {"-1f", 16, 4294967265u, 3},
        {"0x10", 0, 16, 4},
        {"010", 0, 8, 3},
        {"08", 0, 0, 1},
        {"10", 0, 10, 2},
        {"-0x1", 0, 4294967295u, 4},
    };
    for (const Case& c : cases) {
        std::size_t consumed = 99;
        EXPECT_EQ(ParseStrtoul(c.text, c.base, &consumed), c.value) << c.text << " base " << c.base;
        EXPECT_EQ(consumed, c.consumed) << c.text << " base " << c.base;
    }
}

TEST(ValueTextTest, FloatReadsTheLeadingDecimalNumberOnly) {
    struct Case {
        const char* text;
        bool converts;
        float value;
    } cases[] = {
        {"1.5", true, 1.5f},     {"  -2.25e1", true, -22.5f}, {".5", true, 0.5f},   {"5.", true, 5.0f},
        {"1e", true, 1.0f},      {"1e+", true, 1.0f},        {"+3x", true, 3.0f},  {"0x1p3", true, 0.0f},
        {"1e-50", true, 0.0f},   {"abc", false, 0},           {"", false, 0},       {"inf", false, 0},
        {"nan", false, 0},       {"-", false, 0},             {".", false, 0},      {"1.500000", true, 1.5f},
    };
    for (const Case& c : cases) {
        float value = 42.0f;
        EXPECT_EQ(ParseFloat(c.text, value), c.converts) << c.text;
        EXPECT_EQ(value, c.converts ? c.value : 42.0f) << c.text;
    }
    float huge = 0;
    ASSERT_TRUE(ParseFloat("-1e39", huge));
    EXPECT_TRUE(std::isinf(huge) && huge < 0);
    float manyDigits = 0;
    ASSERT_TRUE(ParseFloat(std::string(50, '9'), manyDigits));
    EXPECT_TRUE(std::isinf(manyDigits));
}

TEST(ValueTextTest, NumbersEncodeUnderTheDwordPrefix) {
    EXPECT_EQ(EncodeInt(-5), "<dword>-5");
    EXPECT_EQ(EncodeInt(-2147483647 - 1), "<dword>-2147483648");
    EXPECT_EQ(EncodeDword(4294967295u), "<dword>4294967295");
    EXPECT_EQ(EncodeFloat(2.5f), "<dword>2.500000");
    EXPECT_EQ(EncodeFloat(-0.25f), "<dword>-0.250000");
    for (float value : {1.0f / 3.0f, 123456.789f, std::numeric_limits<float>::max(), -1e-7f}) {
        char expected[80];
        std::snprintf(expected, sizeof expected, "<dword>%f", static_cast<double>(value));
        EXPECT_EQ(EncodeFloat(value), expected);
    }
}

TEST(ValueTextTest, ListsEncodeAsCommaSeparatedStringsWithWrappingOffset) {
    const std::int32_t ints[] = {7, 8};
    EXPECT_EQ(EncodeIntList(ints, 2, 0), "<string>7,8");
    EXPECT_EQ(EncodeIntList(ints, 0, 0), "<string>");
    const std::int32_t top[] = {2147483647, -1};
    EXPECT_EQ(EncodeIntList(top, 2, 1), "<string>-2147483648,0");
    const std::uint32_t dwords[] = {1, 2, 3};
    EXPECT_EQ(EncodeDwordList(dwords, 3, 0xFFFFFFFFu), "<string>0,1,2");
    EXPECT_EQ(EncodeDwordList(dwords, 1, 4294967294u), "<string>4294967295");
}

TEST(ValueTextTest, BytesEncodeEveryByteIncludingCC) {
    EXPECT_EQ(EncodeBytes({0x00, 0x10, 0xAB}), "<hex>00,10,ab");
    EXPECT_EQ(EncodeBytes({0x01, 0xCC, 0x02}), "<hex>01,cc,02");
    EXPECT_EQ(EncodeBytes({0xCC, 0xCC, 0xCC}), "<hex>cc,cc,cc");
    EXPECT_EQ(EncodeBytes({}), "<hex>");
    const unsigned char words[] = {0x01, 0, 0, 0, 0xCC, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0, 0};
    EXPECT_EQ(EncodeBytesFrom32(words, 3), "<hex>01,cc,ff");
    EXPECT_EQ(EncodeBytesFrom32(words, 0), "<hex>");
}

TEST(ValueTextTest, ByteListReadsEachPieceAsHexLowByte) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(ParseByteList("0A,ff"), (Bytes{0x0A, 0xFF}));
    EXPECT_EQ(ParseByteList(""), (Bytes{0x00}));
    EXPECT_EQ(ParseByteList("1,,2"), (Bytes{0x01, 0x00, 0x02}));
    EXPECT_EQ(ParseByteList("1ff,zz,cc"), (Bytes{0xFF, 0x00, 0xCC}));
    EXPECT_EQ(ParseByteList(WithoutPrefix(EncodeBytes({0xCC, 0x00, 0x7F}))), (Bytes{0xCC, 0x00, 0x7F}));
}

TEST(ValueTextTest, SplitCutsAtEveryNonOverlappingSeparator) {
    using Pieces = std::vector<std::string_view>;
    struct Case {
        const char* text;
        const char* sep;
        Pieces pieces;
    } cases[] = {
        {"a,b,,c", ",", {"a", "b", "", "c"}},
        {"A = B = C", " = ", {"A", "B", "C"}},
        {"", ",", {""}},
        {"x", ",", {"x"}},
        {",x,", ",", {"", "x", ""}},
        {"aXb", "x", {"aXb"}},
        {"aaa", "aa", {"", "a"}},
        {"abc", "", {"abc"}},
        {"", "", {""}},
    };
    for (const Case& c : cases) {
        Pieces pieces;
        SplitPieces(c.text, c.sep, pieces);
        EXPECT_EQ(pieces, c.pieces) << '"' << c.text << "\" at \"" << c.sep << '"';
    }
}

TEST(ValueTextTest, SplitAppendsToWhatTheListHolds) {
    std::vector<std::string_view> pieces = {"p", "q"};
    SplitPieces("a,b,c", ",", pieces);
    EXPECT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[2], "a");
}

TEST(ValueTextTest, UpperChangesOnlyTheLettersAToZ) {
    EXPECT_EQ(Upper("hkey_current_user\\software\\x"), "HKEY_CURRENT_USER\\SOFTWARE\\X");
    EXPECT_EQ(Upper("az{}`@\xe9\xff"), "AZ{}`@\xe9\xff");
}

}  // namespace
}  // namespace qor::store
