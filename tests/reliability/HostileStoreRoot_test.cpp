// The store-root search over product trees that are broken: ROOT values
// naming missing folders, absurdly long ROOT values, link loops among the
// product folders, and no application-data folder at all. The search skips
// what it cannot use, still finds a good product after it, and never writes
// past its 260-byte buffers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "CRegExt.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

constexpr const char* kLookupKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVANE CORP\\SCANNER";
constexpr const char* kNotFound = "Software\\Company\\Error";

// The path with '\\' turned into the host's '/', as the library reads it.
std::string HostPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

class HostileStoreRoot : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QOR_COMMON_APPDATA", appData.Path().c_str(), 1);
        module = appData.File("bin/app.exe");
        CRegExt::m_pIni = store;
        std::strcpy(CRegExt::m_pSysPath, "previous");
    }
    void TearDown() override {
        ::unsetenv("QOR_COMMON_APPDATA");
        CRegExt().Delete();
    }

    // A product below appData + fragment whose root.ini names the module's folder.
    void AddProduct(const std::string& fragment, const std::string& product) {
        const std::string folder = HostPath(appData.Path() + fragment + "/" + product);
        std::filesystem::create_directories(folder);
        WriteBytes(folder + "/" + product + ".ini", "");
        WriteBytes(folder + "/root.ini", "REGEDIT4\r\n[SOFTWARE" + fragment + "\\" + product +
                                             "]\r\n\"System Directory\"=\"" + appData.File("bin/") +
                                             "\"\r\n[CINICHECKFILEVALID]\r\n");
    }
    void SetRoot(int index, const std::string& fragment) {
        store->SetValue(kLookupKey, ("ROOT" + std::to_string(index)).c_str(), ("<string>" + fragment).c_str());
    }
    // The class's answer; the table's is the same search (tests/parity).
    std::string Found() {
        char key[260];
        return CRegExt().GetRegRoot(0, module.c_str(), key);
    }

    ScratchFolder appData;
    std::string module;
    CIniClass* store = new CIniClass;
};

TEST_F(HostileStoreRoot, RootNamingAMissingFolderIsSkipped) {
    SetRoot(1, "\\Missing Corp\\Nothing");
    SetRoot(2, "\\Orvane");
    AddProduct("\\Orvane", "Good");
    EXPECT_EQ(Found(), "SOFTWARE\\Orvane\\Good");
}

TEST_F(HostileStoreRoot, WithoutTheApplicationDataFolderNothingIsFound) {
    SetRoot(1, "\\Orvane");
    AddProduct("\\Orvane", "Good");
    ::setenv("QOR_COMMON_APPDATA", appData.File("gone").c_str(), 1);
    EXPECT_EQ(Found(), kNotFound);
    EXPECT_STREQ(CRegExt::m_pSysPath, "previous");
}

TEST_F(HostileStoreRoot, LinkLoopsAmongProductFoldersAreSkipped) {
    SetRoot(1, "\\Orvane");
    AddProduct("\\Orvane", "Good");
    const std::string products = appData.Path() + "/Orvane";
    ASSERT_EQ(::symlink((products + "/Loop").c_str(), (products + "/Loop").c_str()), 0);
    ASSERT_EQ(::symlink(products.c_str(), (products + "/Up").c_str()), 0);
    ASSERT_EQ(::symlink(".", (products + "/Self").c_str()), 0);
    EXPECT_EQ(Found(), "SOFTWARE\\Orvane\\Good");
}

TEST_F(HostileStoreRoot, AbsurdlyLongRootValuesNeverOverflowTheBuffers) {
    SetRoot(1, "\\" + std::string(100000, 'R'));
    // A real folder whose key and folder texts pass 259 characters.
    const std::string longFragment = "\\" + std::string(250, 'F');
    SetRoot(2, longFragment);
    AddProduct(longFragment, "Good");
    EXPECT_EQ(Found(), kNotFound);
    EXPECT_STREQ(CRegExt::m_pSysPath, "previous");

    SetRoot(3, "\\Orvane");
    AddProduct("\\Orvane", "Good");
    EXPECT_EQ(Found(), "SOFTWARE\\Orvane\\Good");
}

}  // namespace
}  // namespace qor::reliability
