#include "store/ByteScan.h"
#include "store/HexDigits.h"

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

        // A copy that says "surely none" must hold no CR, LF or the byte
        // asked about, whichever word of the copy holds it.
        const auto checkCopy = [&text](auto copyNoting, const char* bytes) {
            std::string copy(text.size(), '?');
            const bool mayHold = copyNoting(copy.data(), text);
            EXPECT_EQ(copy, text);
            if (text.find_first_of(bytes) != std::string::npos) {
                EXPECT_TRUE(mayHold) << bytes;
            }
        };
        checkCopy(CopyNoting<'<'>, "\r\n<");
        checkCopy(CopyNoting<']'>, "\r\n]");
        checkCopy(CopyNoting<0>, "\r\n");
    }
}

// Eight digits read as one word agree with the digit table on every mix of
// digits, both cases of letters and the bytes just outside each range.
TEST(ByteScan, EightHexDigitsReadAsOneWordAgreeWithTheDigitTable) {
    constexpr char kEdges[] = {'/', ':', '@', 'G', '`', 'g', '\x10', '\x19', '\x26', '\x80', '\xc1', '\xff'};
    constexpr char kDigits[] = "0123456789abcdefABCDEF";
    std::mt19937 random(31);
    for (int round = 0; round < 20000; ++round) {
        std::string digits(8, '0');
        for (char& byte : digits) {
            byte = random() % 8 == 0 ? kEdges[random() % sizeof kEdges] : kDigits[random() % (sizeof kDigits - 1)];
        }
        std::uint32_t word = 7, table = 7;
        const bool read = ReadHex32(digits, word);
        ASSERT_EQ(read, hex_digits::Read(digits.data(), 8, table)) << digits;
        ASSERT_EQ(word, table) << digits;
    }
    std::uint32_t number = 0;
    ASSERT_TRUE(ReadHex32("fFfFfFf0", number));
    EXPECT_EQ(number, 0xfffffff0u);
}

}  // namespace
}  // namespace qor::store
