#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "regext/StoreRootTestTree.h"
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
    std::string WriteStoreFile(const std::string& name, const std::string& key) const {
        return folder.Write(name, "REGEDIT4\r\n[" + key + "]\r\n\"GAMMA\"=dword:00000003\r\n[CINICHECKFILEVALID]\r\n");
    }
    qor::testtree::TempFolder folder;
};

TEST_F(StoreSlotsTest, FailedFirstLoadLeavesNoStoreAndALaterLoadAttachesOne) {
    std::strcpy(root.szKey, "KEEP");
    EXPECT_EQ(t->pfnLoad(&root, (folder.Path() + "/missing.ini").c_str()), 0);
    EXPECT_EQ(TableStore(), nullptr);
    EXPECT_EQ(root.pIni, nullptr);
    EXPECT_EQ(t->pfnLoad(&root, WriteStoreFile("a.ini", "HKEY_CURRENT_USER\\A").c_str()), 1);
    ASSERT_NE(TableStore(), nullptr);
    EXPECT_EQ(root.pIni, TableStore());
    EXPECT_STREQ(root.szKey, "KEEP");
    EXPECT_EQ(TableStore()->KeyExists("HKEY_CURRENT_USER\\A"), 1);
}

TEST_F(StoreSlotsTest, LoadNamingAHeldKeyFailsAndKeepsTheStore) {
    const std::string a = WriteStoreFile("a.ini", "HKEY_CURRENT_USER\\A");
    ASSERT_EQ(t->pfnLoad(&root, a.c_str()), 1);
    TableStore()->SetValue("HKEY_CURRENT_USER\\A", "UNSAVED", "<dword>1");
    tagRegHandle other;
    t->pfnInitHandle(&other);
    EXPECT_EQ(t->pfnLoad(&other, a.c_str()), 0);
    EXPECT_EQ(other.pIni, nullptr);
    CString text;
    EXPECT_EQ(TableStore()->GetValue("HKEY_CURRENT_USER\\A", "UNSAVED", text), 1);
}

TEST_F(StoreSlotsTest, SaveWritesEveryKeyAndReportsTheMarkerCheck) {
    const std::string path = folder.Path() + "/out.ini";
    EXPECT_EQ(t->pfnSave(&root, path.c_str()), 0);  // no store on the handle
    ASSERT_EQ(t->pfnLoad(&root, WriteStoreFile("m.ini", "HKEY_LOCAL_MACHINE\\SOFTWARE\\M").c_str()), 1);
    EXPECT_EQ(t->pfnSave(&root, path.c_str()), 1);
    const std::string text = qor::store::ReadBytes(path);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\M]"), std::string::npos);
    EXPECT_EQ(t->pfnSave(&root, (folder.Path() + "/no/such/out.ini").c_str()), 0);
}

TEST_F(StoreSlotsTest, IsFileValidNeedsNoStore) {
    const std::string good = WriteStoreFile("g.ini", "HKEY_CURRENT_USER\\G");
    const std::string cut = folder.Write("c.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\G]\r\n");
    EXPECT_EQ(t->pfnIsFileValid(&root, good.c_str()), 1);
    EXPECT_EQ(t->pfnIsFileValid(nullptr, good.c_str()), 1);
    EXPECT_EQ(t->pfnIsFileValid(&root, cut.c_str()), 0);
}

TEST_F(StoreSlotsTest, AttachRegExtSharesTheStoreAndAnOpenKey) {
    CIniClass shared;
    CRegExt::m_pIni = &shared;
    CRegExt object;
    std::strcpy(object.szKey, "HKEY_CURRENT_USER\\X");
    object.m_fWrite = 1;
    EXPECT_EQ(t->pfnAttachRegExt(&object, &root), 1);
    EXPECT_EQ(TableStore(), &shared);
    EXPECT_EQ(root.pIni, &shared);
    EXPECT_STREQ(root.szKey, "HKEY_CURRENT_USER\\X");
    EXPECT_EQ(root.fWrite, 1);

    std::strcpy(object.szKey, "NOBACKSLASH");
    EXPECT_EQ(t->pfnAttachRegExt(&object, &root), 1);
    EXPECT_STREQ(root.szKey, "");
    EXPECT_EQ(root.fWrite, 0);

    CRegExt::m_pIni = nullptr;
    EXPECT_EQ(t->pfnAttachRegExt(nullptr, &root), 1);
    EXPECT_EQ(TableStore(), nullptr);
    EXPECT_EQ(root.pIni, nullptr);
}

