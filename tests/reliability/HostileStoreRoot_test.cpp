// The store-root search over broken product trees: it skips what it cannot
// use and finds a good product after it. (Missing folders and overlong ROOT
// values: the parity test and regext/StoreRoot_test.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "CRegExt.h"
#include "testsupport/StoreRootTestTree.h"

namespace qor::reliability {
namespace {

constexpr const char* kNotFound = "Software\\Company\\Error";

class HostileStoreRoot : public ::testing::Test {
protected:
    void SetUp() override {
        CRegExt::m_pIni = store;
        std::strcpy(CRegExt::m_pSysPath, "previous");
    }
    void TearDown() override { CRegExt().Delete(); }

    // folder\Good, whose root.ini names the module's folder, and its product key.
    std::string AddProduct(const std::string& folder) {
        tree.AddProduct(folder, "Good", "System Directory", tree.Path() + "/bin/");
        return "SOFTWARE" + tree.Fragment(folder) + "\\Good";
    }
    // The class's answer; the table's is the same search (tests/parity).
    std::string Found() {
        char key[260];
        return CRegExt().GetRegRoot(0, module.c_str(), key);
    }

    testtree::AppDataTree tree;
    const std::string module = tree.Path() + "/bin/app.exe";
    CIniClass* store = new CIniClass;
};

TEST_F(HostileStoreRoot, WithoutTheApplicationDataFolderNothingIsFound) {
    tree.AddRootValue(*store, 1, "Orvane");
    AddProduct("Orvane");
    const std::string appData = std::getenv("QOR_COMMON_APPDATA");
    ::setenv("QOR_COMMON_APPDATA", (tree.Path() + "/gone").c_str(), 1);
    EXPECT_EQ(Found(), kNotFound);
    EXPECT_STREQ(CRegExt::m_pSysPath, "previous");
    ::setenv("QOR_COMMON_APPDATA", appData.c_str(), 1);  // for the tree's removal
}

TEST_F(HostileStoreRoot, LinkLoopsAmongProductFoldersAreSkipped) {
    tree.AddRootValue(*store, 1, "Orvane");
    const std::string good = AddProduct("Orvane");
    const std::string products = tree.Path() + "/Orvane";
    ASSERT_EQ(::symlink((products + "/Loop").c_str(), (products + "/Loop").c_str()), 0);
    ASSERT_EQ(::symlink(products.c_str(), (products + "/Up").c_str()), 0);
    ASSERT_EQ(::symlink(".", (products + "/Self").c_str()), 0);
    EXPECT_EQ(Found(), good);
}

}  // namespace
}  // namespace qor::reliability
