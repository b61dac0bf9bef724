#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CIniClass.h"
#include "store/StoreTestSupport.h"

namespace qor::store {
namespace {

constexpr const char* kX = "HKEY_CURRENT_USER\\SOFTWARE\\X";
constexpr const char* kTwainHeader = "REGEDIT4\r\n[TWAIN Export]\r\nTWAIN_EXPORT=dword:00000001\r\n";

std::string Exported(CIniClass& store, const char* filter) {
    CString out("left over");
    EXPECT_EQ(store.ExportText(filter, out), 1);
    return out.str();
}

TEST(ExportTextTest, WritesTheTwainHeaderThenMatchingKeysWithoutMarker) {
    CIniClass store;
    store.SetValue(kX, "GAMMA", "<dword>3");
    EXPECT_EQ(Exported(store, ""), std::string(kTwainHeader) + "[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n\"GAMMA\"=dword:00000003\r\n");
    CIniClass empty;
    EXPECT_EQ(Exported(empty, nullptr), kTwainHeader);
}

TEST(ExportTextTest, FieldsReadDwordTextsAsAtoi) {
    struct Case {
        const char* stored;
        const char* field;
    } cases[] = {
        {"<dword>-1", "dword:ffffffff"},
        {"<dword>1.500000", "dword:00000001"},
        {"<dword>4294967295", "dword:ffffffff"},
        {"<dword>4294967296", "dword:00000000"},
        {"<dword>4294967297", "dword:00000001"},
        {"<dword>0x1F", "dword:00000000"},
        {"<string>a\"b\\\\c", "\"a\"b\\\\c\""},
        {"<hex>01,cc", "hex:01,cc"},
        {"raw", "raw"},
    };
    for (const Case& c : cases) {
        CIniClass store;
        store.SetValue("K", "V", c.stored);
        EXPECT_EQ(Exported(store, ""), std::string(kTwainHeader) + "[K]\r\n\"V\"=" + c.field + "\r\n") << c.stored;
    }
}

TEST(ExportTextTest, FilterSelectsKeysContainingItCaseSensitively) {
    CIniClass store;
    for (const char* key : {kX, "HKEY_CURRENT_USER\\SOFTWARE\\XY", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Z", "HKEY_CURRENT_USER\\OTHER"}) store.AddKey(key);
    EXPECT_EQ(Exported(store, "software\\x"), kTwainHeader);
    EXPECT_EQ(Exported(store, "SOFTWARE\\X"), std::string(kTwainHeader) +
                                                   "[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n[HKEY_CURRENT_USER\\SOFTWARE\\XY]\r\n"
                                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Z]\r\n");
}

TEST(ExportFileTest, WritesTheExportTextOrFailsWithoutTouchingTheTarget) {
    TempFolder folder;
    CIniClass store;
    store.SetValue(kX, "NAME", "<string>abc");
    const std::string path = folder.File("export.reg");
    WriteBytes(path, "older and longer contents than the export");
    ASSERT_EQ(store.ExportFile("", path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), Exported(store, ""));
    EXPECT_EQ(store.ExportFile("", folder.File("missing/export.reg").c_str()), 0);
    EXPECT_EQ(store.ExportFile("", folder.File("").c_str()), 0);
    EXPECT_EQ(store.ExportFile("", nullptr), 0);
}

TEST(ExportAppFileTest, WritesRelativeKeysAndUnprefixedTextsAppendingEachTime) {
    TempFolder folder;
    CIniClass store;
    store.SetValue(kX, "S", "<string>abc");
    store.SetValue(kX, "D", "<dword>3");
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\X\\Y", "H", "<hex>01,02");
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\XY", "R", "raw<dword>");
    store.AddKey("HKEY_CURRENT_USER\\SOFTWARE\\X\\HKEY_CURRENT_USER\\SOFTWARE\\Z");
    store.AddKey("HKEY_CURRENT_USER\\OTHER");
    const std::string path = folder.File("app.reg");
    ASSERT_EQ(store.ExportAppFile("HKEY_CURRENT_USER\\SOFTWARE\\X", path.c_str()), 1);
    const std::string once =
        "[X]\r\n\"D\"=3\r\n\"S\"=abc\r\n"
        "[XY]\r\n\"R\"=raw<dword>\r\n"
        "[X\\Z]\r\n"
        "[X\\Y]\r\n\"H\"=01,02\r\n";
    EXPECT_EQ(ReadBytes(path), once);
    ASSERT_EQ(store.ExportAppFile("HKEY_CURRENT_USER\\SOFTWARE\\X", path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), once + once);
}

TEST(ExportAppFileTest, FilterWithoutBackslashKeepsWholeKeysAndEmptyFilterTakesAll) {
    TempFolder folder;
    CIniClass store;
    store.AddKey("A\\B");
    store.AddKey("C");
    const std::string path = folder.File("app.reg");
    ASSERT_EQ(store.ExportAppFile("B", path.c_str()), 1);
    ASSERT_EQ(store.ExportAppFile("", path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), "[A\\B]\r\n[A\\B]\r\n[C]\r\n");
    EXPECT_EQ(store.ExportAppFile("", folder.File("missing/app.reg").c_str()), 0);
}

TEST(ImportTest, EmptyTextFailsAndTextWithoutLineEndChangesNothing) {
    CIniClass store;
    EXPECT_EQ(store.ImportText(CString("")), 0);
    EXPECT_EQ(store.ImportText(CString("REGEDIT4")), 1);
    EXPECT_EQ(store.ImportText(CString("[K]")), 1);
    EXPECT_TRUE(AllKeysOf(store).empty());
}

TEST(ImportTest, ImportedTwainExportAddsItsHeaderKeyAndEveryExportedValue) {
    CIniClass source;
    source.SetValue(kX, "GAMMA", "<dword>-7");
    source.SetValue(kX, "NAME", "<string>C:\\scan");
    source.SetValue(kX, "DATA", "<hex>00,cc,ff");
    source.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\X\\SUB", "EMPTY", "<string>");
    CIniClass target;
    ASSERT_EQ(target.ImportText(CString(Exported(source, ""))), 1);
    EXPECT_EQ(ValueOf(target, "TWAIN EXPORT", "TWAIN_EXPORT"), "<dword>1");
    target.DeleteSubtree("TWAIN EXPORT");
    EXPECT_EQ(SnapshotOf(target), SnapshotOf(source));
}

TEST(ImportTest, MergesIntoExistingKeysAndRepeatedSections) {
    CIniClass store;
    store.SetValue(kX, "KEEP", "<dword>1");
    store.SetValue(kX, "SAME", "<dword>2");
    ASSERT_EQ(store.ImportText(CString("REGEDIT4\r\n[hkey_current_user\\software\\x]\r\n\"same\"=dword:00000009\r\n"
                                       "[K]\r\n\"A\"=\"1\"\r\n[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n\"NEW\"=hex:01\r\n[k]\r\n\"A\"=\"2\"\r\n")),
              1);
    EXPECT_EQ(LinesOf(store, kX), (std::vector<std::string>{"KEEP = <dword>1", "NEW = <hex>01", "SAME = <dword>9"}));
    EXPECT_EQ(LinesOf(store, "K"), std::vector<std::string>{"A = <string>2"});
}

TEST(ImportTest, OnlySectionsValuesAndThreeFieldFormsMeanAnything) {
    CIniClass store;
    ASSERT_EQ(store.ImportText(CString("[CINICHECKFILEVALID]\r\n\"A\"=dword:1\r\n[-HKEY_CURRENT_USER\\GONE]\r\n@=\"default\"\r\n"
                                       "\"EXPAND\"=hex(2):41,00\r\n\"UNC\"=\"\\\\\\\\server\\\\share\"\r\n")),
              1);
    EXPECT_EQ(ValueOf(store, "CINICHECKFILEVALID", "A"), "<dword>1");
    EXPECT_EQ(ValueOf(store, "-HKEY_CURRENT_USER\\GONE", "@"), "<string>default");
    EXPECT_EQ(ValueOf(store, "-HKEY_CURRENT_USER\\GONE", "EXPAND"), "hex(2):41,00");
    EXPECT_EQ(ValueOf(store, "-HKEY_CURRENT_USER\\GONE", "UNC"), "<string>\\\\server\\share");
}

TEST(ImportTest, FileImportReadsTheWholeFileOrFailsWhenItCannot) {
    TempFolder folder;
    CIniClass store;
    const std::string path = folder.File("in.reg");
    WriteBytes(path, "");
    EXPECT_EQ(store.ImportFile(path.c_str()), 1);
    WriteBytes(path, "REGEDIT4\n[K]\n\"A\"=\"x\"\n");
    EXPECT_EQ(store.ImportFile(path.c_str()), 1);
    EXPECT_EQ(ValueOf(store, "K", "A"), "<string>x");
    EXPECT_EQ(store.ImportFile(folder.File("missing.reg").c_str()), 0);
    EXPECT_EQ(store.ImportFile(nullptr), 0);
    EXPECT_EQ(AllKeysOf(store), std::vector<std::string>{"K"});
}

}  // namespace
}  // namespace qor::store
