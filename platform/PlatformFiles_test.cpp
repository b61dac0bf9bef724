// Files and folders through the platform interface, as the store uses them.
#include "platform/Platform.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <gtest/gtest.h>

#include "testsupport/TestFiles.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

class PlatformFiles : public ::testing::Test {
protected:
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::ofstream(root_ / relative, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& relative) const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Path(relative), bytes)) << relative;
        return bytes;
    }

    testkit::ScratchFolder folder_{"qor_platform"};
    const fs::path root_ = folder_.FsPath();
};

TEST_F(PlatformFiles, ReplaceWritesNewContentOrCreatesTheFileAndLeavesNoTemporaryBehind) {
    Write("root.ini", "old content that is longer than the new one");
    ASSERT_TRUE(ReplaceFileAtomically(Path("root.ini"), "new"));
    EXPECT_EQ(Read("root.ini"), "new");
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"root.ini"});
    const std::string bytes("a\0b\r\n", 5);
    ASSERT_TRUE(ReplaceFileAtomically(Path("fresh.ini"), bytes));
    EXPECT_EQ(Read("fresh.ini"), bytes);
}

TEST_F(PlatformFiles, ReplaceFailsInAMissingFolderOrOverAFolderAndLeavesNoTemporary) {
    EXPECT_FALSE(ReplaceFileAtomically(Path("missing/root.ini"), "data"));
    EXPECT_FALSE(fs::exists(root_ / "missing"));
    EXPECT_TRUE(folder_.Entries().empty());
    fs::create_directory(root_ / "root.ini");
    Write("root.ini/inside", "kept");
    EXPECT_FALSE(ReplaceFileAtomically(Path("root.ini"), "data"));
    EXPECT_TRUE(fs::is_directory(root_ / "root.ini"));
    EXPECT_EQ(Read("root.ini/inside"), "kept");
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"root.ini"});
}

// Pieces that give up or throw keep the old file; no temporary is left behind either way.
TEST_F(PlatformFiles, ReplaceFromPiecesWritesThemInOrderOrKeepsTheOldFile) {
    Write("root.ini", "old");
    EXPECT_FALSE(ReplaceFileAtomicallyFrom(Path("root.ini"), [](const PieceWriter& write) {
        write("half of a file");
        return false;
    }));
    EXPECT_THROW(ReplaceFileAtomicallyFrom(Path("root.ini"),
                                           [](const PieceWriter& write) -> bool {
                                               write("half of a file");
                                               throw std::runtime_error("no memory for the next piece");
                                           }),
                 std::runtime_error);
    EXPECT_EQ(Read("root.ini"), "old");
    const std::vector<std::string> pieces = {"REGEDIT4\r\n", "", std::string(70000, 'x'), "[END]\r\n"};
    ASSERT_TRUE(ReplaceFileAtomicallyFrom(Path("root.ini"), [&pieces](const PieceWriter& write) {
        return std::all_of(pieces.begin(), pieces.end(), [&write](const std::string& piece) { return write(piece); });
    }));
    EXPECT_EQ(Read("root.ini"), pieces[0] + pieces[2] + pieces[3]);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"root.ini"});
}

