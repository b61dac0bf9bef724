#include "store/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace qor::store {
namespace {

TEST(ValueTextTest, RemovePrefixStripsOneExactLowerCasePrefixAtTheStart) {
    const std::pair<const char*, int> cases[] = {
        {"<dword>123", 2}, {"<string><dword>7", 1}, {"<hex>", 3}, {"x<dword>1", 0}, {"<HEX>01", 0}};
    for (const auto& [text, code] : cases) {
        std::string changed = text;
        EXPECT_EQ(RemovePrefix(changed), code) << text;
        EXPECT_EQ(changed, WithoutPrefix(text)) << text;
    }
    EXPECT_EQ(WithoutPrefix("<string><dword>7"), "<dword>7");
    EXPECT_EQ(WithoutPrefix("x<dword>1"), "x<dword>1");
}

TEST(ValueTextTest, AtoiReadsDecimalModulo32Bits) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {" \t\n-5x", -5}, {"+7", 7}, {"4294967295", -1}, {"2147483648", -2147483647 - 1}, {"99999999999", 1215752191},
        {"- 3", 0},       {"", 0}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseAtoi(text), value) << text;
}

TEST(ValueTextTest, StrtoulGivesThe32BitResultAndWhatItConsumed) {
    const std::tuple<const char*, int, std::uint32_t, std::size_t> cases[] = {
        {"-1", 10, 4294967295u, 2},
        {"4294967296", 10, 4294967295u, 10},
        {"-4294967296", 10, 4294967295u, 11},
        {"  12abc", 10, 12, 4},
        {"abc", 10, 0, 0},
        {"0x1F", 16, 31, 4},
        {"0x", 16, 0, 0},
        {"0", 16, 0, 1},
        {"100000000", 16, 4294967295u, 9},
        {"-1f", 16, 4294967265u, 3},
        {"0x10", 0, 16, 4},
        {"010", 0, 8, 3},
        {"08", 0, 0, 1},
        {"-0x1", 0, 4294967295u, 4},
    };
    for (const auto& [text, base, value, used] : cases) {
        std::size_t consumed = 99;
        EXPECT_EQ(ParseStrtoul(text, base, &consumed), value) << text << " base " << base;
        EXPECT_EQ(consumed, used) << text << " base " << base;
    }
}

TEST(ValueTextTest, FloatReadsTheLeadingDecimalNumberOnly) {
    const std::pair<const char*, float> converts[] = {{"  -2.25e1", -22.5f}, {".5", 0.5f},  {"5.", 5.0f},
                                                      {"1e+", 1.0f},         {"+3x", 3.0f}, {"0x1p3", 0.0f},
                                                      {"1e-50", 0.0f}};
    for (const auto& [text, expected] : converts) {
        float value = 42;
        EXPECT_TRUE(ParseFloat(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"", "abc", "inf", "nan", "-", "."}) {
        float value = 42;
        EXPECT_FALSE(ParseFloat(text, value)) << text;
        EXPECT_EQ(value, 42.0f) << text;
    }
    float huge = 0;
    ASSERT_TRUE(ParseFloat("-" + std::string(50, '9'), huge));
    EXPECT_TRUE(std::isinf(huge) && huge < 0);
}

TEST(ValueTextTest, NumbersAndListsEncodeAsTheCFormatsWouldWriteThem) {
    EXPECT_EQ(EncodeInt(-5), "<dword>-5");
    EXPECT_EQ(EncodeDword(4294967295u), "<dword>4294967295");
    for (float value : {2.5f, -1.0f / 3.0f, std::numeric_limits<float>::max(), -1e-7f}) {
        char expected[80];
        std::snprintf(expected, sizeof expected, "<dword>%f", static_cast<double>(value));
        EXPECT_EQ(EncodeFloat(value), expected);
    }
    const std::int32_t ints[] = {2147483647, -1};
    EXPECT_EQ(EncodeIntList(ints, 2, 1), "<string>-2147483648,0");
    EXPECT_EQ(EncodeIntList(ints, 0, 0), "<string>");
    const std::uint32_t dwords[] = {1, 2, 3};
    EXPECT_EQ(EncodeDwordList(dwords, 3, 0xFFFFFFFFu), "<string>0,1,2");
}

TEST(ValueTextTest, BytesKeepEveryValueIncludingCC) {
    EXPECT_EQ(EncodeBytes({0x00, 0xCC, 0xAB}), "<hex>00,cc,ab");
    EXPECT_EQ(EncodeBytes({}), "<hex>");
    const unsigned char words[] = {0x01, 0, 0, 0, 0xCC, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(EncodeBytesFrom32(words, 2), "<hex>01,cc");
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(ParseByteList("0A,,1ff,zz,cc"), (Bytes{0x0A, 0x00, 0xFF, 0x00, 0xCC}));
    EXPECT_EQ(ParseByteList(""), Bytes{0x00});
}

TEST(ValueTextTest, SplitCutsAtEveryNonOverlappingSeparator) {
    using Pieces = std::vector<std::string_view>;
    const std::tuple<const char*, const char*, Pieces> cases[] = {
        {"a,b,,c", ",", {"a", "b", "", "c"}},
        {"A = B = C", " = ", {"A", "B", "C"}},
        {"", ",", {""}},
        {",x,", ",", {"", "x", ""}},
        {"aXb", "x", {"aXb"}},
        {"aaa", "aa", {"", "a"}},
        {"abc", "", {"abc"}},
    };
    for (const auto& [text, sep, expected] : cases) {
        Pieces pieces = {"held"}, appended = {"held"};
        appended.insert(appended.end(), expected.begin(), expected.end());
        SplitPieces(text, sep, pieces);
        EXPECT_EQ(pieces, appended) << '"' << text << "\" at \"" << sep << '"';
    }
}

}  // namespace
}  // namespace qor::store
