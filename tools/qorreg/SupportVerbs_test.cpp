// compare and check end to end, in-process; what a person at the keyboard
// meets (the system's reason in file messages, control bytes escaped, texts
// in the file's code page, "-" for standard input and output); the manual
// page and the bash completion against --help.
#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "Help.h"
#include "ToolTest.h"
#include "host/Host.h"

namespace qor::qorreg {
namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;

class SupportVerbsTest : public ToolFolder {};

const char kStoreA[] =
    "REGEDIT4\r\n"
    "[HKEY_CURRENT_USER\\X]\r\n"
    "\"GAMMA\"=dword:00000003\r\n"
    "\"NAME\"=\"abc\"\r\n"
    "\"TABLE\"=hex:01,ff\r\n"
    "[HKEY_CURRENT_USER\\X\\SUB]\r\n"
    "\"DEPTH\"=dword:00000001\r\n"
    "[HKEY_CURRENT_USER\\X\\SUB\\OLD]\r\n"
    "[CINICHECKFILEVALID]\r\n";

// Every kind of difference: a changed text, a changed type, a value only in
// A, a value only in B (below X), a key only in A and one only in B.
const char kStoreB[] =
    "REGEDIT4\r\n"
    "[HKEY_CURRENT_USER\\X]\r\n"
    "\"GAMMA\"=\"3\"\r\n"
    "\"NAME\"=\"abd\"\r\n"
    "[HKEY_CURRENT_USER\\X\\SUB]\r\n"
    "\"DEPTH\"=dword:00000001\r\n"
    "\"EXTRA\"=\"e\"\r\n"
    "[HKEY_CURRENT_USER\\Y]\r\n"
    "[CINICHECKFILEVALID]\r\n";

class CompareTest : public ToolFolder {
protected:
    const std::string a_ = Write("a.ini", kStoreA);
    const std::string b_ = Write("b.ini", kStoreB);
};

TEST_F(CompareTest, ListsEveryKindOfDifferenceAndExitsTwo) {
    const Outcome r = RunQorreg({"compare", a_, b_});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "< " + a_ + "\n> " + b_ +
                         "\n\n"
                         "HKEY_CURRENT_USER\\X\n"
                         "<   GAMMA    REG_DWORD    0x00000003 (3)\n"
                         ">   GAMMA    REG_SZ    3\n"
                         "<   NAME    REG_SZ    abc\n"
                         ">   NAME    REG_SZ    abd\n"
                         "<   TABLE    REG_BINARY    01ff\n\n"
                         "HKEY_CURRENT_USER\\X\\SUB\n"
                         ">   EXTRA    REG_SZ    e\n\n"
                         "< HKEY_CURRENT_USER\\X\\SUB\\OLD\n\n"
                         "> HKEY_CURRENT_USER\\Y\n\n"
                         "different: 4 keys, 4 values\n");
}

TEST_F(CompareTest, KeyLimitsToItsValuesAndSubtreeAddsTheKeysBelow) {
    const Outcome sub = RunQorreg({"compare", a_, b_, "hkcu\\x\\sub"});
    EXPECT_EQ(sub.status, 2);
    EXPECT_NE(sub.out.find(">   EXTRA"), std::string::npos);
    EXPECT_EQ(sub.out.find("OLD"), std::string::npos) << "without -s only the key itself";
    const Outcome tree = RunQorreg({"compare", a_, b_, "HKCU\\X\\SUB", "-s"});
    EXPECT_NE(tree.out.find("< HKEY_CURRENT_USER\\X\\SUB\\OLD\n"), std::string::npos);
    EXPECT_EQ(tree.out.find("GAMMA"), std::string::npos) << "nothing above KEY";
    EXPECT_EQ(RunQorreg({"compare", a_, b_, "HKCU\\X\\SUB\\OLD"}).status, 2) << "a key on one side only";
}

TEST_F(CompareTest, IdenticalFilesExitZeroEvenWhenWrittenDifferently) {
    const std::string same = Write("same.ini",
                                   "REGEDIT4\n[hkey_current_user\\x]\nGAMMA=dword:3\n\"name\"=\"abc\"\n"
                                   "\"TABLE\"=hex:01,ff\n[HKEY_CURRENT_USER\\X\\SUB]\n"
                                   "\"DEPTH\"=dword:1\n[HKEY_CURRENT_USER\\X\\SUB\\OLD]\n");
    const Outcome r = RunQorreg({"compare", a_, same});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\nidentical\n"), std::string::npos);
    EXPECT_EQ(Json::parse(RunQorreg({"compare", a_, same, "--json"}).out),
              Json({{"a", a_}, {"b", same}, {"identical", true}, {"keys", Json::array()}, {"message", "identical"}}));
}

