// What a person at the keyboard meets: the system's reason in file
// messages, control bytes escaped, texts in the file's code page, "-" for
// standard input and output.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "testsupport/TestFiles.h"

#include "JsonShape_test.h"
#include "Verbs.h"
#include "host/Host.h"

namespace qorreg {
namespace {
namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

class KeyboardTest : public ::testing::Test {
protected:
    Outcome Run(const std::vector<std::string>& args, const std::string& input = std::string()) {
        std::istringstream in(input);
        std::ostringstream out, err;
        const int status = qorreg::Run(args, in, out, err);
        return {status, out.str(), err.str()};
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        qor::testkit::WriteBytes(scratch_.File(name), bytes);
        return scratch_.File(name);
    }

    qor::testkit::ScratchFolder scratch_{"qorreg_keyboard"};
    fs::path dir_ = scratch_.FsPath();
};

const std::string kCp1252Store = "REGEDIT4\r\n[HKEY_CURRENT_USER\\P]\r\n\"NAME\"=\"J\xFCrgen\"\r\n[CINICHECKFILEVALID]\r\n";

TEST_F(KeyboardTest, FileFailuresEndWithTheSystemsReason) {
    const std::string store = Write("root.ini", kCp1252Store);
    const std::string lock = store + ".lock";
    fs::create_directory(lock);  // the lock file cannot be made
    const std::string missing = (dir_ / "none" / "out.reg").string();
    const struct {
        std::vector<std::string> args;
        std::string before;  // the message up to the reason
    } cases[] = {
        {{"-f", store, "export", "HKCU\\P", missing}, "cannot write file: " + missing + ": "},
        {{"-f", store, "add", "HKCU\\P", "--wait", "0"}, "cannot create the lock file: "},
    };
    for (const auto& c : cases) {
        const Outcome r = Run(c.args);
        EXPECT_EQ(r.status, 2) << r.err;
        const std::size_t at = r.err.find(c.before);
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

TEST_F(KeyboardTest, ControlBytesReachTheTerminalEscaped) {
    const std::string store = Write("root.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\P]\r\n\"A\x07\"=\"\x1b[2J\"\r\n"
                                                 "\x1b[31m junk\r\n[CINICHECKFILEVALID]\r\n");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-f", store, "query", "HKCU\\P"},
                                                 {"check", store}, {"-f", store, "query", "HKCU\\\x1b[31m"}}) {
        const Outcome r = Run(args);
        EXPECT_EQ((r.out + r.err).find_first_of("\x07\x1b"), std::string::npos) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find("\\x1b["), std::string::npos) << r.out << r.err;
    }
}

TEST_F(KeyboardTest, TextsAreConvertedBetweenTheFilesCodePageAndTheTerminals) {
    const unsigned native = host::NativeCodePage();
    if (native != host::kUtf8 && native != 1252) GTEST_SKIP() << "a host code page this test has no texts for";
    const std::string jurgen = native == host::kUtf8 ? "J\xC3\xBCrgen" : "J\xFCrgen";
    const std::string koeln = native == host::kUtf8 ? "K\xC3\xB6ln" : "K\xF6ln";
    const std::string store = Write("root.ini", kCp1252Store);

    EXPECT_NE(Run({"-f", store, "query", "HKCU\\P", "--codepage", "1252"}).out.find("REG_SZ    " + jurgen + "\n"),
              std::string::npos);
    const Json json = Json::parse(Run({"-f", store, "query", "HKCU\\P", "--json", "--codepage", "cp1252"}).out);
    EXPECT_EQ(json["values"][0]["data"], "J\xC3\xBCrgen");  // JSON is UTF-8 whatever the terminal's code page
    ASSERT_EQ(Run({"-f", store, "add", "HKCU\\P", "-v", "City", "-d", koeln, "--codepage", "windows-1252"}).status, 0);
    EXPECT_NE(qor::testkit::ReadBytes(store).find("\"CITY\"=\"K\xF6ln\"\r\n"), std::string::npos);
    // A character the code page has no byte for is refused before the file is touched.
    EXPECT_EQ(Run({"-f", store, "add", "HKCU\\P", "-v", "X", "-d", native == host::kUtf8 ? "\xE2\x82\xAC\xE4\xB8\x80" : "\x81",
                   "--codepage", "1252"}).status, 2);
    EXPECT_EQ(Run({"-f", store, "query", "HKCU\\P", "--codepage", "no-such"}).status, 2);

    // check: 8-bit texts the code page does not hold, and UTF-8 mixed with other 8-bit text.
    const Outcome utf8 = Run({"check", store, "--codepage", "utf-8"});
    EXPECT_EQ(utf8.status, 1);
    EXPECT_NE(utf8.out.find(":3: warning: a text that is not valid in code page UTF-8"), std::string::npos) << utf8.out;
    const std::string mixed = Write("mixed.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\P]\r\n\"A\"=\"J\xFCrgen\"\r\n"
                                                 "\"B\"=\"K\xC3\xB6ln\"\r\n[CINICHECKFILEVALID]\r\n");
    const Json report = Json::parse(Run({"check", mixed, "--json", "--codepage", "1252"}).out);
    EXPECT_EQ(report["verdict"], "warnings");
    ASSERT_EQ(report["findings"].size(), 1u) << report;
    EXPECT_EQ(report["findings"][0]["kind"], "mixed-8-bit-text");
    EXPECT_EQ(Run({"check", store, "--codepage", "1252"}).status, 0);
}

TEST_F(KeyboardTest, DashReadsStandardInputAndExportWritesStandardOutput) {
    const std::string store = Write("root.ini", kCp1252Store);
    const std::string bytes = qor::testkit::ReadBytes(store);
    EXPECT_NE(Run({"-f", "-", "query", "HKCU\\P"}, bytes).out.find("NAME    REG_SZ"), std::string::npos);
    EXPECT_EQ(Run({"check", "-", "--codepage", "1252"}, bytes).status, 0);
    EXPECT_EQ(Run({"compare", store, "-"}, bytes).status, 0);
    const Outcome exported = Run({"-f", store, "export", "HKCU\\P", "-"});
    EXPECT_EQ(exported.out.rfind("REGEDIT4\r\n", 0), 0u) << exported.out;
    EXPECT_FALSE(fs::exists(dir_ / "-"));

    const std::string other = Write("other.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Q]\r\n[CINICHECKFILEVALID]\r\n");
    ASSERT_EQ(Run({"-f", other, "import", "-"}, exported.out).status, 0);
    EXPECT_EQ(Run({"compare", store, other, "HKCU\\P"}).status, 0);
    // Standard input is read once and never changed.
    const Outcome twice = Run({"compare", "-", "-"}, bytes);
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.err, "qorreg: only one file can be standard input (-)\n");
    EXPECT_EQ(Run({"-f", "-", "add", "HKCU\\P"}, bytes).status, 2);
    EXPECT_EQ(Run({"-f", "-", "query", "HKCU\\Nothing"}, bytes).err, "qorreg: key not found: HKEY_CURRENT_USER\\NOTHING\n");
}

}  // namespace
}  // namespace qorreg
