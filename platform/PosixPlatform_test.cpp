// Host choices of POSIX builds: UTF-8 text, the configured application-data
// folder, '/' short forms and symbolic links in folder listings.
#ifndef _WIN32
#  include "platform/Platform.h"

#  include <cstdlib>
#  include <filesystem>
#  include <fstream>
#  include <map>
#  include <sys/resource.h>
#  include <gtest/gtest.h>

#  include "testsupport/TestFiles.h"

namespace qor::platform {
namespace {

namespace fs = std::filesystem;

TEST(PosixText, WideAndUtf8RoundTrip) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"", ""},
        {L"Scanner", "Scanner"},
        {L"Caf\u00e9", "Caf\xc3\xa9"},
        {L"\u20ac 5", "\xe2\x82\xac 5"},
        {L"\U0001D11E", "\xf0\x9d\x84\x9e"},
        {L"\u007f\u0080\u07ff\u0800\uffff\U00010000\U0010FFFF",
         "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
    };
    for (const auto& [wide, narrow] : cases) {
        EXPECT_EQ(WideToNarrow(wide), narrow);
        EXPECT_EQ(NarrowToWide(narrow), wide);
    }
    EXPECT_EQ(WideToNarrow(nullptr), "");
}

TEST(PosixText, InvalidCodePointsAndInvalidUtf8Throw) {
    const wchar_t surrogate[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    const wchar_t lowSurrogate[] = {static_cast<wchar_t>(0xDFFF), 0};
    const wchar_t tooLarge[] = {static_cast<wchar_t>(0x110000), 0};
    const wchar_t negative[] = {static_cast<wchar_t>(-1), 0};
    for (const wchar_t* text : {surrogate, lowSurrogate, tooLarge, negative}) {
        EXPECT_THROW(WideToNarrow(text), TextConversionError);
    }
    const char* utf8[] = {
        "\x80",              // continuation byte without a lead
        "a\xc3",             // cut off at the end
        "\xe2\x82",          // cut off three-byte sequence
        "\xc3\x28",          // lead followed by a non-continuation
        "\xc0\x80",          // overlong NUL
        "\xe0\x80\xaf",      // overlong '/'
        "\xed\xa0\x80",      // surrogate U+D800
        "\xf4\x90\x80\x80",  // above U+10FFFF
        "\xff",              // never valid
    };
    for (const char* text : utf8) {
        EXPECT_THROW(NarrowToWide(text), TextConversionError) << text;
    }
}

TEST(PosixText, Utf16LengthCountsUnitsOfTheUtf8Name) {
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"", 1},
        {"SUB", 4},
        {"Caf\xc3\xa9", 5},                  // two bytes, one unit
        {"\xe2\x82\xac", 2},                 // three bytes, one unit
        {"\xf0\x9d\x84\x9e", 3},             // four bytes, a surrogate pair
        {"a\xffz", 4},                       // an invalid byte is one unit
        {"\xe2\x82", 3},                     // a cut-off sequence: one unit per byte
        {std::string_view("ab\0cd", 5), 3},  // the name ends at a NUL
    };
    for (const auto& [name, units] : cases) {
        EXPECT_EQ(Utf16LengthWithTerminator(name), units) << name;
    }
}

TEST(PosixHost, CommonAppDataFollowsTheEnvironmentAtEachUse) {
    const char* saved = std::getenv("QOR_COMMON_APPDATA");
    const std::string restore = saved != nullptr ? saved : "";
    ::setenv("QOR_COMMON_APPDATA", "/srv/qor/", 1);
    EXPECT_EQ(CommonAppDataFolder(), "/srv/qor");
    ::setenv("QOR_COMMON_APPDATA", "/tmp/other", 1);
    EXPECT_EQ(CommonAppDataFolder(), "/tmp/other");
    ::unsetenv("QOR_COMMON_APPDATA");
    EXPECT_EQ(CommonAppDataFolder(), "/var/lib/qor");
    if (saved != nullptr) ::setenv("QOR_COMMON_APPDATA", restore.c_str(), 1);
}

// /proc files give their size as 0 and hold more.
TEST(PosixHost, WholeReadGoesPastTheSizeTheFileGaveWithinTheBound) {
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", bytes));
    EXPECT_NE(bytes.find("Name:"), std::string::npos);
    EXPECT_FALSE(ReadWholeFile("/proc/self/status", bytes, 8));
}

