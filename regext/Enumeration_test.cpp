#include <string>
#include <vector>

#include "regext/RegExtTestStore.h"
#include "core/StoreOwnership.h"

namespace {

using qor::regexttest::FreshStore;

constexpr const char* kA = "HKEY_CURRENT_USER\\SOFTWARE\\X";

class EnumerationTest : public FreshStore {
protected:
    // RegQueryInfoKeyA through the key path form; count and longest start at 99.
    LONG Query(CRegExt& reg, const char* key) {
        count = longest = 99;
        return reg.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr);
    }
    static std::string Name(CRegExt& reg, DWORD index) {
        char name[260] = "unchanged";
        EXPECT_EQ(ERROR_SUCCESS, reg.RegEnumKeyExA(&reg, index, name, nullptr, nullptr, nullptr, nullptr, nullptr));
        return name;
    }
    static std::vector<std::string> Names(CRegExt& reg, DWORD from, DWORD to) {
        std::vector<std::string> names;
        for (DWORD i = from; i < to; ++i) names.push_back(Name(reg, i));
        return names;
    }
    DWORD count = 0, longest = 0;
};

using NameList = std::vector<std::string>;

TEST_F(EnumerationTest, TellsAMissingKeyFromAKeyWithoutSubKeys) {
    Store().SetValue(kA, "V", "<dword>1");
    CRegExt reg;
    EXPECT_EQ(ERROR_INVALID_DATA, Query(reg, kA));
    EXPECT_EQ(99u, count);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, Query(reg, "HKEY_CURRENT_USER\\SOFTWARE\\NONE"));
    EXPECT_EQ(nullptr, reg.m_SubKeyList.pHead);
}

TEST_F(EnumerationTest, SecondQueryAppendsUntilClose) {
    AddKeys({"HKEY_CURRENT_USER\\SOFTWARE\\X\\B", "HKEY_CURRENT_USER\\SOFTWARE\\Y\\Q"});
    CRegExt reg;
    ASSERT_EQ(ERROR_SUCCESS, Query(reg, kA));
    ASSERT_EQ(ERROR_SUCCESS, Query(reg, "HKEY_CURRENT_USER\\SOFTWARE\\Y"));
    EXPECT_EQ(1u, count);
    EXPECT_EQ((NameList{"B", "Q"}), Names(reg, 0, 2));
    EXPECT_EQ(ERROR_SUCCESS, reg.Close());
    EXPECT_EQ("", Name(reg, 0));
    ASSERT_EQ(ERROR_SUCCESS, Query(reg, "HKEY_CURRENT_USER\\SOFTWARE\\Y"));
    EXPECT_EQ("Q", Name(reg, 0));
}

TEST_F(EnumerationTest, ObjectFormsQueryTheArgumentButFillTheCallersList) {
    AddKeys({kA, "HKEY_CURRENT_USER\\SOFTWARE\\X\\B"});
    CRegExt key, caller;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, "SOFTWARE\\X", KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, caller.RegQueryInfoKeyA(&key, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, caller.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(nullptr, key.m_SubKeyList.pHead);
    EXPECT_EQ((NameList{"B", "B"}), Names(caller, 0, 2));
    char name[8] = "";
    EXPECT_EQ(ERROR_SUCCESS, caller.RegEnumKeyExA(key, 1, name, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("B", name);
    CStringArray all;
    key.GetAllGroupArray(all);
    EXPECT_EQ(2, all.GetSize());
}

TEST_F(EnumerationTest, NamesTooLongForANodeAreLeftOut) {
    const std::string longName(260, 'N');
    AddKeys({(std::string(kA) + "\\" + longName).c_str(), "HKEY_CURRENT_USER\\SOFTWARE\\X\\OK"});
    CRegExt reg;
    ASSERT_EQ(ERROR_SUCCESS, Query(reg, kA));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(2u, longest);
    EXPECT_EQ((NameList{"OK", ""}), Names(reg, 0, 2));
    AddKeys({(std::string("HKEY_CURRENT_USER\\ONLY\\") + longName).c_str()});
    EXPECT_EQ(ERROR_INVALID_DATA, Query(reg, "HKEY_CURRENT_USER\\ONLY"));
}

// Delete empties the object and discards the class's store; a store the
// table holds alone stays (a shared one goes for both: the parity test).
TEST_F(EnumerationTest, DeleteEmptiesTheObjectAndKeepsAStoreOnlyTheTableHolds) {
    AddKeys({kA, "HKEY_CURRENT_USER\\SOFTWARE\\X\\B"});
    CRegExt reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.Open(HKEY_CURRENT_USER, "SOFTWARE\\X", KEY_WRITE));
    ASSERT_EQ(ERROR_SUCCESS, Query(reg, kA));
    CIniClass tableOwn;
    qor::core::TableStore() = &tableOwn;
    reg.Delete();
    EXPECT_EQ(nullptr, CRegExt::m_pIni);
    EXPECT_EQ(&tableOwn, qor::core::TableStore());
    EXPECT_STREQ("", reg.szKey);
    EXPECT_EQ(nullptr, reg.m_SubKeyList.pHead);
    qor::core::TableStore() = nullptr;
}

}  // namespace
