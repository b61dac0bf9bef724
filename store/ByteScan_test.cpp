#include "store/ByteScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace qor::store {
namespace {

// Texts of every length up to past three words, from bytes that trip word
// tricks: each searched byte with its neighbours one above and below (a
// borrow flags the byte above a match), the letters' edges, control bytes
// and bytes of 0x80 and above.
std::vector<std::string> TrickyTexts() {
    constexpr char kAlphabet[] = {'\r', '\n',   '\x0c',  '\x0e', '\x0b', ']',    '\\', '^', '=',
                                  '<',  '>',    '<' + 1, 'a',    'z',    '`',    '{',  'A', 'Z',
                                  '\0', '\x01', '\x80',  '\xe1', '\xfa', '\xff', 'd',  'e'};
    std::mt19937 random(29);
    std::vector<std::string> texts;
    for (std::size_t size = 0; size <= 27; ++size) {
        for (int round = 0; round < 60; ++round) {
            std::string text(size, 'x');
            for (char& byte : text) {
                if (random() % 3 == 0) byte = kAlphabet[random() % sizeof kAlphabet];
            }
            texts.push_back(text);
        }
    }
    return texts;
}

TEST(ByteScan, EveryScannerAgreesWithAPlainLoopOnTrickyTexts) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (const std::string& text : TrickyTexts()) {
        SCOPED_TRACE(testing::PrintToString(text));
        for (std::size_t from = 0; from <= text.size(); ++from) {
            const std::size_t end = text.find_first_of("\r\n", from);
            ASSERT_EQ(FindLineEnd(text, from), end) << from;
        }
        for (char byte : {'=', ']', '\0', '\x80'}) EXPECT_EQ(FindByte(text, byte), text.find(byte)) << int{byte};
        EXPECT_EQ(HoldsAnyOf(text, ']', '\r', '\n'), text.find_first_of("]\r\n") != std::string::npos);
        EXPECT_EQ(HoldsAnyOf(text, '\\', ':', '"'), text.find_first_of("\\:\"") != std::string::npos);
        EXPECT_EQ(HasLowerLetter(text),
                  std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; }));

        std::string upperCased(text.size(), '?'), expected = text;
        std::transform(expected.begin(), expected.end(), expected.begin(), upper);
        UpperBytes(text.data(), upperCased.data(), text.size());
        EXPECT_EQ(upperCased, expected);

        // The comparison in any case follows the plain rule exactly: bit
        // 0x20 of a byte that is no letter a to z always counts.
        EXPECT_TRUE(SameUpperCased(expected, text));
        for (std::size_t at = 0; at < text.size(); ++at) {
            std::string flipped = text;
            flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
            std::string flippedUpper = flipped;
            std::transform(flipped.begin(), flipped.end(), flippedUpper.begin(), upper);
            EXPECT_EQ(SameUpperCased(expected, flipped), flippedUpper == expected) << at;
        }
        EXPECT_FALSE(SameUpperCased(expected, text + "x"));

        // A copy that says "surely none" must hold no CR, LF or '<'.
        std::string copy(text.size(), '?');
        const bool mayHold = CopyNoting<'<'>(copy.data(), text);
        EXPECT_EQ(copy, text);
        if (text.find_first_of("\r\n<") != std::string::npos) {
            EXPECT_TRUE(mayHold);
        }
    }
}

}  // namespace
}  // namespace qor::store