TEST_F(CompareTest, JsonCarriesTheSidesAsValueObjects) {
    const Outcome r = RunQorreg({"compare", a_, b_, "HKCU\\X", "--json"});
    EXPECT_EQ(r.status, 2);
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["message"], "different: 1 key, 3 values") << r.out;
    ASSERT_EQ(j["keys"].size(), 1u) << r.out;
    EXPECT_EQ(j["keys"][0]["key"], "HKEY_CURRENT_USER\\X");
    EXPECT_EQ(j["keys"][0]["in"], "both");
    std::map<std::string, Json> sides;
    for (const Json& value : j["keys"][0]["values"]) {
        for (const char* side : {"a", "b"}) {
            if (!value[side].is_null()) ExpectValueShape(value[side]);
        }
        sides[value["name"]] = value;
    }
    EXPECT_EQ(sides["GAMMA"]["a"], Json({{"name", "GAMMA"}, {"type", "REG_DWORD"}, {"data", 3}, {"raw", "<dword>3"}}));
    EXPECT_EQ(sides["GAMMA"]["b"], Json({{"name", "GAMMA"}, {"type", "REG_SZ"}, {"data", "3"}, {"raw", "<string>3"}}));
    EXPECT_EQ(sides["TABLE"]["a"]["data"], "01ff");
    EXPECT_TRUE(sides["TABLE"]["b"].is_null());
}

TEST_F(CompareTest, EveryFailureExitsOne) {
    const std::string twice = Write("twice.ini", "REGEDIT4\r\n[K]\r\n[K]\r\n[CINICHECKFILEVALID]\r\n");
    const std::vector<std::vector<std::string>> failures = {
        {"compare", a_, scratch_.File("missing.ini")},
        {"compare", dir_.string(), b_},
        {"compare", a_, twice},
        {"compare", a_, b_, "HKCU\\NOWHERE"},
        {"compare", a_, b_, "HKCR\\X"},
        {"compare", a_},
        {"compare", a_, b_, "HKCU\\X", "extra"},
        {"compare", a_, b_, "-s"},
        {"compare", a_, b_, "-f", a_},
        {"compare", a_, b_, "--bogus"},
    };
    for (const auto& args : failures) {
        const Outcome r = RunQorreg(args);
        EXPECT_EQ(r.status, 1) << args.back();
        EXPECT_NE(r.err.find("qorreg: "), std::string::npos) << args.back();
    }
}

const std::string kHead = "REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n";
const std::string kEnd = "[CINICHECKFILEVALID]\r\n";

