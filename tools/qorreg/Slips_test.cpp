// qorreg in the hands of someone in a hurry: each slip is refused with its
// status and a one-line message and leaves every file as it was (no lock
// file made); a broken file gets one verdict from every verb; export then
// import gives the store back, or names what it cannot.
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "ToolTest.h"

namespace qor::qorreg {
namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;

const char kDocScan[] = "HKCU\\Software\\Orvane Corp\\DocScan";

class SlipsTest : public ToolFolder {
protected:
    void SetUp() override {
        fs::copy_file(QOR_EXAMPLE_STORE, scratch_.File("good.ini"));
        Write("garbage.bin", "\177ELF\2\1\0 binary\r\n[not]\r\n\0"s);
        Write("cut.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n\"A\"=\"b\"\r\n");
        Write("empty.ini", "");
        Write("utf16.ini", "R\0E\0G\0E\0D\0I\0T\0\x34\0\r\0\n\0"s);
        Write("dup.ini", "REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n[HKEY_CURRENT_USER\\X]\r\n[CINICHECKFILEVALID]\r\n");
        Write("tw.reg", "REGEDIT4\r\n[TWAIN Export]\r\nTWAIN_EXPORT=dword:00000001\r\n[HKEY_CURRENT_USER\\X]\r\n");
        fs::create_directory(scratch_.File("adir"));
    }

    // Runs the command; an argument "%NAME" is the file NAME of the scratch folder.
    Outcome Run(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg.starts_with('%')) arg = scratch_.File(arg.substr(1));
        }
        return RunQorreg(args);
    }

    // Every entry of the folder with its bytes: what a slip must leave as it was.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            contents[name] = entry.is_directory() ? "<folder>" : qor::testkit::ReadBytes(entry.path().string());
        }
        return contents;
    }
};

TEST_F(SlipsTest, EachSlipIsRefusedWithItsStatusAndMessageAndChangesNoFile) {
    // arguments, exit status, a part of the message
    const std::tuple<std::vector<std::string>, int, const char*> kSlips[] = {
        {{"-f", "%good.ini", "import", "%garbage.bin"}, 2, "not a registry file: "},
        {{"-f", "%good.ini", "import", "%empty.ini"}, 2, "not a registry file: "},
        {{"-f", "%good.ini", "import", "%cut.ini"}, 2, "--as store or --as regedit"},
        {{"-f", "%good.ini", "import", "--as", "ini", "%tw.reg"}, 2, "--as takes store, twain or regedit"},
        {{"-f", "%good.ini", "import", "--as", "store", "%dup.ini"}, 2, "key HKEY_CURRENT_USER\\X is named again"},
        {{"-f", "%good.ini", "delete", "HKCU"}, 2, "will not delete a root key (a key of one name): HKEY_CURRENT_USER"},
        {{"-f", "%good.ini", "delete", "SOFTWARE"}, 2, "will not delete a root key (a key of one name): SOFTWARE"},
        {{"-f", "%roto.ini", "add", kDocScan, "-v", "A"}, 2, "no such file: "},
        {{"-f", "%roto.ini", "import", "%tw.reg"}, 2, "(--create makes a new store file)"},
        {{"-f", "%good.ini", "add", kDocScan, "-V", "LANGUAGE", "-d", "de-DE"},
         2,
         "a value name is given with -v NAME"},
        {{"-f", "%good.ini", "delete", kDocScan, "-V", "LANGUAGE"}, 2, "-V/--version stands alone"},
        {{"compare", "%good.ini", "%good.ini", "--version"}, 1, "-V/--version stands alone"},
        {{"-f", "%good.ini", "export", "FB-2400"}, 2, "export needs KEY and OUT"},
        {{"-f", "%good.ini", "export", "--all", "HKCU", "%all.reg"}, 2, "export --all takes only OUT"},
        {{"-f", "%good.ini", "export", "--twain", "--utf16", kDocScan, "%o.reg"}, 2, "--utf16 is for the regedit form"},
        {{"-f", "%adir", "add", kDocScan}, 2, "it is a folder: "},
        {{"-f", "%garbage.bin", "delete", kDocScan}, 2, "not a store file, not changed: "},
        {{"-f", "%empty.ini", "add", kDocScan}, 2, "an empty file, no store file, not changed: "},
        {{"-f", "%utf16.ini", "add", kDocScan}, 2, "UTF-16 text"},
        {{"-f", "%dup.ini", "import", "%tw.reg"},
         2,
         "key HKEY_CURRENT_USER\\X is named again (first on line 2), not changed"},
        {{"-f", "%cut.ini", "copy", "HKCU\\X", "HKCU\\Y"},
         2,
         "no end marker line [CINICHECKFILEVALID] at the end, not changed"},
    };
    const auto before = Contents();
    for (const auto& [args, status, message] : kSlips) {
        SCOPED_TRACE(testing::PrintToString(args));
        const Outcome r = Run(args);
        EXPECT_EQ(r.status, status);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(Contents(), before);
    }
}

