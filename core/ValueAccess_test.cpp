#include <gtest/gtest.h>

#include <string>

#include "core/ValueAccess.h"
#include "testsupport/StoreViews.h"

namespace {

using namespace qor::access;

constexpr const char* kKey = "HKEY_CURRENT_USER\\K";

class ValueAccessTest : public ::testing::Test {
protected:
    ValueTarget Writable() { return {&store, "hkey_current_user\\k", true}; }
    ValueTarget ReadOnly() { return {&store, kKey, false}; }
    std::string Stored(const char* name) { return qor::testkit::ValueOf(store, kKey, name); }
    CIniClass store;
};

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

}  // namespace
