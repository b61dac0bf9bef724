#include "store/RegeditFile.h"

#include <gtest/gtest.h>

#include "CRegeditFile.h"
#include "platform/Platform.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace qor::store {
namespace {

// What regedit's lines are stored as, one line each, under [HKEY_CURRENT_USER\X].
TEST(RegeditFile, ReadsEachDataFormWithRegeditsEscapes) {
    using Case = std::tuple<const char*, const char*, const char*>;  // line, name (null: skipped), stored
    const Case kCases[] = {
        {"\"Path\"=\"C:\\\\Scans\\\\Out\"", "PATH", "<string>C:\\Scans\\Out"},
        {"\"Unc\"=\"\\\\\\\\server\\\\share\"", "UNC", "<string>\\\\server\\share"},
        {"\"Say\"=\"a \\\"b\\\"\"", "SAY", "<string>a \"b\""},
        {"\"Say \\\"hi\\\"\"=\"x\"", nullptr, nullptr},  // the store file reads such a name otherwise
        {"\"Lone\"=\"a\\b\"", "LONE", "<string>ab"},
        {"@=\"default\"", "@", "<string>default"},
        {"\"Empty\"=\"\"", "EMPTY", "<string>"},
        {"\"D\"=dword:fffffff6", "D", "<dword>-10"},
        {"\"Short\"=dword:1F", "SHORT", "<dword>31"},
        {"\"Bytes\"=hex:00,cc,FF", "BYTES", "<hex>00,cc,ff"},
        {"\"None\"=hex:", "NONE", "<hex>"},
        {"\"Expand\"=hex(2):25,00,00,00", "EXPAND", "hex(2):25,00,00,00"},
        {"\"Continued\"=hex:01,02,\\\r\n  03,04", "CONTINUED", "<hex>01,02,03,04"},
        {"\"Bad\"=dword:123456789", nullptr, nullptr},
        {"\"Bad\"=hex:1,xyz", nullptr, nullptr},
        {"\"Bad\"=\"open", nullptr, nullptr},
        {"\"Bad\"=\"a\"b\"", nullptr, nullptr},
        {"\"Bad\"=plain", nullptr, nullptr},
        {"Bad=\"unquoted name\"", nullptr, nullptr},
        // Blanks, comments and text after the data, as regedit reads them.
        {" \t\"A\" =\t\"x\"  ;note", "A", "<string>x"},
        {"\"A\"=\"x\"#note", nullptr, nullptr},
        {"\t@ = dword: 0000001f ;c", "@", "<dword>31"},
        {"\"A\"=dword:1234;5678", "A", "<dword>4660"},
        {"\"A\"=dword:12345678abc", nullptr, nullptr},
        {"\"Tab\"=\"a\\tb\"", "TAB", "<string>atb"},
        {"\"Nul\"=\"a\\0b\"", nullptr, nullptr},
        {"\"With=Equals\"=\"x\"", nullptr, nullptr},  // the store file splits a name at "="
        {"\"N\"=\"a\\nb\"", nullptr, nullptr},        // nor keeps a line end
        {"\"@\"=\"named at\"", nullptr, nullptr},
        {"\"\"=\"empty name\"", "@", "<string>empty name"},
        {"\"Note\"=\"see dword:5\"", nullptr, nullptr},  // the store file reads dword: inside a text
        {"\"Items\"=hex: 1, 0x2,010 ;c", "ITEMS", "<hex>01,02,10"},
        {"\"Big\"=hex:100", nullptr, nullptr},
        {"\"Typed\"=hex(A):01", "TYPED", "hex(A):01"},
        {"\"Typed\"=hex(x):01", nullptr, nullptr},
        {"\"Typed\"=hex(123456789):01", nullptr, nullptr},
        // Continued lists: over comments and blank lines; broken ones take their next line.
        {"\"C\"=hex:01,\\;c\r\n\r\n;line\r\n  02,\\\r\n#line\r\n  03", "C", "<hex>01,02,03"},
        {"\"C\"=hex:01\\\r\n\"D\"=\"kept\"", "D", "<string>kept"},
        {"\"C\"=hex:01,\\\r\n\"D\"=\"taken\"\r\n\"E\"=\"kept\"", "E", "<string>kept"},
        {"\"C\"=hex:01,\\#c\r\n  02", nullptr, nullptr},
        {"\"C\"=hex:01,\\", "C", "<hex>01"},
    };
    for (const auto& [line, name, stored] : kCases) {
        CIniClass staging;
        const std::string text = std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n") + line + "\r\n";
        ASSERT_EQ(ReadRegeditText(text, staging), RegeditRead::Read) << line;
        const testkit::Snapshot content = testkit::SnapshotOf(staging);
        if (name == nullptr) {
            EXPECT_TRUE(content.at("HKEY_CURRENT_USER\\X").empty()) << line;
        } else {
            EXPECT_EQ(content, (testkit::Snapshot{{"HKEY_CURRENT_USER\\X", {{name, stored}}}})) << line;
        }
    }
}

TEST(RegeditFile, ImportIsAllOrNothingAndTellsWhyNothingWasRead) {
    CIniClass store;
    store.SetValue("HKEY_CURRENT_USER\\X", "KEEP", "<dword>1");
    const testkit::Snapshot before = testkit::SnapshotOf(store);
    CRegeditFile reader;
    for (const auto& [text, problem] : {std::pair<std::string, CRegeditFile::Problem>{
                                            "[HKEY_CURRENT_USER\\X]\r\n\"A\"=\"b\"\r\n", CRegeditFile::NotRegedit},
                                        {"REGEDIT4 \r\n", CRegeditFile::NotRegedit},
                                        {"", CRegeditFile::NotRegedit},
                                        {std::string("\xFF\xFE\x00\xD8", 4), CRegeditFile::BadUtf16}}) {
        EXPECT_EQ(reader.ImportText(store, CString(text)), 0);
        EXPECT_EQ(reader.GetProblem(), problem);
        EXPECT_EQ(testkit::SnapshotOf(store), before);
    }
    EXPECT_EQ(reader.ImportFile(store, "/no/such/file.reg"), 0);
    EXPECT_EQ(reader.GetProblem(), CRegeditFile::CannotRead);

    // A UTF-8 mark is read past.
    ASSERT_EQ(reader.ImportText(store, CString("\xEF\xBB\xBFREGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n\"U\"=\"8\"\r\n")),
              1);
    // A version 5 file in UTF-16LE: merged, the key's other values kept, a deleted key not made;
    // the text arrives in the store's 8-bit code page (UTF-8 here, the ANSI code page on Windows).
    std::string wide = "\xFF\xFE";
    for (wchar_t c :
         std::wstring(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"A\"=\"\u00e9\"\r\n\r\n"
                      L"[-HKEY_CURRENT_USER\\Y]\r\n\"B\"=\"c\"\r\n")) {
        wide.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
    }
    ASSERT_EQ(reader.ImportText(store, CString(wide)), 1);
    EXPECT_EQ(reader.GetProblem(), CRegeditFile::NoProblem);
    EXPECT_EQ(
        testkit::SnapshotOf(store),
        (testkit::Snapshot{
            {"HKEY_CURRENT_USER\\X",
             {{"A", "<string>" + platform::WideToNarrow(L"\u00e9")}, {"KEEP", "<dword>1"}, {"U", "<string>8"}}}}));
}

TEST(RegeditFile, AppliesDeletionsInOrderAndReportsSkippedLines) {
    CIniClass store;
    store.SetValue("HKEY_CURRENT_USER\\X", "A", "<string>1");
    store.SetValue("HKEY_CURRENT_USER\\X", "B", "<string>2");
    store.SetValue("HKEY_CURRENT_USER\\X\\GONE", "V", "<string>3");
    store.SetValue("HKEY_CURRENT_USER\\X\\GONE\\SUB", "V", "<string>4");
    const std::string text =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n\"A\"=-\n\"C\"=\"new\"\n[-HKEY_CURRENT_USER\\X\\GONE]\n"
        "\"D\"=\"no key\"\n[hkey_current_user\\X\\Gone\\]\n\"E\"=\"again\"\njunk\n[HKEY_NOWHERE\\Y]\n\"F\"=\"x\"";
    CRegeditFile reader;
    ASSERT_EQ(reader.ImportText(store, CString(text)), 1);
    EXPECT_EQ(testkit::SnapshotOf(store),
              (testkit::Snapshot{{"HKEY_CURRENT_USER\\X", {{"B", "<string>2"}, {"C", "<string>new"}}},
                                 {"HKEY_CURRENT_USER\\X\\GONE", {{"E", "<string>again"}}}}));
    EXPECT_EQ(reader.GetChangeCount(), 6);
    std::vector<unsigned> lines;
    for (int i = 0; i < reader.GetSkipped().GetSize(); ++i) {
        lines.push_back(reader.GetSkipped()[i].line);
        EXPECT_FALSE(reader.GetSkipped()[i].reason.IsEmpty());
    }
    EXPECT_EQ(lines, (std::vector<unsigned>{7, 10, 11, 12}));
}

TEST(RegeditFile, ExportReadsBackExactlyAndTakesAKeyWithItsSubtree) {
    CIniClass store;
    const char* const kKey = "HKEY_CURRENT_USER\\SOFTWARE\\FB-2400";
    std::string longList;
    for (int i = 0; i < 100; ++i) longList += (i ? "," : "") + std::string(i % 2 ? "cc" : "0a");
    const std::pair<const char*, std::string> kValues[] = {
        {"PATH", "<string>C:\\Scans\\Out"},
        {"UNC", "<string>\\\\server\\share\\\\x"},
        {"SAY \"HI\"", "<string>a \\\"b\""},
        {"@", "<string>default"},
        {"D", "<dword>-10"},
        {"BIG", "<dword>4294967295"},
        {"EMPTY", "<hex>"},
        {"LONG", "<hex>" + longList},
        {"MULTI", "hex(7):61,00,00,00"},
        {"BACK\\SLASH", "<string>"},
    };
    for (const auto& [name, text] : kValues) store.SetValue(kKey, name, text.c_str());
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\FB-2400\\SUB", "N", "<dword>1");
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\FB-2400 BACKUP", "N", "<dword>2");
    store.SetValue("SOFTWARE\\NOROOT", "N", "<dword>3");

    std::string bytes;
    ASSERT_TRUE(RegeditExportText(KeysOf(store), kKey, false, bytes));
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        EXPECT_LE(end - start, 79u) << bytes.substr(start, end - start);
    }
    CIniClass back;
    ASSERT_EQ(ReadRegeditText(bytes, back), RegeditRead::Read);
    testkit::Snapshot expected = testkit::SnapshotOf(store);
    expected.erase("HKEY_CURRENT_USER\\SOFTWARE\\FB-2400 BACKUP");
    expected.erase("SOFTWARE\\NOROOT");
    expected[kKey]["BIG"] = "<dword>-1";  // the same bits, as a store file load gives them
    expected[kKey].erase("SAY \"HI\"");   // a name the store file cannot keep: left out on reading
    EXPECT_EQ(testkit::SnapshotOf(back), expected);

    // Every key: the root-less one left out.
    std::string narrow;
    ASSERT_TRUE(RegeditExportText(KeysOf(store), "", false, narrow));
    EXPECT_EQ(narrow.find("NOROOT"), std::string::npos);
    EXPECT_NE(narrow.find("FB-2400 BACKUP"), std::string::npos);
#ifndef _WIN32
    // In the UTF-16 form a character beyond U+FFFF is a surrogate pair.
    CIniClass beyond;
    beyond.SetValue("HKEY_CURRENT_USER\\E", "V", ("<string>" + platform::WideToNarrow(L"\U0001F600")).c_str());
    std::string wide;
    ASSERT_TRUE(RegeditExportText(KeysOf(beyond), "", true, wide));
    EXPECT_NE(wide.find(std::string("\x3D\xD8\x00\xDE", 4)), std::string::npos);
#endif
}

}  // namespace
}  // namespace qor::store
