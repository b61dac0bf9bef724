#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
    EXPECT_EQ(CRegExt::isFileValid(StoreFile("valid.ini", "HKEY_CURRENT_USER\\V").c_str()), 1);
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

// The TWAIN export and import wrappers need a store; the store pointer's
// getters report it; the folder helpers behind the store-root search.
TEST_F(StoreFilesTest, WrappersGettersAndFolderHelpers) {
    const CString text("REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n\"V\"=\"1\"\r\n");
    CString out;
    CIniClass* got = nullptr;
    EXPECT_EQ(CRegExt::ImportFileTWAINCase(text), 0);
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("", out), 0);
    EXPECT_EQ(CRegExt::GetIniStruct(&got), 0);
    CRegExt::m_pIni = new CIniClass;
    EXPECT_EQ(CRegExt::GetIniStruct(&got), 1);
    EXPECT_EQ(got, CRegExt::m_pIni);
    CRegExt reg;
    EXPECT_EQ(reg.GetObjectA(), CRegExt::m_pIni);
    reg.m_fWrite = 1;
    EXPECT_EQ(reg.GetStructWriteble(), 1);
    EXPECT_EQ(CRegExt::ImportFileTWAINCase(text), 1);
    EXPECT_EQ(CRegExt::ImportFileTWAINCase(StoreFile("g.reg", "HKEY_CURRENT_USER\\G").c_str()), 1);
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("\\T", out), 1);
    EXPECT_NE(out.str().find("[HKEY_CURRENT_USER\\T]"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("\\G]"), std::string::npos) << out.str();
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("", folder.File("all.reg").c_str()), 1);
    EXPECT_EQ(CRegExt::ExportFilePellorCase("T", folder.File("app.reg").c_str()), 1);
    EXPECT_NE(qor::testkit::ReadBytes(folder.File("app.reg")).find("\"V\"=1"), std::string::npos);
    EXPECT_NE(qor::testkit::ReadBytes(folder.File("all.reg")).find("\"G\"=dword:00000003"), std::string::npos);
    const std::string base = folder.File("apps");
    std::filesystem::create_directories(base + "/Mod");
    std::filesystem::create_directories(base + "/Other");
    qor::testkit::WriteBytes(base + "/Mod/Mod.ds", "");
    CStringArray names;
    EXPECT_EQ(CRegExt::GetSysDirectory(CString(base.c_str()), names), 1);
    EXPECT_EQ(std::set<std::string>({names[0].str(), names[1].str()}), (std::set<std::string>{"Mod", "Other"}));
    EXPECT_EQ(CRegExt::GetSysDirectory(CString((base + "/Other").c_str()), names), 0);
    EXPECT_EQ(names.GetSize(), 0);
    EXPECT_EQ(CRegExt::CheckModuleName(CString("Mod"), CString(base.c_str()), CString(".ds")), 1);
    EXPECT_EQ(CRegExt::CheckModuleName(CString("mod"), CString(base.c_str()), CString(".ds")), 0);
    EXPECT_EQ(CRegExt::CheckModuleName(CString("Other"), CString(base.c_str()), CString(".ds")), 0);
    EXPECT_EQ(CRegExt::IsFileExist((base + "/Mod/*.ds").c_str()), 1);
    EXPECT_EQ(CRegExt::IsFileExist((base + "/Other/*.ds").c_str()), 0);
    EXPECT_EQ(CRegExt::IsFileExist(nullptr), 0);
}

}  // namespace
