#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CIniClass.h"
#include "store/IniClassInternal.h"
#include "store/KnownFiles.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace qor::store {
using namespace qor::testkit;
namespace {

using Texts = std::vector<std::string>;

const std::string kLoaded =
    "REGEDIT4\r\n[A]\r\n\"V\"=\"a\"\r\n\"W\"=\"w\"\r\n[A\\B]\r\n\"V\"=\"b\"\r\n[C]\r\n\"V\"=\"c\"\r\n"
    "[D]\r\n\"E\"=\"e\"\r\n\"V\"=\"d\"\r\n[CINICHECKFILEVALID]\r\n";
// Another writer's save after the load: a value added to A, a key added
// below A, C's value changed, D deleted.
const std::string kOthers =
    "REGEDIT4\r\n[A]\r\n\"V\"=\"a\"\r\n\"W\"=\"w\"\r\n\"X\"=\"other\"\r\n[A\\B]\r\n\"V\"=\"b\"\r\n"
    "[A\\NEW]\r\n\"V\"=\"other\"\r\n[C]\r\n\"V\"=\"other\"\r\n[CINICHECKFILEVALID]\r\n";

// The other writer's file as lines, with the lines of keys replaced.
Texts OthersWith(const std::vector<std::pair<std::string, Texts>>& replaced) {
    std::vector<std::pair<std::string, Texts>> keys = {{"A", {"V = <string>a", "W = <string>w", "X = <string>other"}},
                                                       {"A\\B", {"V = <string>b"}},
                                                       {"A\\NEW", {"V = <string>other"}},
                                                       {"C", {"V = <string>other"}}};
    for (const auto& [key, lines] : replaced) {
        const auto at = std::find_if(keys.begin(), keys.end(), [&key = key](const auto& k) { return k.first == key; });
        if (at != keys.end()) {
            at->second = lines;
        } else {
            keys.emplace_back(key, lines);
        }
    }
    std::sort(keys.begin(), keys.end());
    Texts texts;
    for (const auto& [key, lines] : keys) {
        if (lines.size() == 1 && lines[0] == "(deleted)") continue;
        texts.push_back("[" + key + "]");
        texts.insert(texts.end(), lines.begin(), lines.end());
    }
    return texts;
}

// The other writer's file when it lists its keys in descending order.
const std::string kOthersDescending =
    "REGEDIT4\r\n[C]\r\n\"V\"=\"other\"\r\n[A\\NEW]\r\n\"V\"=\"other\"\r\n[A\\B]\r\n\"V\"=\"b\"\r\n"
    "[A]\r\n\"V\"=\"a\"\r\n\"W\"=\"w\"\r\n\"X\"=\"other\"\r\n";

Texts LinesIn(const std::string& path) {
    CIniClass saved;
    EXPECT_EQ(saved.LoadFile(path.c_str()), 1) << path;
    return StoreLines(saved);
}

class SaveMerge : public ::testing::Test {
protected:
    ScratchFolder folder;
    const std::string path = folder.File("root.ini");
    CIniClass store;
};

struct MergeCase {
    const char* name;
    std::function<void(CIniClass&, const ScratchFolder&)> change;
    Texts expected;
    std::string others = kOthers;
};

TEST_F(SaveMerge, EachWriteOfTheStoreIsAppliedToTheFileAnotherWriterChanged) {
    const MergeCase cases[] = {
        {"nothing changed", [](CIniClass&, const ScratchFolder&) {}, OthersWith({})},
        {"a value both changed: the later save wins",
         [](CIniClass& s, const ScratchFolder&) { s.SetValue("C", "V", "<string>mine"); },
         OthersWith({{"C", {"V = <string>mine"}}})},
        {"a value set in a key the other deleted: the key with that value only",
         [](CIniClass& s, const ScratchFolder&) { s.SetValue("D", "V", "<string>mine"); },
         OthersWith({{"D", {"V = <string>mine"}}})},
        {"a key added", [](CIniClass& s, const ScratchFolder&) { s.AddKey("E"); }, OthersWith({{"E", {}}})},
        {"a value removed", [](CIniClass& s, const ScratchFolder&) { s.RemoveValue("A", "W"); },
         OthersWith({{"A", {"V = <string>a", "X = <string>other"}}})},
        {"a subtree deleted, then a key added below it: the other's addition there goes",
         [](CIniClass& s, const ScratchFolder&) {
             s.DeleteSubtree("A");
             s.SetValue("A\\B", "V", "<string>again");
         },
         OthersWith({{"A", {"(deleted)"}}, {"A\\NEW", {"(deleted)"}}, {"A\\B", {"V = <string>again"}}})},
        {"RemoveAll, then a key added",
         [](CIniClass& s, const ScratchFolder&) {
             s.RemoveAll();
             s.SetValue("Z", "V", "<string>z");
         },
         Texts{"[Z]", "V = <string>z"}},
        {"an import",
         [](CIniClass& s, const ScratchFolder&) { s.ImportText(CString("REGEDIT4\r\n[C]\r\n\"N\"=\"imp\"\r\n")); },
         OthersWith({{"C", {"N = <string>imp", "V = <string>other"}}})},
        {"a load of another file",
         [](CIniClass& s, const ScratchFolder& f) {
             WriteBytes(f.File("machine.ini"), "REGEDIT4\r\n[M]\r\n\"V\"=\"m\"\r\n");
             s.LoadFile(f.File("machine.ini").c_str());
         },
         OthersWith({{"M", {"V = <string>m"}}})},
        // Sections the store wrote are matched line by line with the lines
        // of its values: a line changed after one that matched, a text
        // changed within its length, a section's last line gone, and lines
        // ended by LF alone.
        {"the other changed values, dropped a last one, ended lines by LF", [](CIniClass&, const ScratchFolder&) {},
         Texts{"[A]", "V = <string>a", "W = <string>w2", "[A\\B]", "V = <string>b", "[C]", "V = <string>x", "[D]",
               "E = <string>e"},
         "REGEDIT4\r\n[A]\r\n\"V\"=\"a\"\r\n\"W\"=\"w2\"\r\n[A\\B]\n\"V\"=\"b\"\n[C]\r\n\"V\"=\"x\"\r\n"
         "[D]\r\n\"E\"=\"e\"\r\n[CINICHECKFILEVALID]\r\n"},
        // The save compares the file with the store as it reads it, in
        // ascending key order; a file in another order is read again whole,
        // so it merges alike, and a key named twice out of order still makes
        // it unreadable: the store is written as it stands.
        {"the other's keys in descending order",
         [](CIniClass& s, const ScratchFolder&) { s.SetValue("C", "V", "<string>mine"); },
         OthersWith({{"C", {"V = <string>mine"}}}), kOthersDescending},
        {"a key the store holds alike named again last, out of order",
         [](CIniClass& s, const ScratchFolder&) { s.SetValue("C", "V", "<string>mine"); },
         Texts{"[A]", "V = <string>a", "W = <string>w", "[A\\B]", "V = <string>b", "[C]", "V = <string>mine", "[D]",
               "E = <string>e", "V = <string>d"},
         kOthersDescending + "[A\\B]\r\n"},
    };
    for (const MergeCase& test : cases) {
        SCOPED_TRACE(test.name);
        WriteBytes(path, kLoaded);
        CIniClass loaded;
        ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
        test.change(loaded, folder);
        WriteBytes(path, test.others);
        ASSERT_EQ(loaded.SaveFile(path.c_str(), ""), 1);
        EXPECT_EQ(LinesIn(path), test.expected);
        EXPECT_EQ(StoreLines(loaded), test.expected) << "the store holds what it saved";
    }
}

TEST_F(SaveMerge, FileTheStoreNeverLoadedOrCouldNotReadIsWrittenAsTheStoreStands) {
    store.SetValue("C", "V", "<string>mine");
    // Never loaded: written as it stands.
    WriteBytes(path, kOthers);
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(StoreLines(store), (Texts{"[C]", "V = <string>mine"}));
    // Changed since into a file that names a key twice: written as it stands.
    WriteBytes(path, "REGEDIT4\r\n[C]\r\n[C]\r\n\"N\"=\"x\"\r\n");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(LinesIn(path), (Texts{"[C]", "V = <string>mine"}));
}

TEST_F(SaveMerge, FileMissingAtTheLoadThatAnotherWriterMadeIsMerged) {
    store.SetValue("Z", "V", "<string>z");
    ASSERT_EQ(store.LoadFile(path.c_str()), 0);
    WriteBytes(path, kOthers);
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(LinesIn(path), OthersWith({{"Z", {"V = <string>z"}}}));
}

// A save to a file the store forgot writes the store as it stands.
TEST_F(SaveMerge, StoreSavedToManyFilesRemembersTheLatestOnly) {
    store.SetValue("C", "V", "<string>mine");
    const auto copy = [this](std::size_t i) { return folder.File("copy" + std::to_string(i) + ".ini"); };
    for (std::size_t i = 0; i <= KnownFiles::kMostFiles; ++i) ASSERT_EQ(store.SaveFile(copy(i).c_str(), ""), 1);
    for (std::size_t i : {std::size_t{0}, KnownFiles::kMostFiles}) WriteBytes(copy(i), kOthers);
    for (std::size_t i : {std::size_t{0}, KnownFiles::kMostFiles}) ASSERT_EQ(store.SaveFile(copy(i).c_str(), ""), 1);
    EXPECT_EQ(LinesIn(copy(0)), (Texts{"[C]", "V = <string>mine"})) << "forgotten";
    EXPECT_EQ(LinesIn(copy(KnownFiles::kMostFiles)), OthersWith({})) << "remembered";
    // What the files hold is counted: each remembered path, then each change.
    const std::size_t held = Internal(store).files.HeldBytes();
    EXPECT_GT(held, KnownFiles::kMostFiles * copy(0).size());
    store.SetValue("C", "W", "<string>a change every remembered file records");
    EXPECT_GT(Internal(store).files.HeldBytes(), held);
}

TEST_F(SaveMerge, ExcludedKeysStayInTheStoreAsTheyAreAndOutOfTheFile) {
    WriteBytes(path, kLoaded);
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    store.SetValue("C", "V", "<string>mine");
    WriteBytes(path, kOthers);
    ASSERT_EQ(store.SaveFile(path.c_str(), "D"), 1);
    EXPECT_EQ(ValueOf(store, "D", "E"), "<string>e");
    EXPECT_EQ(LinesIn(path), OthersWith({{"C", {"V = <string>mine"}}}));
    // Saved without a prefix after another writer's save, the keys the last
    // save left out are written from memory.
    WriteBytes(path, kOthers);
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(LinesIn(path), OthersWith({{"D", {"E = <string>e", "V = <string>d"}}}));
}

// A save with no other writer writes the bytes it wrote before saves merged
// (store/testdata/saved.golden.ini, written by that library).
TEST_F(SaveMerge, SaveWithNoOtherWriterWritesTheSameBytesAsBefore) {
    const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path();
    WriteBytes(path, ReadBytes((source / "../examples/root.ini").string()));
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\DOCSCAN", "LANGUAGE", "<string>de-DE");
    store.RemoveValue("HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\DOCSCAN", "WINDOW PLACEMENT");
    store.DeleteSubtree("HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\DOCSCAN\\DEVICES\\ADF-60");
    store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\DOCSCAN\\NEW", "COUNT", "<dword>7");
    const std::string golden = ReadBytes((source / "testdata/saved.golden.ini").string());
    ASSERT_EQ(store.SaveFile(path.c_str(), "HKEY_LOCAL_MACHINE"), 1);
    EXPECT_EQ(ReadBytes(path), golden);
    ASSERT_EQ(store.SaveFile(path.c_str(), "HKEY_LOCAL_MACHINE"), 1);
    EXPECT_EQ(ReadBytes(path), golden) << "a second save, of a file the store saved";
}

}  // namespace
}  // namespace qor::store