// An error makes the status 2, warnings only 1. Which file gives which finding
// is the store's (store/StoreFileCheck_test.cpp).
TEST_F(SupportVerbsTest, CheckNamesAndWordsEachKindOfFindingAtItsLine) {
    // the file, the finding's line, kind and severity (error or warning), its words after "error: " or "warning: "
    const std::tuple<std::string, unsigned, const char*, bool, const char*> cases[] = {
        {"", 0, "empty", true, "an empty file, no store file: programs load it as an empty store"},
        {"[K]\r\n" + kEnd, 0, "not-a-store", true, "the first line is not REGEDIT4: not a store file"},
        {"\xFF\xFER\0E\0"s, 0, "utf16", true, "UTF-16 text; the store reads 8-bit text"},
        {"\xFF\xFER\0E\0G\0E\0D\0I\0T\0\x34\0\r\0\n\0\x34\xd8"s, 0, "utf16", true,
         "UTF-16 text that cannot be converted to the store's text: import reads nothing of it"},  // a regedit file
        {"REGEDIT4\n[K]\n\"A\"=\"1\"\n\n[k]\n" + std::string("[CINICHECKFILEVALID]\n"), 5, "key-named-again", true,
         "key K is named again (first on line 2): the load fails"},
        {std::string("REGEDIT4\r[K]\r\"A\"=\"a\0b\"\r", 23) + "[CINICHECKFILEVALID]\r", 3, "nul-byte", false,
         "a NUL byte in the line: programs pass texts that end at a NUL"},
        {"REGEDIT4\r\n\"A\"=\"1\"\r\n[K]\r\n" + kEnd, 2, "value-before-first-key", false,
         "a value before the first key line: ignored"},
        {kHead + "[A]B]\r\n\"V\"=\"1\"\r\n" + kEnd, 3, "not-a-key-line", false,
         "begins with \"[\" but is no key line (its first \"]\" must end it): ignored; the values below it go to "
         "HKEY_CURRENT_USER\\X"},
        {kHead + "stray text\r\n" + kEnd, 3, "no-equals", false, "neither a key line nor NAME=DATA: ignored"},
        {kHead + "=\"1\"\r\n" + kEnd, 3, "empty-name", false, "no name before \"=\": ignored"},
        {kHead + "\"A\"=\r\n" + kEnd, 3, "empty-data", false, "no data after \"=\": ignored"},
        {kHead + kEnd + "[HKEY_CURRENT_USER\\Y]", 4, "no-line-end", false, "the last line has no line end: ignored"},
        {kHead + "\"A\"=\"1\"\r\n\"a\"=\"2\"\r\n" + kEnd, 4, "value-named-again", false,
         "value A of HKEY_CURRENT_USER\\X is named again (first on line 3): this line's value is kept"},
        {kHead + "\"A=B\"=\"1\"\r\n" + kEnd, 3, "name-read-otherwise", false,
         "the value name is not read as written: stored under the name A"},
        {kHead + "\"A\"=\"x dword:5\"\r\n" + kEnd, 3, "data-read-otherwise", false,
         "value A of HKEY_CURRENT_USER\\X is not read as written: stored as REG_SZ x 5"},
        {kHead + "\"A\"=\"a\\\\\\\\b\"\r\n" + kEnd, 3, "changed-by-save", false,
         "value A of HKEY_CURRENT_USER\\X does not survive the next save: it reads back as REG_SZ a\\b\n"
         "    \"A\"=\"a\\\\\\\\b\"\n"},
        {kHead + "\"A\"=\"1\"\r\n", 0, "no-end-marker", false, "no end marker line [CINICHECKFILEVALID] at the end"},
        {kHead + kEnd + std::string(300, ';') + "\r\n", 3, "misplaced-end-marker", false,
         "an end marker line that is not at the end: skipped"},
    };
    for (const auto& [text, line, kind, error, words] : cases) {
        SCOPED_TRACE(kind);
        const std::string path = Write("case.ini", text);
        const std::string severity = error ? "error" : "warning";
        const Outcome r = RunQorreg({"check", path, "--json"});
        EXPECT_EQ(r.status, error ? 2 : 1) << r.out;
        const Json j = Json::parse(r.out);
        EXPECT_EQ(j["verdict"], error ? "cannot-load" : "warnings");
        const auto sought = [&, at = line, id = kind](const Json& f) {
            return f["line"] == at && f["severity"] == severity && f["kind"] == id;
        };
        EXPECT_TRUE(std::any_of(j["findings"].begin(), j["findings"].end(), sought)) << r.out;
        const std::string where = path + (line == 0 ? "" : ":" + std::to_string(line)) + ": ";
        EXPECT_NE(RunQorreg({"check", path}).out.find(where + severity + ": " + words), std::string::npos);
    }
}

// The last line counts the errors and warnings and gives the verdict.
TEST_F(SupportVerbsTest, CheckEndsWithTheCountsAndTheVerdict) {
    const std::string path = Write("says.ini", kHead + "\"A\"=\"a\\\\\\\\b\"\r\n\"B\"=\r\n[X]\r\n[x]\r\n" + kEnd);
    EXPECT_NE(RunQorreg({"check", path}).out.find(path + ": 1 error, 3 warnings: the store cannot load it\n"),
              std::string::npos);
    const Outcome example = RunQorreg({"check", QOR_EXAMPLE_STORE});
    EXPECT_EQ(example.status, 0) << example.out;
    EXPECT_NE(example.out.find(": 0 errors, 0 warnings: clean"), std::string::npos);
    EXPECT_EQ(RunQorreg({"check", scratch_.File("none.ini")}).status, 2);
    EXPECT_EQ(RunQorreg({"check"}).status, 2);
}

const std::string kCp1252Store =
    "REGEDIT4\r\n[HKEY_CURRENT_USER\\P]\r\n\"NAME\"=\"J\xFCrgen\"\r\n[CINICHECKFILEVALID]\r\n";

