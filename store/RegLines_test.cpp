#include "store/RegLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor::store {
namespace {

std::string Converted(const std::string& field, bool keepPairs) {
    std::string text = field;
    FieldToStoredText(text, keepPairs);
    return text;
}

TEST(RegLinesTest, FieldsBecomeStoredTextsStepByStep) {
    struct Case {
        const char* field;
        const char* stored;
    } cases[] = {
        {"dword:00000003", "<dword>3"},
        {"dword:ffffffff", "<dword>-1"},
        {"dword:", "<dword>0"},
        {"1F", "<dword>31"},
        {"0x1f", "<dword>31"},
        {"plain", "plain"},
        {"\"abc\"", "<string>abc"},
        {"\"\"", "<string>"},
        {"\"", "<string>"},
        {"\"C:\\dir\"", "<string>C:\\dir"},
        {"\"a\\\\b\"", "<string>a\\b"},
        {"\"x\\\"y\"", "<string>x\"y"},
        {"\"say \"hi\"\"", "<string>say \"hi\""},
        {"\"see dword:5\"", "<string>see 5"},
        {"\"see hex:5\"", "<hex><string>see 5"},
        {"hex:01,ff", "<hex>01,ff"},
        {"hex:", "<hex>"},
        {"hex:01,02,\\  03", "<hex>01,02,03"},
        {"hex(2):41,00", "hex(2):41,00"},
        {"a\\  b", "a\\  b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Converted(c.field, true), c.stored) << c.field;
        EXPECT_EQ(Converted(c.field, false), c.stored) << c.field;
    }
}

TEST(RegLinesTest, BackslashPairRightAfterTheStringPrefixKeepsEveryPairOnlyWhenAsked) {
    struct Case {
        const char* field;
        const char* storeFile;
        const char* import;
    } cases[] = {
        {"\"\\\\server\\share\"", "<string>\\\\server\\share", "<string>\\server\\share"},
        {"\"\\\\a\\\\b\"", "<string>\\\\a\\\\b", "<string>\\a\\b"},
        {"\"x\\\\a\\\\b\"", "<string>x\\a\\b", "<string>x\\a\\b"},
        {"12345678\\\\x", "12345678\\\\x", "12345678\\x"},
        {"\\\\\\", "\\\\", "\\\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Converted(c.field, true), c.storeFile) << c.field;
        EXPECT_EQ(Converted(c.field, false), c.import) << c.field;
    }
}

std::vector<std::string> Contents(const KeyMap& keys) {
    std::vector<std::string> out;
    for (const auto& [key, values] : keys) {
        out.push_back("[" + key + "]");
        for (std::size_t i = 0; i < values.Size(); ++i) out.push_back(std::string(values.At(i).name) + "=" + std::string(values.At(i).text));
    }
    return out;
}

std::vector<std::string> Read(const std::string& bytes, const RegLineRules& rules) {
    KeyMap keys;
    EXPECT_TRUE(ReadRegLines(bytes, rules, keys, nullptr));
    return Contents(keys);
}

using Lines = std::vector<std::string>;

TEST(RegLinesTest, LinesEndAtCrOrLfAndTheUnendedLastLineIsDropped) {
    EXPECT_EQ(Read("[K]\r\n\"A\"=1\n\"B\"=2\r\"C\"=3", kStoreFileRules), (Lines{"[K]", "A=<dword>1", "B=<dword>2"}));
    EXPECT_EQ(Read("[K]", kStoreFileRules), Lines{});
    EXPECT_EQ(Read("", kImportRules), Lines{});
    EXPECT_EQ(Read("\r\n\r\n\n\n[K]\n\n\"A\"=1\n\n", kImportRules), (Lines{"[K]", "A=<dword>1"}));
}

TEST(RegLinesTest, SectionsAndNamesAreUpperCasedAndStripped) {
    EXPECT_EQ(Read("[hkey_current_user\\software\\x]\n\"gamma\"=1\n[[[k2]\n\"\"q\"\"=2\nname=3\n", kStoreFileRules),
              (Lines{"[HKEY_CURRENT_USER\\SOFTWARE\\X]", "GAMMA=<dword>1", "[K2]", "NAME=<dword>3", "Q=<dword>2"}));
    // Not sections: a "]" before the end, or none at all.
    EXPECT_EQ(Read("[K]\n[a]b]\n[c\n\"A\"=1\n", kStoreFileRules), (Lines{"[K]", "A=<dword>1"}));
    EXPECT_EQ(Read("[]\n\"A\"=1\n", kImportRules), (Lines{"[]", "A=<dword>1"}));
}

TEST(RegLinesTest, ValueLinesNeedANameAFieldAndAnEarlierSection) {
    EXPECT_EQ(Read("\"EARLY\"=1\nREGEDIT4\n[K]\n=2\n\"EMPTY\"=\nno equals\n\"A=B\"=\"c\"\n\"\"=4\n", kStoreFileRules),
              (Lines{"[K]", "=<dword>4", "A=<string>\"=\"c"}));
}

TEST(RegLinesTest, ContinuedHexLinesJoinWhateverTheirLineEnds) {
    EXPECT_EQ(Read("[K]\r\n\"DATA\"=hex:01,02,\\\r\n  03,\\\n\n  04\r\n", kStoreFileRules), (Lines{"[K]", "DATA=<hex>01,02,03,04"}));
    // A continued line that never ends is dropped with everything joined to it.
    EXPECT_EQ(Read("[K]\n\"DATA\"=hex:01,\\\n  02", kStoreFileRules), Lines{"[K]"});
    // Without "hex:" a final backslash does not continue the line.
    EXPECT_EQ(Read("[K]\n\"P\"=\"C:\\\\\"\n\"Q\"=1\n", kImportRules), (Lines{"[K]", "P=<string>C:\\", "Q=<dword>1"}));
}

TEST(RegLinesTest, LaterValueOfOneNameReplacesTheEarlierOneInNameOrder) {
    EXPECT_EQ(Read("[K]\n\"B\"=1\n\"A\"=2\n\"B\"=3\n", kStoreFileRules), (Lines{"[K]", "A=<dword>2", "B=<dword>3"}));
}

TEST(RegLinesTest, MarkerIsSkippedInTheStoreFileAndAKeyInTheImport) {
    const std::string text = "[K]\n\"A\"=1\n[cinicheckfilevalid]\n\"B\"=2\n";
    EXPECT_EQ(Read(text, kStoreFileRules), (Lines{"[K]", "A=<dword>1", "B=<dword>2"}));
    EXPECT_EQ(Read(text, kImportRules), (Lines{"[CINICHECKFILEVALID]", "B=<dword>2", "[K]", "A=<dword>1"}));
}

TEST(RegLinesTest, DuplicateSectionStopsTheStoreFileAndMergesInTheImport) {
    const std::string twice = "[K]\n\"A\"=1\n\"B\"=2\n[L]\n[k]\n\"A\"=3\n";
    KeyMap keys;
    EXPECT_FALSE(ReadRegLines(twice, kStoreFileRules, keys, nullptr));
    EXPECT_EQ(Read(twice, kImportRules), (Lines{"[K]", "A=<dword>3", "B=<dword>2", "[L]"}));

    KeyMap taken;
    taken.emplace("L", ValueList());
    KeyMap target;
    EXPECT_FALSE(ReadRegLines("[K]\n[L]\n", kStoreFileRules, target, &taken));
    KeyMap fresh;
    EXPECT_TRUE(ReadRegLines("[K]\n[M]\n", kStoreFileRules, fresh, &taken));
}

TEST(RegLinesTest, NulBytesAreOrdinaryBytes) {
    const std::string text("[K\0]\n\"A\0B\"=\"x\0y\"\n", 17);
    KeyMap keys;
    ASSERT_TRUE(ReadRegLines(text, kStoreFileRules, keys, nullptr));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys.begin()->first, std::string("K\0", 2));
    EXPECT_EQ(keys.begin()->second.Find(std::string("A\0B", 3)).value_or(""), std::string("<string>x\0y", 11));
}

}  // namespace
}  // namespace qor::store
