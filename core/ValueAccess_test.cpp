#include <gtest/gtest.h>

#include <string>

#include "core/ValueAccess.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

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