TEST_F(SupportVerbsTest, FileFailuresEndWithTheSystemsReason) {
    const std::string store = Write("root.ini", kCp1252Store);
    const std::string lock = store + ".lock";
    fs::create_directory(lock);  // the lock file cannot be made
    const std::string missing = (dir_ / "none" / "out.reg").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-f", store, "export", "HKCU\\P", missing}, "cannot write file: " + missing + ": "},
        {{"-f", store, "add", "HKCU\\P", "--wait", "0"}, "cannot create the lock file: "},
    };
    for (const auto& [args, before] : cases) {
        const Outcome r = RunQorreg(args);
        EXPECT_EQ(r.status, 2) << r.err;
        const std::size_t at = r.err.find(before);
        ASSERT_NE(at, std::string::npos) << r.err;
        // The reason as the system words it, after the path.
        const std::string reason = r.err.substr(r.err.rfind(": ") + 2);
        EXPECT_GT(reason.size(), 3u) << r.err;
#ifndef _WIN32
        EXPECT_TRUE(reason == std::generic_category().message(ENOENT) + "\n" ||
                    reason == std::generic_category().message(EISDIR) + "\n")
            << r.err;
#endif
    }
}

TEST_F(SupportVerbsTest, ControlBytesReachTheTerminalEscaped) {
    const std::string store = Write("root.ini",
                                    "REGEDIT4\r\n[HKEY_CURRENT_USER\\P]\r\n\"A\x07\"=\"\x1b[2J\"\r\n"
                                    "\x1b[31m junk\r\n[CINICHECKFILEVALID]\r\n");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-f", store, "query", "HKCU\\P"},
                                                 {"check", store},
                                                 {"-f", store, "query", "HKCU\\\x1b[31m"}}) {
        const Outcome r = RunQorreg(args);
        EXPECT_EQ((r.out + r.err).find_first_of("\x07\x1b"), std::string::npos) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find("\\x1b["), std::string::npos) << r.out << r.err;
    }
}

TEST_F(SupportVerbsTest, TextsAreConvertedBetweenTheFilesCodePageAndTheTerminals) {
    const unsigned native = host::NativeCodePage();
    if (native != host::kUtf8 && native != 1252) GTEST_SKIP() << "a host code page this test has no texts for";
    const std::string jurgen = native == host::kUtf8 ? "J\xC3\xBCrgen" : "J\xFCrgen";
    const std::string koeln = native == host::kUtf8 ? "K\xC3\xB6ln" : "K\xF6ln";
    const std::string store = Write("root.ini", kCp1252Store);

    EXPECT_NE(RunQorreg({"-f", store, "query", "HKCU\\P", "--codepage", "1252"}).out.find("REG_SZ    " + jurgen + "\n"),
              std::string::npos);
    const Json json = Json::parse(RunQorreg({"-f", store, "query", "HKCU\\P", "--json", "--codepage", "cp1252"}).out);
    EXPECT_EQ(json["values"][0]["data"], "J\xC3\xBCrgen");  // JSON is UTF-8 whatever the terminal's code page
    ASSERT_EQ(
        RunQorreg({"-f", store, "add", "HKCU\\P", "-v", "City", "-d", koeln, "--codepage", "windows-1252"}).status, 0);
    EXPECT_NE(qor::testkit::ReadBytes(store).find("\"CITY\"=\"K\xF6ln\"\r\n"), std::string::npos);
    // A character the code page has no byte for is refused before the file is touched.
    EXPECT_EQ(RunQorreg({"-f", store, "add", "HKCU\\P", "-v", "X", "-d", jurgen, "--codepage", "1251"}).status, 2);
    EXPECT_EQ(RunQorreg({"-f", store, "query", "HKCU\\P", "--codepage", "no-such"}).status, 2);

    // check: 8-bit texts the code page does not hold, and UTF-8 mixed with other 8-bit text.
    const Outcome utf8 = RunQorreg({"check", store, "--codepage", "utf-8"});
    EXPECT_EQ(utf8.status, 1);
    EXPECT_NE(utf8.out.find(":3: warning: a text that is not valid in code page UTF-8"), std::string::npos) << utf8.out;
    const std::string mixed = Write("mixed.ini",
                                    "REGEDIT4\r\n[HKEY_CURRENT_USER\\P]\r\n\"A\"=\"J\xFCrgen\"\r\n"
                                    "\"B\"=\"K\xC3\xB6ln\"\r\n[CINICHECKFILEVALID]\r\n");
    const Json report = Json::parse(RunQorreg({"check", mixed, "--json", "--codepage", "1252"}).out);
    EXPECT_EQ(report["verdict"], "warnings");
    ASSERT_EQ(report["findings"].size(), 1u) << report;
    EXPECT_EQ(report["findings"][0]["kind"], "mixed-8-bit-text");
    EXPECT_EQ(RunQorreg({"check", store, "--codepage", "1252"}).status, 0);
}