TEST_F(PlatformFiles, ReadRefusesFoldersAndMissingFilesAndKeepsTheBufferButReadsAnEmptyFile) {
    fs::create_directory(root_ / "folder");
    std::string bytes = "untouched";
    EXPECT_FALSE(ReadWholeFile(Path("folder"), bytes));
    EXPECT_FALSE(ReadWholeFile(Path("absent.ini"), bytes));
    EXPECT_EQ(bytes, "untouched");
    Write("empty.ini", "");
    EXPECT_TRUE(ReadWholeFile(Path("empty.ini"), bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(PlatformFiles, WholeAndPieceReadsHandOverEveryByteInOrderAndStopWhenAsked) {
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    Write("big.ini", bytes);
    EXPECT_TRUE(Read("big.ini") == bytes);
    std::string joined;
    int pieces = 0;
    ASSERT_TRUE(ReadFileInPieces(Path("big.ini"), [&](std::string_view piece) {
        joined.append(piece);
        return ++pieces > 0;
    }));
    EXPECT_EQ(joined, bytes);
    EXPECT_GT(pieces, 1);
    pieces = 0;
    EXPECT_FALSE(ReadFileInPieces(Path("big.ini"), [&pieces](std::string_view) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
    Write("empty.ini", "");
    EXPECT_TRUE(ReadFileInPieces(Path("empty.ini"), [](std::string_view) { return false; }));
    for (const char* refused : {"missing.ini", ""}) {
        EXPECT_FALSE(ReadFileInPieces(Path(refused), [](std::string_view) { return true; })) << refused;
    }
}

TEST_F(PlatformFiles, ReadsRefuseFilesLongerThanTheirBoundBeforeAndWhileReading) {
    Write("four.ini", "1234");
    std::string bytes = "untouched";
    EXPECT_TRUE(ReadWholeFile(Path("four.ini"), bytes, 4));
    EXPECT_FALSE(ReadWholeFile(Path("four.ini"), bytes, 3));
    EXPECT_EQ(bytes, "1234");
    int pieces = 0;
    const auto count = [&pieces](std::string_view) { return ++pieces > 0; };
    EXPECT_TRUE(ReadFileInPieces(Path("four.ini"), count, 4));
    EXPECT_FALSE(ReadFileInPieces(Path("four.ini"), count, 3));
    EXPECT_EQ(pieces, 1);  // refused before the first piece

    // A file that grows past the bound while it is read stops the read.
    Write("growing.ini", std::string(4096, 'a'));
    std::size_t seen = 0;
    EXPECT_FALSE(ReadFileInPieces(
        Path("growing.ini"),
        [&](std::string_view piece) {
            if (seen == 0)
                std::ofstream(Path("growing.ini"), std::ios::binary | std::ios::app) << std::string(1 << 16, 'b');
            seen += piece.size();
            return true;
        },
        8192));
    EXPECT_LE(seen, 8192u);
}

TEST_F(PlatformFiles, TailReadGivesOnlyTheLastBytes) {
    Write("tail.ini", "0123456789");
    const std::pair<std::size_t, const char*> cases[] = {{3, "789"}, {10, "0123456789"}, {64, "0123456789"}, {0, ""}};
    for (const auto& [count, tail] : cases) {
        std::string bytes;
        ASSERT_TRUE(ReadFileTail(Path("tail.ini"), count, bytes)) << count;
        EXPECT_EQ(bytes, tail);
    }
    std::string bytes;
    EXPECT_FALSE(ReadFileTail(Path("absent.ini"), 3, bytes));
    EXPECT_FALSE(ReadFileTail(root_.string(), 3, bytes));
}

TEST_F(PlatformFiles, AppendCreatesTheFileThenAddsAfterExistingBytes) {
    ASSERT_TRUE(AppendToFile(Path("export.reg"), "REGEDIT4\r\n"));
    ASSERT_TRUE(AppendToFile(Path("export.reg"), "[KEY]\r\n"));
    EXPECT_EQ(Read("export.reg"), "REGEDIT4\r\n[KEY]\r\n");
    EXPECT_FALSE(AppendToFile(Path("missing/export.reg"), "x"));
}

TEST_F(PlatformFiles, BackslashAndSlashSeparatorsReachTheSameFile) {
    fs::create_directories(root_ / "Product" / "Sub");
    const std::string mixed = root_.string() + "\\Product\\Sub/root.ini";
    ASSERT_TRUE(ReplaceFileAtomically(mixed, "first"));
    ASSERT_TRUE(AppendToFile(root_.string() + "/Product\\Sub\\root.ini", "+second"));
    EXPECT_EQ(Read("Product/Sub/root.ini"), "first+second");
    EXPECT_TRUE(PathMatchExists(root_.string() + "\\Product\\Sub\\*.ini"));
}

class FolderListing : public PlatformFiles {
protected:
    void SetUp() override {
        PlatformFiles::SetUp();
        for (const char* name : {"a.ini", "b.txt", "noext", "ab.ini.bak"}) Write(name, "");
        fs::create_directory(root_ / "sub");
    }
    // Name -> isFolder of what the pattern lists.
    std::map<std::string, bool> List(const std::string& pattern) const {
        std::vector<FolderEntry> entries;
        std::map<std::string, bool> listed;
        if (!FindEntries(Path(pattern), entries)) return listed;
        for (const auto& entry : entries) {
            EXPECT_TRUE(listed.emplace(entry.name, entry.isFolder).second) << "listed twice: " << entry.name;
        }
        return listed;
    }
};

TEST_F(FolderListing, PatternsSelectNamesAndReportFoldersOrFailKeepingTheList) {
    using Listing = std::map<std::string, bool>;
    const Listing everything{{".", true},      {"..", true},     {"a.ini", false}, {"ab.ini.bak", false},
                             {"b.txt", false}, {"noext", false}, {"sub", true}};
    const std::pair<const char*, Listing> cases[] = {
        {"*.*", everything},
        {"*", everything},
        {"*.ini", {{"a.ini", false}}},
        {"?.ini", {{"a.ini", false}}},
        {"a*", {{"a.ini", false}, {"ab.ini.bak", false}}},
        {"*.ini*", {{"a.ini", false}, {"ab.ini.bak", false}}},
        {"no?x?", {{"noext", false}}},
        {"sub", {{"sub", true}}},
        {"noext.*", {{"noext", false}}},
    };
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(List(pattern), expected) << pattern;
    }
    // Nothing matching, or no such folder: a failure that leaves the list as it was.
    std::vector<FolderEntry> entries{{"kept", false}};
    EXPECT_FALSE(FindEntries(Path("*.none"), entries));
    EXPECT_FALSE(FindEntries(Path("missing/*.*"), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "kept");
}

TEST_F(FolderListing, ExistenceCoversFilesFoldersAndPatterns) {
    const std::pair<const char*, bool> cases[] = {
        {"a.ini", true},  {"sub", true},     {"*.txt", true},          {"s?b", true},
        {"c.ini", false}, {"*.none", false}, {"missing/a.ini", false}, {"missing/*.*", false},
    };
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(PathMatchExists(Path(path)), exists) << path;
    }
}

TEST(PlatformText, CompareNoCaseIgnoresAsciiCaseOnly) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"C:\\P\\Bin\\", "c:\\p\\bin\\", 0},
        {"abc", "ABC", 0},
        {"", "", 0},
        {"abc", "abd", -1},
        {"abd", "ABC", 1},
        {"ab", "abc", -1},
        {"abc", "ab", 1},
    };
    for (const auto& [a, b, sign] : cases) {
        const int result = CompareNoCase(a, b);
        EXPECT_EQ((result > 0) - (result < 0), sign) << a << " vs " << b;
    }
}

}  // namespace
}  // namespace qor::platform