TEST_F(StoreSlotsTest, FreeingASharedStoreClearsBothFacades) {
    ASSERT_EQ(t->pfnLoad(&root, WriteStoreFile("a.ini", "HKEY_CURRENT_USER\\A").c_str()), 1);
    CRegExt::m_pIni = TableStore();
    t->pfnFreeStore();
    EXPECT_EQ(TableStore(), nullptr);
    EXPECT_EQ(CRegExt::m_pIni, nullptr);

    CIniClass classOnly;
    CRegExt::m_pIni = &classOnly;
    ASSERT_EQ(t->pfnLoad(&root, WriteStoreFile("b.ini", "HKEY_CURRENT_USER\\B").c_str()), 1);
    t->pfnFreeStore();
    EXPECT_EQ(CRegExt::m_pIni, &classOnly);
}

TEST_F(StoreSlotsTest, DeletingTheClassStoreClearsTheTableStoreWhenShared) {
    ASSERT_EQ(CRegExt::Load(WriteStoreFile("a.ini", "HKEY_CURRENT_USER\\A").c_str()), 1);
    EXPECT_EQ(t->pfnAttachRegExt(nullptr, &root), 1);
    ASSERT_EQ(TableStore(), CRegExt::m_pIni);
    CRegExt object;
    object.Delete();
    EXPECT_EQ(CRegExt::m_pIni, nullptr);
    EXPECT_EQ(TableStore(), nullptr);
}

TEST_F(StoreSlotsTest, GetRegRootBufferIsOneBufferWhateverItsArgument) {
    int ignored = 0;
    EXPECT_EQ(t->pfnGetRegRootBuffer(nullptr), t->pfnGetRegRootBuffer(&ignored));
    EXPECT_EQ(t->pfnGetRegRootBuffer(nullptr), RootPathBuffer());
}

class LockSlotsTest : public TableTest {
protected:
    void TearDown() override {
        while (t->pfnUnlock() != 0) {
        }
        t->pfnCloseLock();
        TableTest::TearDown();
    }
};

TEST_F(LockSlotsTest, WithoutALockEverySlotReturnsZeroAtOnce) {
    EXPECT_EQ(t->pfnLock(), 0u);
    EXPECT_EQ(t->pfnUnlock(), 0);
    EXPECT_EQ(t->pfnCloseLock(), 0);
    t->pfnFreeStore();  // no lock to take
    EXPECT_EQ(TableStore(), nullptr);
}

TEST_F(LockSlotsTest, CreateLockMakesOneLockUntilClosed) {
    EXPECT_EQ(t->pfnCreateLock(), 1);
    platform::ProcessLock* first = TableLock();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(t->pfnCreateLock(), 1);
    EXPECT_EQ(TableLock(), first);
    EXPECT_NE(t->pfnCloseLock(), 0);
    EXPECT_EQ(TableLock(), nullptr);
    EXPECT_EQ(t->pfnCreateLock(), 1);
    EXPECT_NE(TableLock(), nullptr);
}

TEST_F(LockSlotsTest, LockIsRecursiveAndEveryTakeNeedsItsRelease) {
    t->pfnCreateLock();
    EXPECT_EQ(t->pfnLock(), 0u);
    EXPECT_EQ(t->pfnLock(), 0u);
    t->pfnFreeStore();  // takes the lock once more inside
    EXPECT_EQ(TableStore(), nullptr);
    int otherRelease = -1;
    std::thread([&] { otherRelease = t->pfnUnlock(); }).join();
    EXPECT_EQ(otherRelease, 0);
    EXPECT_NE(t->pfnUnlock(), 0);
    int takenElsewhere = -1;
    std::thread([&] { otherRelease = t->pfnUnlock(); }).join();
    EXPECT_EQ(otherRelease, 0);
    EXPECT_NE(t->pfnUnlock(), 0);
    EXPECT_EQ(t->pfnUnlock(), 0);
    std::thread([&] {
        takenElsewhere = static_cast<int>(t->pfnLock());
        t->pfnUnlock();
    }).join();
    EXPECT_EQ(takenElsewhere, 0);
}

TEST_F(LockSlotsTest, LockSerialisesThreadsOfTheProcess) {
    t->pfnCreateLock();
    long counter = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int n = 0; n < 5000; ++n) {
                t->pfnLock();
                const long seen = counter;
                std::this_thread::yield();
                counter = seen + 1;
                t->pfnUnlock();
            }
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(counter, 20000);
}

}  // namespace
}  // namespace qor::table
