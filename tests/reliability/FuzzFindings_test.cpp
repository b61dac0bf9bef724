// Inputs the fuzz harnesses (fuzz/) found to break a property, kept as
// ordinary tests so that the fault stays fixed in every build.
#include <gtest/gtest.h>

#include "CRegExt.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

// import_fuzzer: an imported section [CINICHECKFILEVALID] is a key like any
// other, but the store file uses the same line as its end marker. Written
// as it is, the key vanished on the next load and its values were added to
// the key before it, replacing values of the same name there.
TEST(FuzzFindings, KeyNamedLikeTheEndMarkerKeepsItsValuesThroughSaveAndLoad) {
    CIniClass store;
    ASSERT_EQ(store.ImportText(CString("REGEDIT4\r\n[A]\r\n\"GAMMA\"=dword:00000007\r\n"
                                       "[CINICHECKFILEVALID]\r\n\"GAMMA\"=dword:00000009\r\n")),
              1);
    const Snapshot imported = SnapshotOf(store);
    ASSERT_EQ(imported.at("CINICHECKFILEVALID").at("GAMMA"), "<dword>9");

    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(store.IsFileValid(path.c_str()), 1);
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
    EXPECT_EQ(SnapshotOf(loaded), imported);
}

// load_file_fuzzer: a store file may name that key as [[CINICHECKFILEVALID]
// (every leading "[" is stripped); saving what was loaded must keep it.
TEST(FuzzFindings, MarkerKeyReadFromAStoreFileSavesAndLoadsAgain) {
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    WriteBytes(path,
               "REGEDIT4\r\n[A]\r\n\"X\"=dword:00000001\r\n[[CINICHECKFILEVALID]\r\n\"X\"=dword:00000002\r\n"
               "[CINICHECKFILEVALID]\r\n");
    CIniClass store;
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    const Snapshot loaded = SnapshotOf(store);
    ASSERT_EQ(loaded.size(), 2u);
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    CIniClass again;
    ASSERT_EQ(again.LoadFile(path.c_str()), 1);
    EXPECT_EQ(SnapshotOf(again), loaded);
}

}  // namespace
}  // namespace qor::reliability