// Statuses of query, add, validate and compare (check's words for each kind: SupportVerbs_test).
TEST_F(SlipsTest, EveryVerbJudgesABrokenFileInTheSameWords) {
    using Verdict = std::tuple<const char*, const char*, int, int, int, int>;
    const Verdict kVerdicts[] = {
        {"empty.ini", "an empty file, no store file", 2, 2, 1, 1},
        {"utf16.ini", "UTF-16 text", 2, 2, 1, 1},
        {"garbage.bin", "the first line is not REGEDIT4: not a store file", 2, 2, 1, 1},
        {"dup.ini", "key HKEY_CURRENT_USER\\X is named again (first on line 2)", 2, 2, 1, 1},
        {"cut.ini", "no end marker line [CINICHECKFILEVALID] at the end", 0, 2, 1, 0},
    };
    for (const auto& [name, words, query, add, validate, compare] : kVerdicts) {
        const std::string file = std::string("%") + name;
        const std::pair<std::vector<std::string>, int> kRuns[] = {
            {{"-f", file, "query", "HKCU\\X"}, query},
            {{"-f", file, "ADD", "HKCU\\X", "--create"}, add},
            {{"validate", file}, validate},
            {{"-f", file, "compare", file}, compare},
        };
        for (const auto& [args, status] : kRuns) {
            const Outcome r = Run(args);
            SCOPED_TRACE(testing::PrintToString(args));
            EXPECT_EQ(r.status, status);
            EXPECT_NE((r.out + r.err).find(words), std::string::npos) << r.out << r.err;
        }
    }
}

// What does not arrive the export names on the error stream.
TEST_F(SlipsTest, ExportThenImportGivesTheStoreBackOrNamesWhatItCannot) {
    std::vector<std::string> stores = {QOR_EXAMPLE_STORE};
    for (const auto& entry : fs::directory_iterator(QORREG_SOURCE_DIR "/../../fuzz/corpus/load_file_fuzzer")) {
        stores.push_back(entry.path().string());
    }
    int exact = 0;
    for (const std::string& original : stores) {
        CStoreFileCheck::Kind kind;
        if (CStoreFileCheck::Classify(original.c_str(), kind) == 1) continue;  // the verbs refuse it
        CIniClass loaded;
        if (loaded.LoadFile(original.c_str()) != 1) continue;
        for (const char* form : {"--regedit", "--twain"}) {
            fs::remove(scratch_.File("back.ini"));
            const Outcome exported = Run({"-f", original, "export", form, "--all", "%out.reg"});
            ASSERT_EQ(exported.status, 0) << original << exported.err;
            const Outcome imported = Run({"-f", "%back.ini", "import", "--create", "%out.reg"});
            ASSERT_EQ(imported.status, 0) << original << imported.err;
            CIniClass back;
            ASSERT_EQ(back.LoadFile(scratch_.File("back.ini").c_str()), 1);
            for (const std::string& lost : NotReadBack(loaded, TakeSnapshot(loaded), back)) {
                EXPECT_NE(exported.err.find(lost + " "), std::string::npos) << original << " " << form << ": " << lost;
            }
            if (exported.err.empty()) {
                EXPECT_EQ(Run({"compare", original, "%back.ini"}).status, 0) << original << " " << form;
                ++exact;
            }
        }
        // A store file given to import is read by its own rules: always the same store.
        fs::remove(scratch_.File("back.ini"));
        ASSERT_EQ(Run({"-f", "%back.ini", "import", "--create", original}).status, 0) << original;
        EXPECT_EQ(Run({"compare", original, "%back.ini"}).status, 0) << original;
    }
    EXPECT_GE(exact, 5);
}

}  // namespace
}  // namespace qor::qorreg
