#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "CRegExt.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace {

class StoreFilesTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete CRegExt::m_pIni;
        CRegExt::m_pIni = nullptr;
    }
    std::string StoreFile(const std::string& name, const std::string& key) const {
        qor::testkit::WriteBytes(folder.File(name),
                                 "REGEDIT4\r\n[" + key + "]\r\n\"G\"=dword:00000003\r\n[CINICHECKFILEVALID]\r\n");
        return folder.File(name);
    }
    qor::testkit::ScratchFolder folder;
};

TEST_F(StoreFilesTest, FailedFirstLoadLeavesNoStoreAndARejectedLoadKeepsUnsavedValues) {
    EXPECT_EQ(CRegExt::Load(folder.File("missing.ini").c_str()), 0);
    EXPECT_EQ(CRegExt::m_pIni, nullptr);
    const std::string a = StoreFile("a.ini", "HKEY_CURRENT_USER\\A");
    ASSERT_EQ(CRegExt::Load(a.c_str()), 1);
    CRegExt::m_pIni->SetValue("HKEY_CURRENT_USER\\A", "UNSAVED", "<dword>7");
    EXPECT_EQ(CRegExt::Load(a.c_str()), 0);
    EXPECT_EQ(qor::testkit::ValueOf(*CRegExt::m_pIni, "HKEY_CURRENT_USER\\A", "UNSAVED"), "<dword>7");
}

TEST_F(StoreFilesTest, SaveLeavesOutMachineKeys) {
    EXPECT_EQ(CRegExt::Save(folder.File("out.ini").c_str()), 0);  // no store yet
    ASSERT_EQ(CRegExt::LoadW(std::filesystem::path(StoreFile("m.ini", "HKEY_LOCAL_MACHINE\\M")).wstring().c_str()), 1);
    CRegExt::m_pIni->AddKey("HKEY_CURRENT_USER\\U");
    CRegExt::m_pIni->SetValue("HKEY_CURRENT_USER\\U", "B", "<dword>2");
    EXPECT_EQ(CRegExt::Save(folder.File("out.ini").c_str()), 1);
    EXPECT_EQ(qor::testkit::ReadBytes(folder.File("out.ini")),
              "REGEDIT4\r\n[HKEY_CURRENT_USER\\U]\r\n\"B\"=dword:00000002\r\n[CINICHECKFILEVALID]\r\n");
}

TEST_F(StoreFilesTest, SetLogPathRefusesAPathThatDoesNotFit) {
    CRegExt::SetLogPath("C:\\logs\\scan.log");
    CRegExt::SetLogPath(std::string(260, 'x').c_str());
    EXPECT_STREQ(CRegExt::m_pPath, "C:\\logs\\scan.log");
}

}  // namespace
