// Every verb end to end, in-process, on store files in a scratch folder.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "KeyPath.h"
#include "ToolTest.h"

namespace qor::qorreg {
namespace {
namespace fs = std::filesystem;
using qor::testkit::ReadBytes;
using qor::testkit::WriteBytes;

const char kSmallStore[] =
    "REGEDIT4\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n"
    "\"NAME\"=\"abc\"\r\n"
    "\"GAMMA\"=dword:00000003\r\n"
    "\"TABLE\"=hex:01,ff\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\X\\B0]\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\X\\B\\C]\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\X\\B]\r\n"
    "\"M\"=dword:ffffffff\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\X\\A_\\DEEP]\r\n"
    "\"Z\"=\"z\"\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\X\\AB]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n"
    "\"HOST\"=\"m\"\r\n"
    "[CINICHECKFILEVALID]\r\n";

const char kKeyX[] = "HKEY_CURRENT_USER\\SOFTWARE\\X";

// Folder separators of either kind as slashes, for comparing paths.
std::string Slashed(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

class VerbsTest : public ToolFolder {
protected:
    void SetUp() override { Write("root.ini", kSmallStore); }
    void TearDown() override {
        if (!alsoRemove_.empty()) fs::remove_all(alsoRemove_);
    }
    std::string Query(const std::string& key) { return OnStore({"query", key}).out; }

    fs::path alsoRemove_;
};

// With -s: depth first, the children in byte order.
TEST_F(VerbsTest, QueryShowsValuesByNameThenSubKeysInByteOrder) {
    const std::string values =
        "HKEY_CURRENT_USER\\SOFTWARE\\X\n"
        "    GAMMA    REG_DWORD    0x00000003 (3)\n"
        "    NAME    REG_SZ    abc\n"
        "    TABLE    REG_BINARY    01ff\n"
        "\n";
    Outcome r = OnStore({"query", "hkcu\\software\\x"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, values +
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\AB\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\A_\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\B\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\B0\n");
    r = OnStore({"query", "HKCU\\SOFTWARE\\X\\", "-s"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, values +
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\AB\n\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\A_\n\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\A_\\DEEP\n"
                         "    Z    REG_SZ    z\n\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\B\n"
                         "    M    REG_DWORD    0xffffffff (4294967295)\n\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\B\\C\n\n"
                         "HKEY_CURRENT_USER\\SOFTWARE\\X\\B0\n");
}

TEST_F(VerbsTest, QueryValueOptionShowsOnlyKeysHoldingThatValue) {
    Outcome r = OnStore({"query", kKeyX, "-s", "--value", "m"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "HKEY_CURRENT_USER\\SOFTWARE\\X\\B\n    M    REG_DWORD    0xffffffff (4294967295)\n");
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "name"}).out,
              "HKEY_CURRENT_USER\\SOFTWARE\\X\n    NAME    REG_SZ    abc\n");
}

TEST_F(VerbsTest, FailuresReportOneLineAndTheirExitStatus) {
    std::string missingFile = scratch_.File("none.ini");
    const std::vector<std::pair<std::vector<std::string>, std::string>> notFound = {
        {{"query", "HKCU\\SOFTWARE\\NONE"}, "key not found: HKEY_CURRENT_USER\\SOFTWARE\\NONE"},
        {{"query", kKeyX, "-v", "none"}, "value not found: NONE in HKEY_CURRENT_USER\\SOFTWARE\\X"},
        {{"query", kKeyX, "-v", "none", "--json"}, "value not found: NONE in HKEY_CURRENT_USER\\SOFTWARE\\X"},
        {{"delete", kKeyX, "-v", "none"}, "value not found: NONE in HKEY_CURRENT_USER\\SOFTWARE\\X"},
        {{"delete", "HKLM\\NONE"}, "key not found: HKEY_LOCAL_MACHINE\\NONE"},
        {{"copy", "HKLM\\NONE", "HKLM\\Y"}, "key not found: HKEY_LOCAL_MACHINE\\NONE"},
        {{"export", "software\\none", scratch_.File("out.reg")}, "key not found: SOFTWARE\\NONE"},
        {{"export", "--twain", "software\\none", scratch_.File("out.reg")}, "no key contains: SOFTWARE\\NONE"},
    };
    for (const auto& [args, message] : notFound) {
        Outcome r = OnStore(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.err, "qorreg: " + message + "\n");
    }
    EXPECT_EQ(ReadBytes(store_), kSmallStore);
    EXPECT_FALSE(fs::exists(dir_ / "out.reg"));

    const std::vector<std::vector<std::string>> usage = {
        {"--bogus"},
        {"query", kKeyX},
        {"-f", store_, "query"},
        {"-f", store_, "query", kKeyX, "--app"},
        {"-f", store_, "frobnicate"},
        {"-f", missingFile, "query", kKeyX},
        {"-f", dir_.string(), "query", kKeyX},
        {"-f", store_, "import", missingFile},
        {},
    };
    for (const auto& args : usage) {
        Outcome r = RunQorreg(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args.back());
        EXPECT_EQ(r.err.rfind("qorreg: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(RunQorreg({"-f", missingFile, "query", kKeyX}).err, "qorreg: no such file: " + missingFile + "\n");
}

TEST_F(VerbsTest, QueryWithoutKeyListsTheWholeStoreRootLessKeysIncluded) {
    WriteBytes(store_,
               "REGEDIT4\r\n[SOFTWARE\\P\\Q]\r\n\"V\"=\"5\"\r\n[HKEY_CURRENT_USER\\X]\r\n\"V\"=\"1\"\r\n"
               "[HKEY_CURRENT_USER\\X\\Y]\r\n[CINICHECKFILEVALID]\r\n");
    EXPECT_EQ(OnStore({"query", "-s"}).out,
              "HKEY_CURRENT_USER\n\nHKEY_CURRENT_USER\\X\n    V    REG_SZ    1\n\nHKEY_CURRENT_USER\\X\\Y\n\n"
              "SOFTWARE\n\nSOFTWARE\\P\n\nSOFTWARE\\P\\Q\n    V    REG_SZ    5\n");
    EXPECT_EQ(OnStore({"query", "-s", "-v", "v"}).out,
              "HKEY_CURRENT_USER\\X\n    V    REG_SZ    1\n\nSOFTWARE\\P\\Q\n    V    REG_SZ    5\n");
    EXPECT_EQ(OnStore({"query", "-s", "-v", "none"}).err, "qorreg: value not found: NONE in the store\n");
    for (const std::vector<std::string>& refused : {std::vector<std::string>{"query"}, {"query", "-s", "--json"}}) {
        EXPECT_EQ(OnStore(refused).status, 2) << refused.size();
    }
}

TEST_F(VerbsTest, AddThenQueryRoundTripsEachTypeThroughTheFile) {
    using Case = std::pair<std::vector<std::string>, std::string>;
    const std::vector<Case> cases = {
        {{"-t", "REG_BINARY", "-d", "00cc01ff"}, "REG_BINARY    00cc01ff"},
        {{"-t", "reg_binary", "-d", "CCCC"}, "REG_BINARY    cccc"},
        {{"-t", "REG_BINARY"}, "REG_BINARY    "},
        {{"-t", "REG_DWORD", "-d", "0xffffffff"}, "REG_DWORD    0xffffffff (4294967295)"},
        {{"-t", "REG_SZ", "-d", "C:\\Scan\\out dir"}, "REG_SZ    C:\\Scan\\out dir"},
        {{"-d", "\\\\server\\share"}, "REG_SZ    \\\\server\\share"},
        {{}, "REG_SZ    "},
    };
    for (const auto& [typeAndData, shown] : cases) {
        std::vector<std::string> args = {"add", "hkcu\\software\\new", "-v", "Gamma"};
        args.insert(args.end(), typeAndData.begin(), typeAndData.end());
        Outcome added = OnStore(args);
        ASSERT_EQ(added.status, 0) << added.err;
        EXPECT_EQ(Query("HKCU\\SOFTWARE\\NEW"), "HKEY_CURRENT_USER\\SOFTWARE\\NEW\n    GAMMA    " + shown + "\n");
    }
    EXPECT_NE(ReadBytes(store_).find("\"GAMMA\"=\"\"\r\n"), std::string::npos);
    EXPECT_EQ(OnStore({"add", kKeyX, "-v", "TABLE", "-t", "REG_BINARY", "-d", "00cc01ff"}).status, 0);
    EXPECT_NE(ReadBytes(store_).find("\"TABLE\"=hex:00,cc,01,ff\r\n"), std::string::npos);
}

TEST_F(VerbsTest, AddRefusesBadDataAndLeavesTheFileAlone) {
    const std::vector<std::vector<std::string>> bad = {
        {"-t", "REG_DWORD", "-d", "4294967296"},
        {"-t", "REG_DWORD", "-d", "-1"},
        {"-t", "REG_DWORD"},
        {"-t", "REG_BINARY", "-d", "abc"},
        {"-t", "REG_MULTI_SZ", "-d", "x"},
        // Texts the store file would read back differently.
        {"-d", "a\\\\b"},
        {"-d", "say \\\"hi\\\""},
        {"-d", "see hex:5"},
        {"-d", "two\r\nlines"},
    };
    for (const auto& typeAndData : bad) {
        std::vector<std::string> args = {"add", kKeyX, "-v", "NEW"};
        args.insert(args.end(), typeAndData.begin(), typeAndData.end());
        Outcome r = OnStore(args);
        EXPECT_EQ(r.status, 2) << typeAndData.back();
        EXPECT_EQ(ReadBytes(store_), kSmallStore) << typeAndData.back();
    }
    EXPECT_EQ(OnStore({"add", kKeyX, "-v", "A=B", "-d", "x"}).status, 2);
    EXPECT_EQ(OnStore({"add", kKeyX, "-d", "x"}).status, 2);  // -d without -v
    EXPECT_EQ(ReadBytes(store_), kSmallStore);
}

TEST_F(VerbsTest, AddCreatesAMissingFileAndKeepsLocalMachineKeys) {
    store_ = scratch_.File("fresh.ini");
    Outcome r = OnStore(
        {"add", "HKLM\\SOFTWARE\\Orvane Corp\\Scanner", "-v", "ROOT1", "-d", "\\Orvane Corp\\DocScan", "--create"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(store_),
              "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVANE CORP\\SCANNER]\r\n"
              "\"ROOT1\"=\"\\Orvane Corp\\DocScan\"\r\n[CINICHECKFILEVALID]\r\n");
    EXPECT_EQ(RunQorreg({"validate", store_}).out, "valid\n");
}

TEST_F(VerbsTest, DeleteRemovesOneValueOrAWholeSubtree) {
    ASSERT_EQ(OnStore({"delete", kKeyX, "-v", "gamma"}).status, 0);
    ASSERT_EQ(OnStore({"delete", "HKCU\\SOFTWARE\\X\\B"}).status, 0);
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "gamma"}).status, 1);
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "name"}).status, 0);
    for (const char* gone : {"HKCU\\SOFTWARE\\X\\B", "HKCU\\SOFTWARE\\X\\B\\C"})
        EXPECT_EQ(OnStore({"query", gone}).status, 1);
    EXPECT_EQ(OnStore({"query", "HKCU\\SOFTWARE\\X\\B0"}).status, 0);  // only begins like the deleted key
}

TEST_F(VerbsTest, CopyDuplicatesTheTreeUnderTheTarget) {
    const std::string source = OnStore({"query", kKeyX, "-s"}).out;
    Outcome r = OnStore({"copy", "hkcu\\software\\x\\", "HKLM\\SOFTWARE\\COPY"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The copy's listing is the source's with the key renamed, values and sub-keys alike.
    std::string renamed = source;
    for (std::size_t at; (at = renamed.find(kKeyX)) != std::string::npos;)
        renamed.replace(at, std::strlen(kKeyX), "HKEY_LOCAL_MACHINE\\SOFTWARE\\COPY");
    EXPECT_EQ(OnStore({"query", "HKLM\\SOFTWARE\\COPY", "-s"}).out, renamed);
    EXPECT_EQ(Query(kKeyX).find("COPY"), std::string::npos);
    // A copy whose sub-keys' paths would not fit is refused whole.
    const std::string before = ReadBytes(store_);
    const Outcome tooLong = OnStore({"copy", kKeyX, "HKLM\\" + std::string(kMaxKeyPathLength - 19, 'A')});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.err.find("a path too long), not changed"), std::string::npos) << tooLong.err;
    EXPECT_EQ(ReadBytes(store_), before);
}

TEST_F(VerbsTest, ExportWritesTheTwainExportOfTheKeysContainingTheFilter) {
    const std::string out = scratch_.File("out.reg");
    Outcome r = OnStore({"export", "--twain", "hkcu\\software\\x\\a_", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(out),
              "REGEDIT4\r\n[TWAIN Export]\r\nTWAIN_EXPORT=dword:00000001\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\X\\A_\\DEEP]\r\n\"Z\"=\"z\"\r\n");
    ASSERT_EQ(OnStore({"export", "--twain", "--all", out}).status, 0);
    EXPECT_NE(ReadBytes(out).find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n\"HOST\"=\"m\"\r\n"), std::string::npos);

    const std::string app = scratch_.File("app.txt");
    for (int i = 0; i < 2; ++i) ASSERT_EQ(OnStore({"export", "--app", "HKCU\\SOFTWARE\\X\\A_", app}).status, 0);
    EXPECT_EQ(ReadBytes(app), "[A_\\DEEP]\r\n\"Z\"=z\r\n[A_\\DEEP]\r\n\"Z\"=z\r\n");
    EXPECT_EQ(ReadBytes(store_), kSmallStore);
}

TEST_F(VerbsTest, ImportMergesAFileIntoTheStoreAndSavesIt) {
    const std::string in =
        Write("in.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n\"NAME\"=\"new\"\r\n\"EXTRA\"=dword:0000000a\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\IMPORTED]\r\n");
    Outcome r = OnStore({"import", in});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "extra"}).out,
              "HKEY_CURRENT_USER\\SOFTWARE\\X\n    EXTRA    REG_DWORD    0x0000000a (10)\n");
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "name"}).out,
              "HKEY_CURRENT_USER\\SOFTWARE\\X\n    NAME    REG_SZ    new\n");
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "gamma"}).status + OnStore({"query", "HKCU\\SOFTWARE\\IMPORTED"}).status,
              0);
}

