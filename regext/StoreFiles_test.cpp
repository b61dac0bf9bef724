#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "CRegExt.h"
#include "regext/StoreRootTestTree.h"

namespace {

using qor::testtree::TempFolder;

class StoreFilesTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete CRegExt::m_pIni;
        CRegExt::m_pIni = nullptr;
    }
    std::string WriteStoreFile(const std::string& name, const std::string& key) const {
        return folder.Write(name, "REGEDIT4\r\n[" + key + "]\r\n\"GAMMA\"=dword:00000003\r\n[CINICHECKFILEVALID]\r\n");
    }
    TempFolder folder;
};

TEST_F(StoreFilesTest, FirstLoadCreatesTheStoreAndAFailedFirstLoadLeavesNone) {
    EXPECT_EQ(CRegExt::Load((folder.Path() + "/missing.ini").c_str()), 0);
    EXPECT_EQ(CRegExt::m_pIni, nullptr);
    EXPECT_EQ(CRegExt::Load(WriteStoreFile("a.ini", "HKEY_CURRENT_USER\\A").c_str()), 1);
    ASSERT_NE(CRegExt::m_pIni, nullptr);
    EXPECT_EQ(CRegExt::m_pIni->KeyExists("HKEY_CURRENT_USER\\A"), 1);
}

TEST_F(StoreFilesTest, LoadAddsToTheStoreAndARejectedLoadKeepsUnsavedValues) {
    const std::string a = WriteStoreFile("a.ini", "HKEY_CURRENT_USER\\A");
    ASSERT_EQ(CRegExt::Load(a.c_str()), 1);
    CRegExt::m_pIni->SetValue("HKEY_CURRENT_USER\\A", "UNSAVED", "<dword>7");
    EXPECT_EQ(CRegExt::Load(WriteStoreFile("b.ini", "HKEY_CURRENT_USER\\B").c_str()), 1);
    EXPECT_EQ(CRegExt::Load(a.c_str()), 0);
    CString text;
    EXPECT_EQ(CRegExt::m_pIni->GetValue("HKEY_CURRENT_USER\\A", "UNSAVED", text), 1);
    EXPECT_EQ(text, "<dword>7");
    EXPECT_EQ(CRegExt::m_pIni->KeyExists("HKEY_CURRENT_USER\\B"), 1);
}

