// Exchanging settings with Windows' registry tools: other root names, the
// regedit export, the JSON query, typed byte lists from version 5 files.
#include <map>

#include <gtest/gtest.h>

#include "ToolTest.h"

namespace qor::qorreg {
namespace {

// A version 5 export as regedit writes it (here in 8 bits; UTF-16 is the
// import's concern): a root that is neither machine nor user, the default
// value, a typed byte list continued over lines, a root-less key.
const char kTheirExport[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.scan]\r\n"
    "@=\"Scan \\\"File\\\"\"\r\n"
    "\"Path\"=\"C:\\\\Scans\\\\Out\"\r\n"
    "\"Odd\"=dword:fffffff6\r\n"
    "\"Expand\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,\\\r\n"
    "  25,00,5c,00,78,00,00,00\r\n"
    "\"Bytes\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.scan\\Sub]\r\n\"N\"=dword:00000001\r\n\r\n"
    "[Software\\NoRoot]\r\n\"X\"=\"y\"\r\n";
const char kExpandBytes[] = "25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,78,00,00,00";

class ExchangeTest : public ToolFolder {
protected:
    void SetUp() override {
        Write("root.ini",
              "REGEDIT4\r\n[HKEY_CURRENT_USER\\Y]\r\n[SOFTWARE\\NOROOT]\r\n\"X\"=\"<string>y\"\r\n[CINICHECKFILEVALID]"
              "\r\n");
        const std::string in = Write("in.reg", kTheirExport);
        // regedit skips the root-less key and its value; so does the import, naming both lines.
        const Outcome imported = OnStore({"import", in});
        ASSERT_EQ(imported.status, 1);
        const std::string at = "qorreg: " + in;
        ASSERT_EQ(imported.err,
                  at + ":15: skipped: the key is under no root regedit knows\n" + at +
                      ":16: skipped: no key is open (see line 15)\nqorreg: 2 lines left out, the rest imported: " + in +
                      "\n");
    }
};

TEST_F(ExchangeTest, KeysUnderAnyRootNameCanBeQueriedChangedAndDeleted) {
    const Outcome shown = OnStore({"query", "hkcr\\.scan"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out,
              "HKEY_CLASSES_ROOT\\.SCAN\n"
              "    @    REG_SZ    Scan \"File\"\n"
              "    BYTES    REG_BINARY    "
              "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f202122232425262728292a2b2c2d2e2f\n"
              "    EXPAND    REG_EXPAND_SZ (raw)    hex(2):" +
                  std::string(kExpandBytes) +
                  "\n"
                  "    ODD    REG_DWORD    0xfffffff6 (4294967286)\n"
                  "    PATH    REG_SZ    C:\\Scans\\Out\n\n"
                  "HKEY_CLASSES_ROOT\\.SCAN\\SUB\n");
    EXPECT_EQ(OnStore({"add", "HKU\\S-1-5-18\\X", "-v", "A", "-d", "b"}).status, 0);
    EXPECT_EQ(OnStore({"delete", "HKEY_CLASSES_ROOT\\.scan\\Sub"}).status, 0);
    EXPECT_EQ(OnStore({"query", "HKCR\\.SCAN\\SUB"}).status, 1);
    const Outcome typo = OnStore({"query", "HKLN\\X"});
    EXPECT_EQ(typo.status, 2);
    EXPECT_NE(typo.err.find("HKEY_CURRENT_CONFIG"), std::string::npos) << typo.err;
}

TEST_F(ExchangeTest, RegeditExportEscapesWrapsAndReadsBackAsItWasImported) {
    const std::string out = scratch_.File("out.reg");
    const Outcome exported = OnStore({"export", "--regedit", "--all", out});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err,
              "qorreg: warning: key SOFTWARE\\NOROOT does not arrive as stored (regedit takes keys under a "
              "root name and typed values only; use --twain)\n");
    const std::string text = qor::testkit::ReadBytes(out);
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.SCAN]\r\n@=\"Scan \\\"File\\\"\"\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n\r\n[HKEY_CLASSES_ROOT\\.SCAN\\SUB]\r\n"), std::string::npos) << text;

    // Imported into a fresh store, the export gives every value back.
    const std::string before = OnStore({"query", "HKCR\\.scan", "-s"}).out;
    store_ = Write("fresh.ini", "REGEDIT4\r\n[CINICHECKFILEVALID]\r\n");
    ASSERT_EQ(OnStore({"import", out}).status, 0);
    EXPECT_EQ(OnStore({"query", "HKCR\\.scan", "-s"}).out, before);

    // --utf16: the same lines under the version 5 header, UTF-16LE with its mark.
    const std::string wide = scratch_.File("wide.reg");
    ASSERT_EQ(OnStore({"export", "--utf16", "--all", wide}).status, 0);
    std::string expected = "\xFF\xFE";
    std::string narrow = text;
    narrow.replace(0, 8, "Windows Registry Editor Version 5.00");
    for (char c : narrow) expected.append({c, '\0'});
    EXPECT_EQ(qor::testkit::ReadBytes(wide), expected);
    EXPECT_EQ(OnStore({"export", "--regedit", "--app", "--all", wide}).status, 2);
}