TEST(PosixHost, ShortFormsOfDifferentlySeparatedPathsCompareEqual) {
    std::string fromBackslashes, fromSlashes;
    ASSERT_TRUE(ShortPathName("\\opt\\Orvane\\Bin\\app.exe", fromBackslashes));
    ASSERT_TRUE(ShortPathName("/opt/Orvane/Bin\\app.exe", fromSlashes));
    EXPECT_EQ(fromBackslashes, "/opt/Orvane/Bin/app.exe");
    EXPECT_EQ(fromSlashes, fromBackslashes);
}

TEST(PosixHost, ListingFollowsLinksAndTreatsBrokenLinksAsFiles) {
    const testkit::ScratchFolder folder("qor_links");
    const fs::path& root = folder.FsPath();
    fs::create_directories(root / "real");
    fs::create_directory_symlink(root / "real", root / "linked");
    fs::create_symlink(root / "gone", root / "broken");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(FindEntries((root / "*").string(), entries));
    std::map<std::string, bool> folders;
    for (const auto& entry : entries) folders[entry.name] = entry.isFolder;
    EXPECT_TRUE(folders.at("linked"));
    EXPECT_FALSE(folders.at("broken"));
    EXPECT_TRUE(PathMatchExists((root / "broken").string()));
}

// Runs in a child process: exit code 0 when a replace larger than the
// file-size limit failed and left the old file and no temporary behind.
// Only the soft limit is lowered, and it is raised again before the child
// exits: what runs at exit (an instrumented build writes its counts then)
// must not meet the small limit.
int ReplacePastFileSizeLimit(const fs::path& folder) {
    const std::string target = (folder / "root.ini").string();
    std::ofstream(target) << "old";
    rlimit before{};
    if (::getrlimit(RLIMIT_FSIZE, &before) != 0) return 2;
    rlimit limit = before;
    limit.rlim_cur = 4096;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    const bool replaced = ReplaceFileAtomically(target, std::string(64 * 1024, 'x'));
    if (::setrlimit(RLIMIT_FSIZE, &before) != 0) return 6;
    if (replaced) return 3;
    if (testkit::ReadBytes(target) != "old") return 4;
    const auto entries = std::distance(fs::directory_iterator(folder), {});
    return entries == 1 ? 0 : 5;
}

// The links' end gets the bytes (the temporary file is made beside it).
TEST(PosixHost, ReplaceThroughLinksWritesTheTargetAndKeepsLinksAndMode) {
    const testkit::ScratchFolder folder("qor_links");
    const fs::path& root = folder.FsPath();
    fs::create_directories(root / "real");
    std::ofstream(root / "real" / "root.ini") << "old";
    fs::permissions(root / "real" / "root.ini", fs::perms(0640));
    fs::create_symlink("real/root.ini", root / "direct.ini");
    fs::create_symlink(root / "direct.ini", root / "chain.ini");
    fs::create_symlink("real/new.ini", root / "dangling.ini");
    const std::pair<const char*, const char*> cases[] = {
        {"direct.ini", "real/root.ini"}, {"chain.ini", "real/root.ini"}, {"dangling.ini", "real/new.ini"}};
    for (const auto& [link, target] : cases) {
        ASSERT_TRUE(ReplaceFileAtomically((root / link).string(), link)) << link;
        EXPECT_TRUE(fs::is_symlink(root / link)) << link;
        EXPECT_EQ(testkit::ReadBytes((root / target).string()), link);
        EXPECT_EQ(ResolveLinks((root / link).string()), fs::canonical(root / target).string());
    }
    EXPECT_EQ(fs::status(root / "real" / "root.ini").permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "real"), fs::directory_iterator()), 2);
}

TEST(PosixHostDeathTest, ReplacePastTheFileSizeLimitFailsInsteadOfEndingTheProcess) {
    // The threadsafe style starts the test program again; under an emulator
    // (QOR_TEST_LAUNCHER set) the system cannot start it without the
    // emulator, so the child is a plain fork there.
    const char* launcher = std::getenv("QOR_TEST_LAUNCHER");
    GTEST_FLAG_SET(death_test_style, launcher != nullptr && *launcher != '\0' ? "fast" : "threadsafe");
    const testkit::ScratchFolder folder("qor_fsize");
    // The child ends without destructors: it removes its folder itself.
    auto child = [&folder] {
        const int code = ReplacePastFileSizeLimit(folder.FsPath());
        fs::remove_all(folder.FsPath());
        std::exit(code);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qor::platform
#endif