TEST_F(VerbsTest, ValidateTellsCompleteStoreFilesFromOthers) {
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {kSmallStore, 0, "valid\n"},
        {"REGEDIT4\r\n[cinicheckfilevalid]\r\n", 1, "invalid\n"},
    };
    for (const auto& [text, status, out] : cases) {
        WriteBytes(store_, text);
        Outcome r = RunQorreg({"validate", store_});
        EXPECT_EQ(r.status, status) << text;
        EXPECT_EQ(r.out, out) << text;
    }
    EXPECT_EQ(RunQorreg({"validate", scratch_.File("none.ini")}).status, 2);
}

TEST_F(VerbsTest, RootFindsTheProductFolderWhoseStoreNamesTheModule) {
#ifdef _WIN32
    // The system's common application-data folder, with a company folder of this test's own.
    fs::path appData = std::getenv("ProgramData");
    std::string company = dir_.filename().string();
#else
    fs::path appData = dir_ / "appdata";
    std::string company = "Orvane Corp";
    setenv("QOR_COMMON_APPDATA", appData.string().c_str(), 1);
#endif
    alsoRemove_ = appData / company;
    fs::path product = appData / company / "DocScan" / "S1";
    std::string moduleFolder = (dir_ / "bin").string() + "/";
    fs::create_directories(product);
    WriteBytes((product / "S1.ini").string(), "");
    // Product store files hold their keys without a root name.
    std::string productStore = (product / "root.ini").string();
    std::string productKey = "SOFTWARE\\" + company + "\\DocScan\\S1";
    for (const auto& [name, data] : {std::pair<std::string, std::string>{"System Directory", moduleFolder},
                                     {"Twain Pathname", moduleFolder + "scan.ds"}}) {
        ASSERT_EQ(RunQorreg({"-f", productStore, "add", productKey, "-v", name, "-d", data, "--create"}).status, 0);
    }
    ASSERT_EQ(
        OnStore({"add", "HKLM\\SOFTWARE\\Orvane Corp\\Scanner", "-v", "ROOT1", "-d", "\\" + company + "\\DocScan"})
            .status,
        0);

    std::string expected = Slashed(productKey + "\n" + product.string() + "/\n");
    Outcome byFolder = OnStore({"root", moduleFolder + "scan.exe"});
    EXPECT_EQ(byFolder.status, 0) << byFolder.err;
    EXPECT_EQ(Slashed(byFolder.out), expected);
    Outcome byTwain = OnStore({"root", "--twain", moduleFolder + "scan.ds"});
    EXPECT_EQ(byTwain.status, 0) << byTwain.err;
    EXPECT_EQ(Slashed(byTwain.out), expected);

    EXPECT_EQ(OnStore({"root", "--twain", moduleFolder + "scan.exe"}).status, 1);
    // Nothing found: the message names every folder the search looked in and why it did not match.
    ASSERT_EQ(OnStore({"add", "HKLM\\SOFTWARE\\Orvane Corp\\Scanner", "-v", "ROOT2", "-d", "Nowhere"}).status, 0);
    ASSERT_EQ(OnStore({"add", "HKLM\\SOFTWARE\\Orvane Corp\\Scanner", "-v", "ROOT3", "-d", "\\Gone"}).status, 0);
    Outcome other = OnStore({"root", "/elsewhere/scan.exe"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(Slashed(other.err), Slashed("qorreg: no product folder names this module: /elsewhere/scan.exe (ROOT1: no "
                                          "sub-folder S of " +
                                          (appData / company / "DocScan").string() +
                                          " holds S.ini and a root.ini that names the module as \"System Directory\"; "
                                          "ROOT2 \"Nowhere\" is relative: it must begin with \\; ROOT3: the folder " +
                                          (appData / "Gone").string() + " does not exist)\n"));
    EXPECT_NE(RunQorreg({"-f", productStore, "root", "x"})
                  .err.find("(the lookup key HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane "
                            "Corp\\Scanner is not in " +
                            productStore + ")"),
              std::string::npos);
}

TEST_F(VerbsTest, HelpAndVersionAnswerWithoutAStoreFile) {
    Outcome help = RunQorreg({"add", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: qorreg -f FILE add KEY", 0), 0u) << help.out;
    EXPECT_EQ(RunQorreg({"--version"}).out.rfind("qorreg (QorCommonLib) 1.", 0), 0u);
    EXPECT_EQ(RunQorreg({"--help"}).out.rfind("Usage: qorreg -f FILE VERB", 0), 0u);
}

// Another writer (a thread) holds the lock: a change waits no longer than --wait and
// leaves the file alone; reading verbs take no lock.
TEST_F(VerbsTest, ChangingVerbsQueueOnTheLockAndNameTheLockFile) {
    std::promise<void> locked, done;
    std::thread holder([&] {
        CStoreFileLock lock(store_.c_str(), 0);
        locked.set_value();
        done.get_future().wait();
    });
    locked.get_future().wait();
    Outcome r = OnStore({"add", kKeyX, "-v", "NEW", "--wait", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("root.ini.lock"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(store_), kSmallStore);
    EXPECT_EQ(OnStore({"query", kKeyX, "-v", "NAME"}).status, 0);
    done.set_value();
    holder.join();
    EXPECT_EQ(OnStore({"add", kKeyX, "-v", "NEW", "--wait", "0"}).status, 0);
    EXPECT_NE(Query(kKeyX).find("NEW"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir_ / "root.ini.lock"));
}

#ifndef _WIN32
// A store or input file over the bound is refused at once by every verb,
// before any of it is read (the file is sparse: it costs no disk).
TEST_F(VerbsTest, FilesOverTheSizeBoundAreRefusedAsTooLarge) {
    const std::string huge = Write("huge.ini", "REGEDIT4\r\n");
    fs::resize_file(huge, (std::uintmax_t{1} << 40));
    const std::vector<std::vector<std::string>> commands = {
        {"-f", huge, "query", kKeyX},  {"-f", huge, "export", "--all", "out.reg"},
        {"-f", huge, "root", "x.dll"}, {"validate", huge},
        {"-f", huge, "add", kKeyX},    {"-f", store_, "import", huge},
    };
    for (const auto& command : commands) {
        Outcome r = RunQorreg(command);
        EXPECT_EQ(r.status, 2) << command.back();
        EXPECT_NE(r.err.find("file too large"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadBytes(store_), kSmallStore);
}
#endif

}  // namespace
}  // namespace qor::qorreg