TEST_F(ExchangeTest, JsonQueryHoldsEveryValueAsAValueObjectAndNestedSubKeys) {
    const Outcome r = OnStore({"query", "--json", "-s", "HKCR\\.scan"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["key"], "HKEY_CLASSES_ROOT\\.SCAN");
    std::map<std::string, Json> data;
    for (const Json& value : j["values"]) {
        ExpectValueShape(value);
        data[value["name"]] = value["data"];
    }
    const std::map<std::string, Json> expected = {
        {"@", "Scan \"File\""},
        {"BYTES", "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f202122232425262728292a2b2c2d2e2f"},
        {"EXPAND", "2500530079007300740065006d0052006f006f00740025005c0078000000"},
        {"ODD", 4294967286u},
        {"PATH", "C:\\Scans\\Out"},
    };
    EXPECT_EQ(data, expected);
    EXPECT_EQ(j["values"][2]["type"], "REG_EXPAND_SZ (raw)");
    ASSERT_EQ(j["subkeys"].size(), 1u);
    EXPECT_EQ(j["subkeys"][0]["key"], "HKEY_CLASSES_ROOT\\.SCAN\\SUB");
    EXPECT_EQ(j["subkeys"][0]["values"][0]["data"], 1);
    // Without -s a sub-key is named only; -v keeps one value.
    const Json one = Json::parse(OnStore({"query", "--json", "HKCR\\.scan", "-v", "odd"}).out);
    EXPECT_EQ(one["values"].size(), 1u);
    EXPECT_EQ(one["subkeys"], Json::array({{{"key", "HKEY_CLASSES_ROOT\\.SCAN\\SUB"}}}));
}

// A regedit file's skipped lines are named; the status tells whether the
// rest was imported (1), nothing could be (2) or --strict refused (2).
TEST_F(ExchangeTest, RegeditImportStatusSaysWhatWasLeftOutAndCheckNamesTheSameLines) {
    // lines after the header and its blank line, --strict, import's status, a key and query's status for it
    using Case = std::tuple<const char*, bool, int, const char*, int>;
    const Case kCases[] = {
        {"[HKEY_CURRENT_USER\\A]\r\n\"V\"=\"1\"\r\nstray\r\n", false, 1, "HKCU\\A", 0},
        {"[HKEY_CURRENT_USER\\B]\r\n\"V\"=\"1\"\r\nstray\r\n", true, 2, "HKCU\\B", 1},
        {"stray\r\n\"V\"=\"no key\"\r\n", false, 2, "HKCU\\Y", 0},
        {"[-HKEY_CURRENT_USER\\Y]\r\n", false, 0, "HKCU\\Y", 1},
    };
    for (const auto& [lines, strict, status, key, queried] : kCases) {
        const std::string in = Write("case.reg", "REGEDIT4\r\n\r\n" + std::string(lines));
        const Outcome check = RunQorreg({"check", in});
        const Outcome imported = strict ? OnStore({"import", "--strict", in}) : OnStore({"import", in});
        EXPECT_EQ(imported.status, status) << lines << imported.err;
        EXPECT_EQ(OnStore({"query", key}).status, queried) << lines;
        // check warns of the lines import names, with the same numbers.
        EXPECT_EQ(check.status, status == 0 ? 0 : 1) << lines << check.out;
        const bool stray = std::string(lines).find("stray") != std::string::npos;
        const std::string line = std::string(lines).starts_with("stray") ? ":3: " : ":5: ";
        EXPECT_EQ(imported.err.find(in + line + "skipped: not a key, value or comment line") != std::string::npos,
                  stray)
            << imported.err;
        EXPECT_EQ(check.out.find(in + line + "warning: not a key, value or comment line") != std::string::npos, stray)
            << check.out;
    }
}

}  // namespace
}  // namespace qor::qorreg