TEST_F(StoreFilesTest, SaveLeavesOutMachineKeysAndReportsTheMarkerCheck) {
    const std::string path = folder.Path() + "/out.ini";
    EXPECT_EQ(CRegExt::Save(path.c_str()), 0);  // no store yet
    CRegExt::m_pIni = new CIniClass();
    CRegExt::m_pIni->SetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\M", "A", "<dword>1");
    CRegExt::m_pIni->SetValue("HKEY_CURRENT_USER\\SOFTWARE\\U", "B", "<dword>2");
    EXPECT_EQ(CRegExt::Save(path.c_str()), 1);
    const std::string text = qor::store::ReadBytes(path);
    EXPECT_EQ(text.find("HKEY_LOCAL_MACHINE"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\U]"), std::string::npos);
    EXPECT_EQ(CRegExt::Save((folder.Path() + "/no/such/folder/out.ini").c_str()), 0);
}

TEST_F(StoreFilesTest, WideFormsConvertAndLoadAndSave) {
    const std::string path = WriteStoreFile("w.ini", "HKEY_CURRENT_USER\\W");
    const std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(CRegExt::LoadW(wide.c_str()), 1);
    const std::wstring saved = wide + L".saved";
    EXPECT_EQ(CRegExt::SaveW(saved.c_str()), 1);
    EXPECT_NE(qor::store::ReadBytes(path + ".saved").find("[HKEY_CURRENT_USER\\W]"), std::string::npos);
}

TEST_F(StoreFilesTest, IsFileValidWorksWithAndWithoutAStore) {
    const std::string good = WriteStoreFile("good.ini", "HKEY_CURRENT_USER\\G");
    const std::string cut = folder.Write("cut.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\G]\r\n");
    EXPECT_EQ(CRegExt::isFileValid(good.c_str()), 1);
    EXPECT_EQ(CRegExt::isFileValid(cut.c_str()), 0);
    CRegExt::m_pIni = new CIniClass();
    EXPECT_EQ(CRegExt::isFileValid(good.c_str()), 1);
    EXPECT_EQ(CRegExt::isFileValid(cut.c_str()), 0);
}

TEST_F(StoreFilesTest, SetLogPathRefusesAPathThatDoesNotFit) {
    CRegExt::SetLogPath("C:\\logs\\scan.log");
    EXPECT_STREQ(CRegExt::m_pPath, "C:\\logs\\scan.log");
    CRegExt::SetLogPath(std::string(260, 'x').c_str());
    EXPECT_STREQ(CRegExt::m_pPath, "C:\\logs\\scan.log");
    CRegExt::SetLogPath(std::string(259, 'y').c_str());
    EXPECT_EQ(std::strlen(CRegExt::m_pPath), 259u);
    CRegExt::SetLogPathW(L"D:\\wide.log");
    EXPECT_STREQ(CRegExt::m_pPath, "D:\\wide.log");
}

TEST_F(StoreFilesTest, GetSysPathReturnsTheStaticBuffer) {
    EXPECT_EQ(CRegExt::GetSysPath(), CRegExt::m_pSysPath);
}

TEST_F(StoreFilesTest, ParseDateGivesEightDigitsAtTheSameAddress) {
    char* first = CRegExt::ParseDate();
    const std::string text = first;
    ASSERT_EQ(text.size(), 8u);
    EXPECT_EQ(text.find_first_not_of("0123456789"), std::string::npos);
    const int month = std::stoi(text.substr(4, 2));
    const int day = std::stoi(text.substr(6, 2));
    EXPECT_TRUE(month >= 1 && month <= 12) << text;
    EXPECT_TRUE(day >= 1 && day <= 31) << text;
    EXPECT_EQ(CRegExt::ParseDate(), first);
    EXPECT_EQ(std::string(CRegExt::ParseDate()), text);
}

TEST_F(StoreFilesTest, GetRandomStaysWithinItsBoundsAndReachesThem) {
    std::srand(7);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int r = CRegExt::GetRandom(0, 9);
        ASSERT_TRUE(r >= 0 && r <= 9) << r;
        seen.insert(r);
        ASSERT_EQ(CRegExt::GetRandom(5, 5), 5);
        const int negative = CRegExt::GetRandom(-3, -1);
        ASSERT_TRUE(negative >= -3 && negative <= -1) << negative;
    }
    EXPECT_EQ(seen.size(), 10u);
}

TEST_F(StoreFilesTest, ExportAndImportWrappersNeedAStore) {
    const std::string path = folder.Path() + "/export.reg";
    CString text;
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("", text), 0);
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("", path.c_str()), 0);
    EXPECT_EQ(CRegExt::ExportFilePellorCase("", path.c_str()), 0);
    EXPECT_EQ(CRegExt::ImportFileTWAINCase(CString("REGEDIT4\r\n[K]\r\n")), 0);

    CRegExt::m_pIni = new CIniClass();
    CRegExt::m_pIni->SetValue("HKEY_CURRENT_USER\\SOFTWARE\\X", "GAMMA", "<dword>3");
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("SOFTWARE\\X", text), 1);
    EXPECT_NE(text.str().find("[HKEY_CURRENT_USER\\SOFTWARE\\X]"), std::string::npos);
    EXPECT_EQ(CRegExt::ExportFileTWAINCase("SOFTWARE\\X", path.c_str()), 1);
    EXPECT_EQ(qor::store::ReadBytes(path), text.str());

    CRegExt::m_pIni->RemoveAll();
    EXPECT_EQ(CRegExt::ImportFileTWAINCase(path.c_str()), 1);
    EXPECT_EQ(CRegExt::m_pIni->KeyExists("HKEY_CURRENT_USER\\SOFTWARE\\X"), 1);
    EXPECT_EQ(CRegExt::ImportFileTWAINCase(CString("REGEDIT4\r\n[HKEY_CURRENT_USER\\Y]\r\n")), 1);
    EXPECT_EQ(CRegExt::m_pIni->KeyExists("HKEY_CURRENT_USER\\Y"), 1);
    const std::string app = folder.Path() + "/app.txt";
    EXPECT_EQ(CRegExt::ExportFilePellorCase("HKEY_CURRENT_USER\\SOFTWARE\\X", app.c_str()), 1);
    EXPECT_NE(qor::store::ReadBytes(app).find("[X]"), std::string::npos);
}

}  // namespace
