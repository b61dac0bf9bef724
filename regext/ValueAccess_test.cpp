#include <gtest/gtest.h>

#include <string>

#include "regext/ValueAccess.h"

namespace {

using namespace qor::access;

constexpr const char* kKey = "HKEY_CURRENT_USER\\K";

class ValueAccessTest : public ::testing::Test {
protected:
    ValueTarget Writable() { return {&store, "hkey_current_user\\k", true}; }
    ValueTarget ReadOnly() { return {&store, kKey, false}; }
    std::string Stored(const char* name) {
        CString out;
        return store.GetValue(kKey, name, out) ? out.str() : "<missing>";
    }
    CIniClass store;
};

TEST_F(ValueAccessTest, DwordParsesDifferOnlyWhereTheirCRoutinesDo) {
    struct Case {
        const char* stored;
        std::uint32_t strtoul0, strtoul10, atol;
    };
    const Case cases[] = {
        {"<dword>0x10", 16, 0, 0},
        {"<dword>010", 8, 10, 10},
        {"<dword>-1", 4294967295u, 4294967295u, 4294967295u},
        {"<dword>4294967296", 4294967295u, 4294967295u, 0},
        {"<string> 12x", 12, 12, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        store.SetValue(kKey, "D", c.stored);
        std::uint32_t out = 0;
        EXPECT_EQ(1, GetDword(ReadOnly(), "d", out, DwordParse::Strtoul0));
        EXPECT_EQ(c.strtoul0, out);
        EXPECT_EQ(1, GetDword(ReadOnly(), "d", out, DwordParse::Strtoul10));
        EXPECT_EQ(c.strtoul10, out);
        EXPECT_EQ(1, GetDword(ReadOnly(), "d", out, DwordParse::Atol));
        EXPECT_EQ(c.atol, out);
    }
}

TEST_F(ValueAccessTest, TableRulesReportReadOnlyDefaultsAndUnreadableFloatsAsFailures) {
    std::int32_t i = 0;
    EXPECT_EQ(0, GetIntDefault(ReadOnly(), "I", i, 4, kTableRules));
    EXPECT_EQ(4, i);
    EXPECT_EQ(1, GetIntDefault(ReadOnly(), "I", i, 4, kClassRules));
    EXPECT_EQ("<missing>", Stored("I"));
    store.SetValue(kKey, "F", "<dword>abc");
    float f = 9.0f;
    EXPECT_EQ(0, GetFloatDefault(Writable(), "F", f, 1.0f, kTableRules));
    EXPECT_EQ(0, GetFloatRange(Writable(), "F", f, 0.0f, 1.0f, 2.0f, kTableRules));
    EXPECT_EQ(9.0f, f);
    EXPECT_EQ("<dword>abc", Stored("F"));
    EXPECT_EQ(1, GetFloatDefault(Writable(), "F", f, 1.0f, kClassRules));
    EXPECT_EQ("<dword>1.000000", Stored("F"));
}

TEST_F(ValueAccessTest, WritesNeedAStoreTheRightAndAKeyText) {
    const ValueTarget refused[] = {{nullptr, kKey, true}, {&store, kKey, false}, {&store, "", true}};
    for (const ValueTarget& t : refused) {
        EXPECT_EQ(0, SetInt(t, "X", 1));
        EXPECT_EQ(0, StoreText(t, "X", "<dword>1"));
        std::uint32_t d = 0;
        EXPECT_EQ(t.writable ? 0 : 1, GetDwordDefault(t, "X", d, 3, DwordParse::Atol, kClassRules));
        EXPECT_EQ(3u, d);
    }
    EXPECT_EQ(0, store.KeyExists(""));
    EXPECT_EQ("<missing>", Stored("X"));
    EXPECT_EQ(1, SetIntList(Writable(), "L", nullptr, 0, 0));
    EXPECT_EQ(0, SetBytesFrom32(Writable(), "B", nullptr, 2));
    EXPECT_EQ("<string>", Stored("L"));
}

TEST_F(ValueAccessTest, ListPiecesCarryTheOffsetAndMarkEmptyPieces) {
    store.SetValue(kKey, "L", "<string>1,,-2,x");
    std::vector<std::optional<std::uint32_t>> items;
    ASSERT_TRUE(FetchList(ReadOnly(), "L", 3, items));
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ(4u, items[0]);
    EXPECT_FALSE(items[1].has_value());
    EXPECT_EQ(1u, items[2]);
    EXPECT_EQ(3u, items[3]);
    EXPECT_FALSE(FetchList(ReadOnly(), "MISSING", 0, items));
}

}  // namespace
