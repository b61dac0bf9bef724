#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CStoreFileCheck.h"
#include "testsupport/TestFiles.h"

namespace qor::store {
using namespace qor::testkit;
namespace {

using Check = CStoreFileCheck;

struct Seen {
    Check::Kind kind;
    unsigned line, otherLine;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> Found(const Check& check) {
    std::vector<Seen> seen;
    for (int i = 0; i < check.GetFindings().GetSize(); ++i) {
        const Check::Finding& f = check.GetFindings()[i];
        seen.push_back({f.kind, f.line, f.otherLine});
    }
    return seen;
}

const std::string kHead = "REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n";
const std::string kEnd = "[CINICHECKFILEVALID]\r\n";

// The verdict, the findings in their order (whole-file findings last) and
// the quick look of Classify (-1: it finds nothing) of one file each.
TEST(StoreFileCheck, VerdictFindingsAndQuickLookOfEachFile) {
    const std::tuple<const char*, std::string, int, std::vector<Seen>, int> cases[] = {
        {"clean", kHead + "\"A\"=\"1\"\r\n" + kEnd, Check::Clean, {}, -1},
        {"empty", "", Check::CannotLoad, {{Check::Empty, 0, 0}}, Check::Empty},
        {"no header", "[K]\r\n" + kEnd, Check::CannotLoad, {{Check::NotAStore, 0, 0}}, Check::NotAStore},
        {"UTF-16", std::string("\xFF\xFER\0E\0", 6), Check::CannotLoad, {{Check::Utf16, 0, 0}}, Check::Utf16},
        {"named again",
         kHead + "\"A\"=\"1\"\r\n\"a\"=\"2\"\r\n[hkey_current_user\\x]\r\n" + kEnd,
         Check::CannotLoad,
         {{Check::ValueNamedAgain, 4, 3}, {Check::KeyNamedAgain, 5, 2}},
         -1},
        {"marker before the end",
         kHead + kEnd + std::string(300, ';') + "\r\n",
         Check::Warnings,
         {{Check::MarkerMisplaced, 3, 0}, {Check::NoEquals, 4, 0}, {Check::MarkerMissing, 0, 0}},
         Check::MarkerMissing},
    };
    ScratchFolder folder;
    for (const auto& [what, text, verdict, findings, classified] : cases) {
        const std::string path = folder.File("root.ini");
        WriteBytes(path, text);
        Check check;
        EXPECT_EQ(check.Check(path.c_str()), verdict) << what;
        EXPECT_EQ(Found(check), findings) << what;
        Check::Kind kind{};
        EXPECT_EQ(Check::Classify(path.c_str(), kind), classified >= 0 ? 1 : 0) << what;
        if (classified >= 0) {
            EXPECT_EQ(kind, classified) << what;
        }
    }
    Check::Kind kind{};
    EXPECT_EQ(Check::Classify(folder.File("none.ini").c_str(), kind), 1);
    EXPECT_EQ(kind, Check::CannotRead);
}

// Among the file's findings, that kind at that line; the verdict follows from the kind.
TEST(StoreFileCheck, EachKindOfFindingAtItsLine) {
    const std::tuple<const char*, std::string, Check::Kind, unsigned> cases[] = {
        {"value before the first key", "REGEDIT4\r\n\"A\"=\"1\"\r\n[K]\r\n" + kEnd, Check::NoSection, 2},
        {"empty name", kHead + "=\"1\"\r\n" + kEnd, Check::EmptyName, 3},
        {"empty data", kHead + "\"A\"=\r\n" + kEnd, Check::EmptyData, 3},
        {"last line without line end", kHead + kEnd + "[HKEY_CURRENT_USER\\Y]", Check::UnendedLastLine, 4},
        {"key line with ] inside", kHead + "[A]B]\r\n\"V\"=\"1\"\r\n" + kEnd, Check::NotASection, 3},
        {"key named twice (LF lines)", "REGEDIT4\n[K]\n\"A\"=\"1\"\n\n[k]\n[CINICHECKFILEVALID]\n",
         Check::KeyNamedAgain, 5},
        {"NUL byte (CR-only lines)", std::string("REGEDIT4\r[K]\r\"A\"=\"a\0b\"\r", 23) + "[CINICHECKFILEVALID]\r",
         Check::NulByte, 3},
        {"name with = inside quotes", kHead + "\"A=B\"=\"1\"\r\n" + kEnd, Check::NameReadOtherwise, 3},
        {"string holding dword:", kHead + "\"A\"=\"x dword:5\"\r\n" + kEnd, Check::DataReadOtherwise, 3},
        {"string holding hex:", kHead + "\"A\"=\"see hex:01\"\r\n" + kEnd, Check::DataReadOtherwise, 3},
        {"hex digits without a type", kHead + "A=1F\r\n" + kEnd, Check::DataReadOtherwise, 3},
        {"continued byte list keeps the number of its first line",
         kHead + "\"A\"=hex:01,\\\r\n  02\r\n\"B\"=\"x\\\\\\\\y\"\r\n" + kEnd, Check::ChangedBySave, 5},
    };
    ScratchFolder folder;
    for (const auto& [what, text, kind, line] : cases) {
        const std::string path = folder.File("case.ini");
        WriteBytes(path, text);
        Check check;
        const int verdict = check.Check(path.c_str());
        EXPECT_EQ(verdict, kind == Check::KeyNamedAgain ? Check::CannotLoad : Check::Warnings) << what;
        bool found = false;
        for (const Seen& s : Found(check)) found = found || (s.kind == kind && s.line == line);
        EXPECT_TRUE(found) << what;
    }
}

TEST(StoreFileCheck, FindingCarriesKeyNameAndTextsAndIsReplacedByTheNextCheck) {
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    WriteBytes(path, kHead + "\"a\"=\"x\\\\\\\\y\"\r\n" + kEnd);
    Check check;
    ASSERT_EQ(check.Check(path.c_str()), Check::Warnings);
    ASSERT_EQ(Found(check), (std::vector<Seen>{{Check::DataReadOtherwise, 3, 0}, {Check::ChangedBySave, 3, 0}}));
    EXPECT_STREQ(check.GetFindings()[0].saved, "");
    const Check::Finding& f = check.GetFindings()[1];
    EXPECT_STREQ(f.key, "HKEY_CURRENT_USER\\X");
    EXPECT_STREQ(f.name, "A");
    EXPECT_STREQ(f.text, "\"a\"=\"x\\\\\\\\y\"");
    EXPECT_STREQ(f.stored, "<string>x\\\\y");
    EXPECT_STREQ(f.saved, "<string>x\\y");
    EXPECT_EQ(check.Check(folder.File("none.ini").c_str()), Check::CannotLoad);
    EXPECT_EQ(Found(check), (std::vector<Seen>{{Check::CannotRead, 0, 0}}));
}

}  // namespace
}  // namespace qor::store
