#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CIniClass.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "testsupport/TestFiles.h"

namespace qor::store {
namespace {

constexpr DwordField kForms[] = {DwordField::StoreFile, DwordField::TwainExport};

std::string Stepwise(std::string_view name, std::string_view text, DwordField form) {
    std::string line;
    AppendValueLineStepwise(line, name, text, form);
    return line;
}

TEST(RegWriterTest, AwkwardTextsGiveTheirLines) {
    struct Case {
        std::string name, text, storeLine, exportLine;
    };
    const std::vector<Case> cases = {
        {"N", "<dword>-1", "\"N\"=dword:ffffffff\r\n", "\"N\"=dword:ffffffff\r\n"},
        {"N", "<dword>1.5", "\"N\"=\"1.5\"\r\n", "\"N\"=dword:00000001\r\n"},
        {"N", "<dword>4294967296", "\"N\"=\"4294967296\"\r\n", "\"N\"=dword:00000000\r\n"},
        {"N", "<dword>5<string>x", "\"N\"=\"<dword>5<string>x\"\r\n", "\"N\"=\"<dword>5<string>x\"\r\n"},
        {"N", "<hex>01<dword>2", "\"N\"=\"01<dword>2\"\r\n", "\"N\"=dword:00000001\r\n"},
        {"N", "a<hex>01", "\"N\"=hex:a<hex>01\r\n", "\"N\"=hex:a<hex>01\r\n"},
        {"A\rB\nC", "<string>x\r\ny", "\"A B C\"=\"x  y\"\r\n", "\"A B C\"=\"x  y\"\r\n"},
        {"N", "<hex>01,02,\\\\", "\"N\"=hex:01,02,\r\n", "\"N\"=hex:01,02,\r\n"},
        {"N", "plain\\", "\"N\"=plain\\\r\n", "\"N\"=plain\\\r\n"},
        {"hex(7):", "x\\", "\"hex(7):\"=x\r\n", "\"hex(7):\"=x\r\n"},
        {"N", "tab\there", "\"N\"=tab\there\r\n", "\"N\"=tab\there\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + "=" + c.text);
        for (const DwordField form : kForms) {
            const std::string& expected = form == DwordField::StoreFile ? c.storeLine : c.exportLine;
            EXPECT_EQ(Stepwise(c.name, c.text, form), expected);
            std::string line = "before";
            AppendValueLine(line, c.name, c.text, form);
            EXPECT_EQ(line, "before" + expected);
        }
    }
}

TEST(RegWriterTest, OnlyWholeDecimalsIn32BitRangeAreDwords) {
    const std::pair<const char*, std::uint32_t> wholes[] = {{"0", 0},
                                                            {"-0", 0},
                                                            {"4294967295", 0xFFFFFFFFu},
                                                            {"-2147483648", 0x80000000u},
                                                            {"0000000000004294967295", 0xFFFFFFFFu},
                                                            {"7", 7},
                                                            {"-42", 0u - 42u},
                                                            {"305", 305},
                                                            {"1234", 1234},
                                                            {"-65536", 0u - 65536u},
                                                            {"12345678", 12345678},
                                                            {"-99999999", 0u - 99999999u},
                                                            {"00000009", 9},
                                                            {"987654321", 987654321},
                                                            {"00000000000000000000", 0}};
    for (const auto& [text, expected] : wholes) {
        std::uint32_t bits = 7;
        EXPECT_TRUE(ReadWholeDecimal32(text, bits)) << text;
        EXPECT_EQ(bits, expected) << text;
    }
    for (const char* text : {"4294967296", "-2147483649", "0000000000004294967296", "99999999999", "", "-", "+1", "1 ",
                             "12a", "1/", "9:", "12:45", "9999/", "1234567:", "/2345678", "12\xff", "-1a3"}) {
        std::uint32_t bits = 7;
        EXPECT_FALSE(ReadWholeDecimal32(text, bits)) << text;
    }
}

// Every text built from these pieces is written as the stepwise writer
// writes it, in one writer that starts too small and must grow; and so is
// every key's lines, the text beside a plain value.
TEST(RegWriterTest, LineWriterWritesWhatTheStepwiseWriterWrites) {
    const std::vector<std::string> starts = {"", "<string>", "<dword>", "<hex>", "<", "x<"};
    const std::vector<std::string> middles = {"",         "12",        "-2147483648", "1.500000", "abcdefghijk",
                                              "a\rb\nc",  "<string>",  "<dword>7",    "<hex>",    "hex:01,",
                                              "hex(7):0", "hex(zz):0", "\t\x01",      "ab<c",     "0123456789abcdefg"};
    const std::vector<std::string> ends = {"", "\\", "\\\\", "\r", "\n", "9"};
    const std::vector<std::string> names = {"N", "A\rB", "LONGER NAME\n1234", "<string>", "x\\", ""};
    for (const DwordField form : kForms) {
        LineWriter writer(1), keys(1);
        std::string expected, expectedKeys;
        for (const auto& start : starts) {
            for (const auto& middle : middles) {
                for (const auto& end : ends) {
                    const std::string text = start + middle + end;
                    const std::string& name = names[expected.size() % names.size()];
                    writer.ValueLine(name, text, form);
                    expected += Stepwise(name, text, form);
                    ValueList values;
                    values.Set("PLAIN", "<dword>7");
                    values.Set(name, text);
                    EXPECT_TRUE(keys.KeyLines("K", values, form));
                    AppendSectionLine(expectedKeys, "K");
                    values.ForEach([&](const ValueList::Entry& entry) {
                        expectedKeys += Stepwise(entry.name, entry.text.Joined(), form);
                    });
                }
            }
        }
        EXPECT_EQ(writer.Text(), expected);
        EXPECT_EQ(keys.Text(), expectedKeys);
    }
}

TEST(RegWriterTest, KeyLinesWritesOnlyKeysOneLineHolds) {
    const std::vector<std::string> keys = {
        "A", "A]B", "KEY\r", "K\nEY", "LONG\\KEY\\NAME]", "TAB\tKEY", "LONG\\KEY\\NAME\\X", "]"};
    ValueList values;
    values.Set("N", "<dword>5");
    LineWriter writer(4);
    std::string expected;
    for (const std::string& key : keys) {
        SCOPED_TRACE(key);
        EXPECT_EQ(writer.KeyLines(key, values, DwordField::StoreFile), FitsSectionLine(key));
        if (!FitsSectionLine(key)) continue;
        AppendSectionLine(expected, key);
        AppendValueLine(expected, "N", "<dword>5", DwordField::StoreFile);
    }
    EXPECT_EQ(writer.Text(), expected);
    EXPECT_EQ(writer.Release(), expected);
    EXPECT_EQ(writer.Size(), 0u);
}

// The whole file: keys in order, an empty key, a key no section line holds left out,
// values in name order after replacements, every line as written stepwise.
// A key as a reader made it is written without checks when its values
// allow (a plain list); either way its lines are the stepwise writer's, and
// so they stay once the list is changed.
TEST(RegWriterTest, ALoadedKeyGivesTheStepwiseLines) {
    const std::pair<const char*, bool> fields[] = {
        {"dword:ffffffcb", true},     {"\"C:\\Scans\\x<dword>1\"", true}, {"hex:0a,ff", true},
        {"hex:0a,<dword>5", false},   {"hex(7):<dword>7", false},         {"\"a\\\\b\"", false},
        {"hex:01,\\\r\n  02", false}, {"dword:0000000g", false},
    };
    for (const auto& [field, plain] : fields) {
        SCOPED_TRACE(field);
        KeyMap keys;
        ASSERT_TRUE(ReadRegLines(std::string("[K]\r\n\"M\"=dword:1\r\n\"N\"=") + field + "\r\n", kStoreFileRules, keys,
                                 nullptr));
        ValueList& values = keys.begin()->second;
        EXPECT_EQ(values.Plain(), plain);
        const auto expect = [&values](DwordField form) {
            std::string lines = "[K]\r\n";
            values.ForEach([&](const ValueList::Entry& entry) {
                AppendValueLineStepwise(lines, entry.name, entry.text.Joined(), form);
            });
            LineWriter writer(1);
            EXPECT_TRUE(writer.KeyLines("K", values, form));
            EXPECT_EQ(writer.Text(), lines);
        };
        for (const DwordField form : kForms) expect(form);
        values.Set("M", "<hex>a\rb\\");
        EXPECT_FALSE(values.Plain());
        expect(DwordField::StoreFile);
    }
}

TEST(RegWriterTest, SavedFileHoldsTheStepwiseLines) {
    testkit::ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    CIniClass store;
    store.SetValue("K2", "ZETA", "<hex>01,\\");
    store.SetValue("K2", "ALPHA", "<dword>12");
    store.SetValue("K2", "ALPHA", "<dword>-12x");
    store.SetValue("K2", "MID\rDLE", "<string>a<hex>");
    store.SetValue("K]1", "N", "<dword>1");
    store.SetValue("CINICHECKFILEVALID", "N", "<string>marker");
    store.SetValue("K1", "N", "<dword>4294967295");
    store.AddKey("K0");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    const auto step = [](std::string_view name, std::string_view text) {
        return Stepwise(name, text, DwordField::StoreFile);
    };
    const std::string expected = "REGEDIT4\r\n[[CINICHECKFILEVALID]\r\n" + step("N", "<string>marker") +
                                 "[K0]\r\n[K1]\r\n" + step("N", "<dword>4294967295") + "[K2]\r\n" +
                                 step("ALPHA", "<dword>-12x") + step("MID\rDLE", "<string>a<hex>") +
                                 step("ZETA", "<hex>01,\\") + "[CINICHECKFILEVALID]\r\n";
    EXPECT_EQ(testkit::ReadBytes(path), expected);
}

}  // namespace
}  // namespace qor::store
