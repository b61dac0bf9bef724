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

// import_fuzzer: a byte list whose text ends in a backslash ("<hex>0a,\\")
// was written as a line ending in a backslash after "hex:", which every
// reader joins with the next line: the next value vanished into it, and a
// key after it lost its section line, its values landing in the key above.
// Such a line is now written without the backslashes at its end, in the
// store file and in the export alike.
TEST(FuzzFindings, ByteListEndingInABackslashDoesNotSwallowTheNextLine) {
    CIniClass store;
    store.SetValue("A", "DATA", "<hex>0a,\\");
    store.SetValue("A", "E", "x");
    store.SetValue("A", "HEX:NAME", "C:\\DIR\\");  // no "hex:" on the line: kept as it is
    store.SetValue("A", "Z", "<dword>5");
    store.SetValue("B", "E", "<dword>7");

    const Snapshot expected = {
        {"A", {{"DATA", "<hex>0a,"}, {"E", "x"}, {"HEX:NAME", "C:\\DIR\\"}, {"Z", "<dword>5"}}},
        {"B", {{"E", "<dword>7"}}},
    };
    EXPECT_EQ(SavedAndLoaded(store), expected);
    const Snapshot afterImport = ExportedAndImported(store);
    EXPECT_EQ(afterImport.at("A").size(), 4u);
    EXPECT_EQ(afterImport.at("B").at("E"), "<dword>7");
}

}  // namespace
}  // namespace qor::reliability
