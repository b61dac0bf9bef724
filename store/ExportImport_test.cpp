#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CIniClass.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace qor::store {
using namespace qor::testkit;
namespace {

using Texts = std::vector<std::string>;
constexpr const char* kX = "HKEY_CURRENT_USER\\SOFTWARE\\X";
const std::string kTwainHeader = "REGEDIT4\r\n[TWAIN Export]\r\nTWAIN_EXPORT=dword:00000001\r\n";

std::string Exported(CIniClass& store, const char* filter) {
    CString out("left over");
    EXPECT_EQ(store.ExportText(filter, out), 1);
    return out.str();
}

TEST(ExportTest, TwainExportReadsDwordTextsAsAtoiAndHasNoMarker) {
    // stored text, field exported
    const std::pair<const char*, const char*> cases[] = {
        {"<dword>-1", "dword:ffffffff"},
        {"<dword>1.500000", "dword:00000001"},
        {"<dword>4294967297", "dword:00000001"},
        {"<dword>0x1F", "dword:00000000"},
        {"<string>a\"b\\\\c", "\"a\"b\\\\c\""},
        {"<hex>01,cc", "hex:01,cc"},
        {"raw", "raw"},
    };
    for (const auto& [stored, field] : cases) {
        CIniClass store;
        store.SetValue(kX, "V", stored);
        EXPECT_EQ(Exported(store, ""), kTwainHeader + "[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n\"V\"=" + field + "\r\n")
            << stored;
    }
}

TEST(ExportTest, FilterSelectsKeysContainingItCaseSensitively) {
    CIniClass store;
    for (const char* key :
         {kX, "HKEY_CURRENT_USER\\SOFTWARE\\XY", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Z", "HKEY_CURRENT_USER\\OTHER"})
        store.AddKey(key);
    EXPECT_EQ(Exported(store, "software\\x"), kTwainHeader);
    EXPECT_EQ(Exported(store, "SOFTWARE\\X"),
              kTwainHeader +
                  "[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n[HKEY_CURRENT_USER\\SOFTWARE\\XY]\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Z]\r\n");
    ScratchFolder folder;
    ASSERT_EQ(store.ExportFile("OTHER", folder.File("export.reg").c_str()), 1);
    EXPECT_EQ(ReadBytes(folder.File("export.reg")), kTwainHeader + "[HKEY_CURRENT_USER\\OTHER]\r\n");
}

TEST(ExportTest, AppExportWritesRelativeKeysAndUnprefixedTextsAppendingEachTime) {
    ScratchFolder folder;
    CIniClass store;
    store.SetValue(kX, "S", "<string>abc");
    store.SetValue(kX, "D", "<dword>3");
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\X\\Y", "H", "<hex>01,02");
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\XY", "R", "raw<dword>");
    store.AddKey("HKEY_CURRENT_USER\\SOFTWARE\\X\\HKEY_CURRENT_USER\\SOFTWARE\\Z");
    store.AddKey("HKEY_CURRENT_USER\\OTHER");
    const std::string path = folder.File("app.reg");
    const std::string once =
        "[X]\r\n\"D\"=3\r\n\"S\"=abc\r\n[XY]\r\n\"R\"=raw<dword>\r\n[X\\Z]\r\n[X\\Y]\r\n\"H\"=01,02\r\n";
    ASSERT_EQ(store.ExportAppFile(kX, path.c_str()), 1);
    ASSERT_EQ(store.ExportAppFile(kX, path.c_str()), 1);
    ASSERT_EQ(store.ExportAppFile("OTHER", path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), once + once + "[HKEY_CURRENT_USER\\OTHER]\r\n");
}

TEST(ImportTest, MergesIntoExistingKeysAndGivesNoOtherLineAMeaning) {
    CIniClass store;
    store.SetValue(kX, "KEEP", "<dword>1");
    store.SetValue(kX, "SAME", "<dword>2");
    EXPECT_EQ(store.ImportText(CString("")), 0);
    EXPECT_EQ(store.ImportText(CString("[K]")), 1);
    ASSERT_EQ(
        store.ImportText(CString(
            "[hkey_current_user\\software\\x]\r\n\"same\"=dword:9\r\n[CINICHECKFILEVALID]\r\n[-K]\r\n"
            "@=\"\\\\\\\\server\"\r\n\"E\"=hex(2):41,00\r\n[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n\"NEW\"=hex:01\r\n")),
        1);
    EXPECT_EQ(StoreLines(store),
              (Texts{"[-K]", "@ = <string>\\\\server", "E = hex(2):41,00", "[CINICHECKFILEVALID]",
                     "[HKEY_CURRENT_USER\\SOFTWARE\\X]", "KEEP = <dword>1", "NEW = <hex>01", "SAME = <dword>9"}));
}

// The UTF-16LE form of an ASCII text, with its byte-order mark.
std::string Utf16LeOf(std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes.append({c, '\0'});
    return bytes;
}

const std::string kEightBitExport =
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.scan]\r\n@=\"C:\\\\Scans\\\\Out\"\r\n"
    "\"Q\"=\"say \\\"hi\\\"\"\r\n\"N\"=dword:fffffff6\r\n\"E\"=hex(2):25,00,41,00,\\\r\n  00,00\r\n\r\n";

TEST(ImportTest, MarkedTextsImportAsTheirEightBitText) {
    CIniClass plain;
    ASSERT_EQ(plain.ImportText(CString(kEightBitExport)), 1);
    ASSERT_EQ(StoreLines(plain), (Texts{"[HKEY_CLASSES_ROOT\\.SCAN]", "@ = <string>C:\\Scans\\Out",
                                        "E = hex(2):25,00,41,00,00,00", "N = <dword>-10", "Q = <string>say \"hi\""}));
    ScratchFolder folder;
    for (const std::string& marked : {Utf16LeOf(kEightBitExport), "\xEF\xBB\xBF" + kEightBitExport}) {
        CIniClass fromText, fromFile;
        EXPECT_EQ(fromText.ImportText(CString(marked)), 1);
        EXPECT_EQ(StoreLines(fromText), StoreLines(plain));
        WriteBytes(folder.File("in.reg"), marked);
        EXPECT_EQ(fromFile.ImportFile(folder.File("in.reg").c_str()), 1);
        EXPECT_EQ(StoreLines(fromFile), StoreLines(plain));
    }
#ifndef _WIN32
    CIniClass accented;
    ASSERT_EQ(accented.ImportText(CString(Utf16LeOf("[K]\r\n\"A\"=\"Caf") + std::string("\xe9\0\"\0\r\0\n\0", 8))), 1);
    EXPECT_EQ(ValueOf(accented, "K", "A"), "<string>Caf\xc3\xa9");
#endif
}

TEST(ImportTest, UnconvertibleUtf16ImportsNothing) {
    const std::string good = Utf16LeOf("[K]\r\n\"A\"=\"x\"\r\n");
    ScratchFolder folder;
    for (const std::string& broken :
         {good + "B", good + std::string("\x34\xd8\r\0\n\0", 6), good + std::string("\x1e\xdd", 2)}) {
        CIniClass store;
        store.SetValue("K", "B", "<dword>1");
        EXPECT_EQ(store.ImportText(CString(broken)), 0);
        WriteBytes(folder.File("in.reg"), broken);
        EXPECT_EQ(store.ImportFile(folder.File("in.reg").c_str()), 0);
        EXPECT_EQ(StoreLines(store), (Texts{"[K]", "B = <dword>1"}));
    }
}

}  // namespace
}  // namespace qor::store
