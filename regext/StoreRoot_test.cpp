#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CRegExt.h"
#include "regext/StoreRootTestTree.h"

namespace {

using qor::testtree::AddRootValue;
using qor::testtree::AppDataTree;
using qor::testtree::Slashed;

constexpr const char* kError = "Software\\Company\\Error";

class StoreRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegExt::m_pIni = &lookup;
        std::strcpy(CRegExt::m_pSysPath, "untouched");
    }
    void TearDown() override { CRegExt::m_pIni = nullptr; }

    std::string Find(unsigned short mode, const char* module) {
        char key[260] = {};
        CRegExt object;
        EXPECT_EQ(object.GetRegRoot(mode, module, key), key);
        return key;
    }
    std::string SysPath() const { return Slashed(CRegExt::m_pSysPath); }

    AppDataTree tree;
    CIniClass lookup;
};

TEST_F(StoreRootTest, ModeZeroMatchesModuleFolderIgnoringCaseAndSeparators) {
    AddRootValue(lookup, 1, "\\Vendor\\Scan");
    tree.AddProduct("\\Vendor\\Scan", "Other", "System Directory", "D:\\Elsewhere\\");
    tree.AddProduct("\\Vendor\\Scan", "Mine", "System Directory", "c:\\p\\bin\\");
    EXPECT_EQ(Find(0, "C:\\P\\Bin\\app.exe"), "SOFTWARE\\Vendor\\Scan\\Mine");
    EXPECT_EQ(SysPath(), tree.Path() + "/Vendor/Scan/Mine/");
}

TEST_F(StoreRootTest, ModeZeroFolderWithoutTrailingSeparatorDoesNotMatch) {
    AddRootValue(lookup, 1, "\\Vendor");
    tree.AddProduct("\\Vendor", "Mine", "System Directory", "C:\\P\\Bin");
    EXPECT_EQ(Find(0, "C:\\P\\Bin\\app.exe"), kError);
    EXPECT_EQ(SysPath(), "untouched");
}

TEST_F(StoreRootTest, ModeOneComparesTheWholeModulePathWithTwainPathname) {
    AddRootValue(lookup, 1, "\\Vendor");
    tree.AddProduct("\\Vendor", "Folder", "System Directory", "C:\\P\\Bin\\");
    EXPECT_EQ(Find(1, "C:\\P\\Bin\\ds.ds"), kError);
    tree.AddProduct("\\Vendor", "Twain", "Twain Pathname", "C:\\P\\BIN\\DS.DS");
    EXPECT_EQ(Find(1, "C:\\P\\Bin\\ds.ds"), "SOFTWARE\\Vendor\\Twain");
}

TEST_F(StoreRootTest, SubFolderWithoutItsOwnIniFileIsSkipped) {
    AddRootValue(lookup, 1, "\\Vendor");
    tree.AddProduct("\\Vendor", "Scan", "System Directory", "C:\\P\\", /*withOwnIni=*/false);
    tree.Write("Vendor\\Scan\\scan.ini", "");
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), kError);
    tree.Write("Vendor\\Scan\\Scan.ini", "");
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), "SOFTWARE\\Vendor\\Scan");
}

TEST_F(StoreRootTest, WalkStopsAtFirstMissingRootValue) {
    tree.AddProduct("\\Second", "Scan", "System Directory", "C:\\P\\");
    AddRootValue(lookup, 2, "\\Second");
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), kError);
    AddRootValue(lookup, 1, "\\First");
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), "SOFTWARE\\Second\\Scan");
}

TEST_F(StoreRootTest, WithoutLookupKeyOrStoreNothingIsFound) {
    tree.AddProduct("\\Vendor", "Scan", "System Directory", "C:\\P\\");
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), kError);
    CRegExt::m_pIni = nullptr;
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), kError);
}

TEST_F(StoreRootTest, KeySharedWithAnEarlierCandidateDoesNotHideALaterOne) {
    const std::string shared = "[SOFTWARE\\COMMON]\r\n\"A\"=\"1\"\r\n";
    AddRootValue(lookup, 1, "\\First");
    AddRootValue(lookup, 2, "\\Second");
    tree.AddProduct("\\First", "Scan", "System Directory", "D:\\Other\\", true, shared);
    tree.AddProduct("\\Second", "Scan", "System Directory", "C:\\P\\", true, shared);
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), "SOFTWARE\\Second\\Scan");
}

TEST_F(StoreRootTest, MatchWhoseFolderDoesNotFitTheBufferCountsAsNotFound) {
    AddRootValue(lookup, 1, "\\V");
    const std::string longName(240, 'L');  // folder text beyond 260 bytes, each part within the host's limit
    tree.AddProduct("\\V", longName, "System Directory", "C:\\P\\");
    EXPECT_EQ(Find(0, "C:\\P\\app.exe"), kError);
    EXPECT_EQ(SysPath(), "untouched");
}

TEST_F(StoreRootTest, LeavesTheObjectOnTheWritableLookupKey) {
    AddRootValue(lookup, 1, "\\Vendor");
    CRegExt object;
    char key[260];
    object.GetRegRoot(0, "C:\\P\\app.exe", key);
    EXPECT_STREQ(object.szKey, "HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVANE CORP\\SCANNER");
    EXPECT_EQ(object.m_fWrite, 1);
}

TEST_F(StoreRootTest, GetSysDirectoryListsOnlyFoldersAndEmptiesTheListWhenNone) {
    tree.MakeFolder("Top\\A");
    tree.MakeFolder("Top\\B");
    tree.Write("Top\\file.txt", "x");
    CStringArray names;
    names.Add("kept");
    EXPECT_EQ(CRegExt::GetSysDirectory(CString((tree.Path() + "/Top").c_str()), names), 1);
    ASSERT_EQ(names.GetSize(), 3);
    EXPECT_EQ(names[0], "kept");
    EXPECT_TRUE((names[1] == "A" && names[2] == "B") || (names[1] == "B" && names[2] == "A"));

    EXPECT_EQ(CRegExt::GetSysDirectory(CString((tree.Path() + "/Top/A").c_str()), names), 0);
    EXPECT_EQ(names.GetSize(), 0);
}

TEST_F(StoreRootTest, CheckModuleNameComparesNamesCaseSensitively) {
    const CString folder(tree.Path().c_str());
    tree.Write("A\\A.ini", "");
    tree.Write("B\\b.ini", "");
    tree.MakeFolder("C\\C.ini");
    EXPECT_EQ(CRegExt::CheckModuleName("A", folder, ".ini"), 1);
    EXPECT_EQ(CRegExt::CheckModuleName("B", folder, ".ini"), 0);
    EXPECT_EQ(CRegExt::CheckModuleName("C", folder, ".ini"), 0);  // a folder, not a file
    EXPECT_EQ(CRegExt::CheckModuleName("Missing", folder, ".ini"), 0);
}

TEST_F(StoreRootTest, IsFileExistFindsFilesFoldersAndPatterns) {
    const std::string file = tree.Write("Dir\\f.txt", "x");
    EXPECT_EQ(CRegExt::IsFileExist(file.c_str()), 1);
    EXPECT_EQ(CRegExt::IsFileExist((tree.Path() + "/Dir").c_str()), 1);
    EXPECT_EQ(CRegExt::IsFileExist((tree.Path() + "\\Dir\\*.txt").c_str()), 1);
    EXPECT_EQ(CRegExt::IsFileExist((tree.Path() + "/Dir/*.ini").c_str()), 0);
    EXPECT_EQ(CRegExt::IsFileExist(nullptr), 0);
}

}  // namespace
