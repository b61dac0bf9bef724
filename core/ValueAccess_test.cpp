#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/ValueAccess.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace {

using namespace qor::core;

constexpr const char* kKey = "HKEY_CURRENT_USER\\K";

class ValueAccessTest : public ::testing::Test {
protected:
    ValueTarget Writable() { return {&store, "hkey_current_user\\k", true}; }
    ValueTarget ReadOnly() { return {&store, kKey, false}; }
    std::string Stored(const char* name) { return qor::testkit::ValueOf(store, kKey, name); }
    CIniClass store;
};

TEST_F(ValueAccessTest, IntegerGettersParseWhateverPrefixIsStored) {
    using Case = std::tuple<const char*, std::int32_t, std::uint32_t>;  // asDword: the base-prefixed reading
    const Case cases[] = {
        {"<dword>-5", -5, 4294967291u}, {"<dword>4294967295", -1, 4294967295u},
        {"<dword>0x10", 0, 16},         {"<dword>010", 10, 8},
        {"<string>12", 12, 12},         {"<string>abc", 0, 0},
        {"<dword>1.500000", 1, 1},      {"<DWORD>3", 0, 0},
    };
    for (const auto& [stored, asInt, asDword] : cases) {
        store.SetValue(kKey, "V", stored);
        std::int32_t i = 12345;
        std::uint32_t d = 12345;
        EXPECT_EQ(1, GetInt(ReadOnly(), "v", i)) << stored;
        EXPECT_EQ(asInt, i) << stored;
        EXPECT_EQ(1, GetDword(ReadOnly(), "v", d, DwordParse::Strtoul0)) << stored;
        EXPECT_EQ(asDword, d) << stored;
    }
}

TEST_F(ValueAccessTest, RangeGettersDeliverTheDefaultAndWriteItBackWhenWritable) {
    struct Case {
        const char* stored;  // nullptr: missing
        std::int32_t delivered;
        const char* afterWritable;
    };
    const Case cases[] = {{nullptr, 5, "<dword>5"},
                          {"<dword>11", 5, "<dword>5"},
                          {"<dword>-1", 5, "<dword>5"},
                          {"<dword>0", 0, "<dword>0"},
                          {"<dword>10", 10, "<dword>10"}};
    for (const Case& c : cases) {
        const char* what = c.stored ? c.stored : "missing";
        store.RemoveValue(kKey, "R");
        if (c.stored) store.SetValue(kKey, "R", c.stored);
        const std::string before = Stored("R");
        std::int32_t out = -99;
        EXPECT_EQ(1, GetIntRange(ReadOnly(), "R", out, 0, 5, 10, kClassRules)) << what;
        EXPECT_EQ(c.delivered, out) << what;
        EXPECT_EQ(before, Stored("R")) << what;
        EXPECT_EQ(1, GetIntRange(Writable(), "R", out, 0, 5, 10, kClassRules)) << what;
        EXPECT_EQ(c.afterWritable, Stored("R")) << what;
    }
}

TEST_F(ValueAccessTest, FloatDefaultsUseSixDecimalsAndUnreadableFloatsCountAsMissing) {
    float f = 0;
    EXPECT_EQ(1, GetFloatDefault(Writable(), "F", f, 0.5f, kClassRules));
    EXPECT_EQ("<dword>0.500000", Stored("F"));
    store.SetValue(kKey, "F", "<dword>abc");
    EXPECT_EQ(0, GetFloat(ReadOnly(), "F", f));
    EXPECT_EQ(0.5f, f);
    EXPECT_EQ(1, GetFloatRange(Writable(), "F", f, 1.0f, 2.0f, 3.0f, kClassRules));
    EXPECT_EQ("<dword>2.000000", Stored("F"));
    store.SetValue(kKey, "F", "<dword>7.25");
    EXPECT_EQ(1, GetFloatRange(ReadOnly(), "F", f, NAN, 2.0f, NAN, kClassRules));
    EXPECT_EQ(7.25f, f);
}

