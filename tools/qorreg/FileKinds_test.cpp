// The words qorreg gives for a file as a whole, and how import tells the
// kinds of input file apart by their first bytes.
#include "FileKinds.h"

#include <set>

#include <gtest/gtest.h>

#include "testsupport/TestFiles.h"

namespace qor::qorreg {
namespace {

using namespace std::string_literals;

// Each whole-file finding has words of its own; no kind falls to the
// placeholder that per-line findings get.
TEST(FileKinds, EachWholeFileFindingHasItsOwnWords) {
    std::set<std::string> seen;
    for (const CStoreFileCheck::Kind kind :
         {CStoreFileCheck::CannotRead, CStoreFileCheck::TooLarge, CStoreFileCheck::Utf16, CStoreFileCheck::Empty,
          CStoreFileCheck::NotAStore, CStoreFileCheck::MarkerMissing, CStoreFileCheck::KeyNamedAgain}) {
        const Words words = WholeFileWords(kind);
        EXPECT_NE(words.found, "?") << kind;
        EXPECT_NE(words.does, "?") << kind;
        EXPECT_TRUE(seen.insert(words.found).second) << words.found;
    }
    // A file that fails to load for no key named twice: the general words.
    qor::testkit::ScratchFolder folder;
    EXPECT_EQ(WhyLoadFails(folder.File("missing.ini")), WholeFileWords(CStoreFileCheck::KeyNamedAgain).found);
}

TEST(FileKinds, InputKindFollowsTheFirstBytes) {
    const std::pair<std::string, InputKind> cases[] = {
        {"\xFF\xFER\0"s, InputKind::Regedit},
        {"\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n", InputKind::Regedit},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n", InputKind::Regedit},
        {"REGEDIT4\r\n[twain export]\r\n", InputKind::Twain},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n[CINICHECKFILEVALID]\r\n", InputKind::Store},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n", InputKind::Unclear},
        {"REGEDIT5\r\n", InputKind::NotRegistry},
        {"", InputKind::NotRegistry},
    };
    qor::testkit::ScratchFolder folder;
    const std::string path = folder.File("in.reg");
    for (const auto& [bytes, kind] : cases) {
        qor::testkit::WriteBytes(path, bytes);
        EXPECT_EQ(DetectInputKind(path), kind) << bytes;
    }
    InputKind kind = InputKind::NotRegistry;
    for (const auto& [text, named] :
         {std::pair{"Twain", InputKind::Twain}, {"store", InputKind::Store}, {"REGEDIT", InputKind::Regedit}}) {
        EXPECT_TRUE(ParseInputKind(text, kind)) << text;
        EXPECT_EQ(kind, named) << text;
    }
    EXPECT_FALSE(ParseInputKind("ini", kind));
    EXPECT_EQ(kind, InputKind::Regedit);
}

}  // namespace
}  // namespace qor::qorreg
