#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regext/RegExtTestStore.h"

namespace {

constexpr const char* kA = "HKEY_CURRENT_USER\\SOFTWARE\\X";

using RemovalTest = qor::regexttest::FreshStore;

TEST_F(RemovalTest, DeleteKeyRefusesOnlyObjectsOpenedReadOnly) {
    AddKeys(
        {"HKEY_CURRENT_USER\\SOFTWARE", kA, "HKEY_CURRENT_USER\\SOFTWARE\\X\\Y\\Z", "HKEY_CURRENT_USER\\SOFTWARE\\XY"});
    CRegExt reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, "SOFTWARE", KEY_READ));
    EXPECT_EQ(0, reader.DeleteKey("HKEY_CURRENT_USER\\SOFTWARE", "X"));
    EXPECT_EQ(1, Store().KeyExists(kA));
    CRegExt fresh;
    EXPECT_EQ(0, fresh.DeleteKey(HKEY_CURRENT_USER, "SOFTWARE\\X"));
    EXPECT_EQ(0, fresh.m_fWrite);
    EXPECT_EQ(1, fresh.DeleteKey("hkey_current_user\\software\\x", "\\\\"));
    EXPECT_EQ(1, fresh.m_fWrite);
    EXPECT_EQ((std::vector<std::string>{"HKEY_CURRENT_USER\\SOFTWARE", "HKEY_CURRENT_USER\\SOFTWARE\\XY"}),
              SortedKeys());
    EXPECT_EQ(1, fresh.DeleteKey(reinterpret_cast<HKEY>(const_cast<char*>("HKEY_CURRENT_USER")), "software\\xy"));
}

TEST_F(RemovalTest, ValueAndSubtreeRemovalNeedWriteAndAKeyText) {
    AddKeys({"HKEY_CURRENT_USER\\SOFTWARE\\X\\S", "HKEY_CURRENT_USER\\SOFTWARE\\X\\S\\T", "", "\\U"});
    Store().SetValue("", "V", "<dword>1");
    Store().SetValue(kA, "V", "<dword>1");
    CRegExt reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_CURRENT_USER, "SOFTWARE\\X", KEY_WRITE));
    EXPECT_EQ(1, reg.DeleteValue("v"));
    reg.DeleteAllSubKey("s\\");
    EXPECT_EQ(0, Store().KeyExists("HKEY_CURRENT_USER\\SOFTWARE\\X\\S\\T"));
    CRegExt empty;
    empty.m_fWrite = 1;
    empty.DeleteAllSubKey("U");
    EXPECT_EQ(0, empty.DeleteValue("V"));
    EXPECT_EQ(1, Store().KeyExists("\\U"));
    EXPECT_EQ("<dword>1", Stored("", "V"));
    reg.DeleteAllSubKey("");
    EXPECT_EQ((std::vector<std::string>{"", "\\U"}), SortedKeys());
}

}  // namespace