TEST_F(ValueAccessTest, WritesNeedAKeyTextAndStringsANonZeroSizeThatFits) {
    const ValueTarget keyless{&store, "", true};
    std::int32_t out = 0;
    EXPECT_EQ(0, SetInt(keyless, "A", 1));
    EXPECT_EQ(0, GetIntDefault(keyless, "A", out, 4, kClassRules));
    EXPECT_EQ(4, out);
    EXPECT_EQ(0, store.KeyExists(""));
    store.SetValue(kKey, "S", "<string>hello");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(0, GetStringInto(ReadOnly(), "S", buffer, 5));
    EXPECT_STREQ("xxxxxxx", buffer);
    EXPECT_EQ(1, GetStringInto(ReadOnly(), "S", buffer, 6));
    EXPECT_STREQ("hello", buffer);
}

TEST_F(ValueAccessTest, ListsAddTheOffsetOnBothSidesAndBytesKeepEveryLowByte) {
    const std::int32_t items[] = {1, 2, -3};
    EXPECT_EQ(1, SetIntList(Writable(), "L", items, 3, 1));
    EXPECT_EQ("<string>2,3,-2", Stored("L"));
    std::vector<std::optional<std::uint32_t>> read;
    store.SetValue(kKey, "L", "<string>1,,-3");
    ASSERT_TRUE(FetchList(ReadOnly(), "L", 1, read));
    EXPECT_EQ(read, (std::vector<std::optional<std::uint32_t>>{2u, std::nullopt, 0xFFFFFFFEu}));
    const std::uint32_t elements[] = {0x0A, 0xCC, 0x1FF};
    unsigned char data[sizeof(elements)];
    std::memcpy(data, elements, sizeof(elements));
    EXPECT_EQ(1, SetBytesFrom32(Writable(), "B", data, 3));
    EXPECT_EQ("<hex>0a,cc,ff", Stored("B"));
    unsigned char out[4] = {1, 2, 3, 4};
    EXPECT_EQ(1, GetBytes(ReadOnly(), "B", out));
    EXPECT_EQ((std::vector<int>{0x0A, 0xCC, 0xFF, 4}), std::vector<int>(out, out + 4));
}

TEST_F(ValueAccessTest, TableRulesReportReadOnlyDefaultsAndUnreadableFloatsAsFailures) {
    std::int32_t i = 0;
    EXPECT_EQ(0, GetIntDefault(ReadOnly(), "I", i, 4, kTableRules));
    EXPECT_EQ(4, i);
    EXPECT_EQ("(missing)", Stored("I"));
    store.SetValue(kKey, "F", "<dword>abc");
    float f = 9.0f;
    EXPECT_EQ(0, GetFloatDefault(Writable(), "F", f, 1.0f, kTableRules));
    EXPECT_EQ(0, GetFloatRange(Writable(), "F", f, 0.0f, 1.0f, 2.0f, kTableRules));
    EXPECT_EQ(9.0f, f);
    EXPECT_EQ("<dword>abc", Stored("F"));
}

// The typed writes go to the store's internals; a save into a file another
// writer changed meanwhile still carries them, and keeps the other's value.
TEST_F(ValueAccessTest, TypedWritesAndStoredDefaultsReachAMergedSave) {
    qor::testkit::ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    qor::testkit::WriteBytes(path, "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n\"O\"=\"old\"\r\n");
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    EXPECT_EQ(1, SetDword(Writable(), "D", 7));
    std::int32_t i = 0;
    EXPECT_EQ(1, GetIntDefault(Writable(), "I", i, 4, kClassRules));
    qor::testkit::WriteBytes(path, "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n\"O\"=\"other's\"\r\n");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    CIniClass saved;
    ASSERT_EQ(saved.LoadFile(path.c_str()), 1);
    EXPECT_EQ(qor::testkit::StoreLines(saved), (std::vector<std::string>{"[HKEY_CURRENT_USER\\K]", "D = <dword>7",
                                                                         "I = <dword>4", "O = <string>other's"}));
}

}  // namespace
