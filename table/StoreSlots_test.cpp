#include <string>
#include <thread>

#include "table/TableTestFixture.h"

namespace qor::table {
namespace {

class StoreSlotsTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        t->pfnFreeStore();  // these tests start without a table store
        t->pfnInitHandle(&root);
    }
    void TearDown() override {
        while (t->pfnUnlock() != 0) {
        }
        t->pfnCloseLock();
        TableTest::TearDown();
    }
    std::string StoreFile(const std::string& name, const std::string& key) const {
        testkit::WriteBytes(folder.File(name),
                            "REGEDIT4\r\n[" + key + "]\r\n\"G\"=dword:00000003\r\n[CINICHECKFILEVALID]\r\n");
        return folder.File(name);
    }
    testkit::ScratchFolder folder;
};

TEST_F(StoreSlotsTest, LockIsRecursiveAndOnlyItsHolderReleasesIt) {
    EXPECT_EQ(t->pfnLock(), 0u);  // no lock yet: nothing to take or release
    EXPECT_EQ(t->pfnUnlock(), 0);
    EXPECT_EQ(t->pfnCreateLock(), 1);
    EXPECT_EQ(t->pfnLock(), 0u);
    EXPECT_EQ(t->pfnLock(), 0u);
    ASSERT_EQ(t->pfnLoad(&root, StoreFile("a.ini", "HKEY_CURRENT_USER\\A").c_str()), 1);
    t->pfnFreeStore();  // takes the held lock once more
    int released = -1;
    std::thread([&] { released = t->pfnUnlock(); }).join();
    EXPECT_EQ(released, 0);
    EXPECT_NE(t->pfnUnlock(), 0);
    EXPECT_NE(t->pfnUnlock(), 0);
    EXPECT_EQ(t->pfnUnlock(), 0);
}

}  // namespace
}  // namespace qor::table
