// Reading UTF-16LE bytes: the decoder on its own, then the conversion to
// the 8-bit text.
#include "platform/Platform.h"
#include "platform/Utf16Le.h"

#include <gtest/gtest.h>

namespace qor::platform {
namespace {

using namespace std::string_view_literals;

TEST(Utf16LeDecoder, ReadsUnitsAndPairsAndRefusesLoneHalves) {
    // bytes, their length (0: no code point there), the code point
    const std::tuple<std::string_view, std::size_t, char32_t> cases[] = {
        {"A\0"sv, 2, U'A'},
        {"\xe9\x00"sv, 2, U'\u00e9'},
        {"\xac\x20"sv, 2, U'\u20ac'},
        {"\xff\xff"sv, 2, U'\uffff'},
        {"\x34\xd8\x1e\xdd"sv, 4, U'\U0001D11E'},
        {"\xff\xdb\xff\xdf"sv, 4, U'\U0010FFFF'},
        {"\x34\xd8"sv, 0, 0},          // a leading half at the end
        {"\x34\xd8\x41\0"sv, 0, 0},    // a leading half before a plain unit (A)
        {"\x34\xd8\x34\xd8"sv, 0, 0},  // two leading halves
        {"\x1e\xdd\x34\xd8"sv, 0, 0},  // the halves reversed
        {"A"sv, 0, 0},                 // half a unit
    };
    for (const auto& [bytes, length, expected] : cases) {
        char32_t codePoint = 0;
        EXPECT_EQ(DecodeUtf16LeAt(bytes, 0, codePoint), length) << testing::PrintToString(bytes);
        if (length != 0) {
            EXPECT_EQ(codePoint, expected);
        }
    }
}

TEST(Utf16LeDecoder, WholeTextNeedsAnEvenCountAndNoLoneHalf) {
    EXPECT_TRUE(IsUtf16Le(""sv));
    EXPECT_TRUE(IsUtf16Le("R\0E\0G\0\x34\xd8\x1e\xdd\r\0\n\0"sv));
    EXPECT_FALSE(IsUtf16Le("R\0E\0G"sv));
    EXPECT_FALSE(IsUtf16Le("R\0\x1e\xddG\0"sv));
}

TEST(Utf16LeToNarrowText, ConvertsPlainTextAndRefusesBrokenText) {
    std::string narrow;
    ASSERT_TRUE(Utf16LeToNarrow("[\0H\0K\0]\0\r\0\n\0\"\0\\\0"sv, narrow));
    EXPECT_EQ(narrow, "[HK]\r\n\"\\");
    ASSERT_TRUE(Utf16LeToNarrow(""sv, narrow));
    EXPECT_EQ(narrow, "");
    EXPECT_FALSE(Utf16LeToNarrow("A\0B"sv, narrow));
    EXPECT_FALSE(Utf16LeToNarrow("A\0\x34\xd8"sv, narrow));
    EXPECT_FALSE(Utf16LeToNarrow("\x1e\xdd\x41\0"sv, narrow));
#ifndef _WIN32
    // POSIX hosts give UTF-8.
    ASSERT_TRUE(Utf16LeToNarrow("C\0a\0f\0\xe9\x00 \0\xac\x20\x34\xd8\x1e\xdd"sv, narrow));
    EXPECT_EQ(narrow, "Caf\xc3\xa9 \xe2\x82\xac\xf0\x9d\x84\x9e");
#endif
}

}  // namespace
}  // namespace qor::platform
