#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CRegExt.h"
#include "testsupport/StoreRootTestTree.h"

namespace {

using qor::testtree::Slashed;

constexpr const char* kError = "Software\\Company\\Error";

// ROOT1 First holds a product sharing a key with Second's, and one without
// its own .ini file; ROOT2 Second holds the product that names C:\P\Bin,
// one without a trailing separator, one whose root.ini names a key twice,
// one whose key follows another key holding the same value name, and (where
// the host allows such paths) one whose folder exceeds 260 bytes.
class StoreRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string shared = "[SOFTWARE\\COMMON]\r\n\"A\"=\"1\"\r\n";
        tree.AddRootValue(lookup, 1, "First");
        tree.AddRootValue(lookup, 2, "Second");
        tree.AddProduct("First", "Scan", "System Directory", "D:\\Other\\", true, shared);
        tree.AddProduct("First", "Loose", "System Directory", "C:\\Loose\\", false);
        tree.Write("First/Loose/loose.ini", "");
        tree.AddProduct("Second", "Scan", "System Directory", "c:\\p\\bin\\", true,
                        "\"Twain Pathname\"=\"C:\\P\\BIN\\DS.DS\"\r\n" + shared);
        tree.AddProduct("Second", "Cut", "System Directory", "C:\\Cut");
        tree.AddProduct("Second", "Twice", "System Directory", "C:\\Twice\\", true, shared + shared);
        tree.Write("Second/Later/Later.ini", "");
        tree.Write("Second/Later/root.ini",
                   "REGEDIT4\r\n[SOFTWARE\\COMMON]\r\n\"System Directory\"=\"C:\\Else\\\"\r\n"
                   "[SOFTWARE" +
                       tree.Fragment("Second") + "\\Later]\r\n\"System Directory\"=\"C:\\Later\\\"\r\n");
#ifndef _WIN32
        tree.AddProduct("Second", std::string(240, 'L'), "System Directory", "C:\\Long\\");
#endif
        CRegExt::m_pIni = &lookup;
    }
    void TearDown() override { CRegExt::m_pIni = nullptr; }

    std::string Find(unsigned short mode, const char* module) {
        char key[260] = {};
        EXPECT_EQ(object.GetRegRoot(mode, module, key), key);
        return key;
    }

    qor::testtree::AppDataTree tree;
    CIniClass lookup;
    CRegExt object;
};

TEST_F(StoreRootTest, FindsOnlyAProductWhoseOwnRootFileNamesTheModule) {
    using Case = std::tuple<unsigned short, const char*, std::string>;  // sub: the product found in Second, or none
    for (const auto& [mode, module, sub] : std::vector<Case>{{0, "C:\\P\\Bin\\app.exe", "Scan"},
                                                             {1, "c:\\p\\bin\\DS.ds", "Scan"},
                                                             {1, "C:\\P\\Bin\\app.exe", ""},
                                                             {0, "C:\\Loose\\app.exe", ""},
                                                             {0, "C:\\Cut\\app.exe", ""},
                                                             {0, "C:\\Twice\\app.exe", ""},
                                                             {0, "C:\\Later\\app.exe", "Later"},
                                                             {0, "C:\\Else\\app.exe", ""},
                                                             {0, "C:\\Long\\app.exe", ""}}) {
        std::strcpy(CRegExt::m_pSysPath, "untouched");
        const std::string key = "SOFTWARE" + tree.Fragment("Second") + "\\" + sub;
        EXPECT_EQ(Find(mode, module), sub.empty() ? kError : key) << module;
        EXPECT_EQ(Slashed(CRegExt::m_pSysPath), sub.empty() ? "untouched" : tree.Path() + "/Second/" + sub + "/");
    }
    EXPECT_STREQ(object.szKey, "HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVANE CORP\\SCANNER");
    EXPECT_EQ(object.m_fWrite, 1);
}

TEST_F(StoreRootTest, WalkStopsAtTheFirstMissingRootValue) {
    lookup.RemoveValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner", "ROOT1");
    EXPECT_EQ(Find(0, "C:\\P\\Bin\\app.exe"), kError);
}

}  // namespace