TEST_F(SupportVerbsTest, DashReadsStandardInputAndExportWritesStandardOutput) {
    const std::string store = Write("root.ini", kCp1252Store);
    const std::string bytes = qor::testkit::ReadBytes(store);
    EXPECT_NE(RunQorreg({"-f", "-", "query", "HKCU\\P"}, bytes).out.find("NAME    REG_SZ"), std::string::npos);
    EXPECT_EQ(RunQorreg({"check", "-", "--codepage", "1252"}, bytes).status, 0);
    const Outcome compared = RunQorreg({"compare", store, "-"}, bytes);
    EXPECT_EQ(compared.status, 0);
    EXPECT_EQ(compared.out.rfind("< " + store + "\n> -\n", 0), 0u) << compared.out;
    const Outcome exported = RunQorreg({"-f", store, "export", "HKCU\\P", "-"});
    EXPECT_EQ(exported.out.rfind("REGEDIT4\r\n", 0), 0u) << exported.out;
    EXPECT_FALSE(fs::exists(dir_ / "-"));

    const std::string other = Write("other.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Q]\r\n[CINICHECKFILEVALID]\r\n");
    ASSERT_EQ(RunQorreg({"-f", other, "import", "-"}, exported.out).status, 0);
    EXPECT_EQ(RunQorreg({"compare", store, other, "HKCU\\P"}).status, 0);
    // Standard input is read once and never changed.
    const Outcome twice = RunQorreg({"compare", "-", "-"}, bytes);
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.err, "qorreg: only one file can be standard input (-)\n");
    EXPECT_EQ(RunQorreg({"-f", "-", "add", "HKCU\\P"}, bytes).status, 2);
    EXPECT_EQ(RunQorreg({"-f", "-", "query", "HKCU\\Nothing"}, bytes).err,
              "qorreg: key not found: HKEY_CURRENT_USER\\NOTHING\n");
    // Messages name standard input "-", not the copy it is read through.
    EXPECT_EQ(RunQorreg({"-f", "-", "query", "HKCU\\P"}).err, "qorreg: an empty file, no store file: -\n");
}

// The words of a text that look like options (-x, --long), and verbs.
std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
        found.insert((*it)[1]);
    }
    return found;
}

std::string ReadSource(const char* name) { return qor::testkit::ReadBytes(QORREG_SOURCE_DIR "/" + std::string(name)); }

TEST(ManualAndCompletion, NameTheVerbsOptionsAndTypesThatHelpNames) {
    std::ostringstream help;
    WriteToolHelp(help);
    std::set<std::string> verbs;
    for (const char* verb :
         {"query", "add", "delete", "copy", "export", "import", "validate", "root", "compare", "check"}) {
        ASSERT_NE(FindVerbHelp(verb), nullptr) << verb;
    }
    EXPECT_EQ(FindVerbHelp("frobnicate"), nullptr);
    for (const std::string& verb : Matches(help.str(), "\n  (?:-f FILE )?([a-z]+) ")) {
        verbs.insert(verb);
        WriteVerbHelp(help, *FindVerbHelp(verb));
    }
    const std::string option = R"((?:^|[\s\[|,])(--?[A-Za-z][a-z0-9]*)\b)";
    const std::set<std::string> options = Matches(help.str(), option);
    const std::set<std::string> types = Matches(help.str(), "(REG_[A-Z]+)");

    std::string manual = std::regex_replace(ReadSource("qorreg.1"), std::regex(R"(\\-)"), "-");
    manual = std::regex_replace(manual, std::regex(R"(\\f[BIRP])"), " ");
    ASSERT_FALSE(manual.empty()) << "qorreg.1 not found";
    EXPECT_EQ(Matches(manual, "\n\\.SS ([a-z]+)\n"), verbs);
    EXPECT_EQ(Matches(manual, option), options);

    const std::string completion = ReadSource("qorreg.bash");
    auto listed = [&](const char* name) {
        std::smatch m;
        std::regex_search(completion, m, std::regex(std::string("local ") + name + "=\"([^\"]*)\""));
        return Matches(" " + std::string(m[1]), R"( ([^ ]+))");
    };
    EXPECT_EQ(listed("verbs"), verbs);
    EXPECT_EQ(listed("options"), options);
    EXPECT_EQ(listed("types"), types);
}

}  // namespace
}  // namespace qor::qorreg
