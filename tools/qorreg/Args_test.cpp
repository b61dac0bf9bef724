#include "Args.h"

#include <gtest/gtest.h>

#include "KeyPath.h"

namespace qor::qorreg {
namespace {

TEST(ArgsTest, OptionsTakeTheirValueInEveryGnuSpelling) {
    const std::vector<std::vector<std::string>> spellings = {
        {"-f", "a.ini", "query", "K"},  {"-fa.ini", "query", "K"},     {"--file", "a.ini", "query", "K"},
        {"--file=a.ini", "query", "K"}, {"query", "K", "-f", "a.ini"},  // options may follow the operands
    };
    for (const auto& args : spellings) {
        ParseResult r = ParseArgs(args);
        ASSERT_EQ(r.error, "") << args[0];
        EXPECT_EQ(r.options.file, "a.ini") << args[0];
        EXPECT_EQ(r.options.verb, "query") << args[0];
        EXPECT_EQ(r.options.operands, std::vector<std::string>{"K"}) << args[0];
    }
}

TEST(ArgsTest, ClustersDashValuesAndDoubleDashAreToldApart) {
    ParseResult r = ParseArgs({"delete", "K", "-sv", "-x", "--", "-d", "--app"});
    ASSERT_EQ(r.error, "");
    EXPECT_TRUE(r.options.Has(kOptSubtree));
    EXPECT_EQ(r.options.value, "-x");  // a value option takes the next argument whatever it is
    EXPECT_FALSE(r.options.Has(kOptData) || r.options.Has(kOptApp));
    EXPECT_EQ(r.options.operands, (std::vector<std::string>{"K", "-d", "--app"}));
}

TEST(ArgsTest, MalformedOptionsAreReported) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown option: --bogus"},
        {{"-x"}, "unknown option: -x"},
        {{"query", "-f"}, "option --file needs a value"},
        {{"--app=1"}, "option --app takes no value"},
        {{"--wait", "-1"}, "--wait needs a whole number of seconds from 0 to 86400: -1"},
        {{"--wait", "86401"}, "--wait needs a whole number of seconds from 0 to 86400: 86401"},
        {{"--wait="}, "--wait needs a whole number of seconds from 0 to 86400: "},
    };
    for (const auto& [args, error] : cases) EXPECT_EQ(ParseArgs(args).error, error) << args[0];
}

TEST(ArgsTest, DwordArgumentIsDecimalOrHexWithin32Bits) {
    const std::pair<const char*, DWORD> accepted[] = {
        {"0", 0}, {"42", 42}, {"4294967295", 4294967295u}, {"0xffffffff", 4294967295u}, {"0X1F", 31}, {"010", 10}};
    for (const auto& [text, expected] : accepted) {
        DWORD value = 7;
        EXPECT_TRUE(ParseDwordArgument(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text :
         {"4294967296", "0x100000000", "-1", "+1", "", "0x", "12a", " 1", "0x-1", "99999999999999999999999"}) {
        DWORD value = 7;
        EXPECT_FALSE(ParseDwordArgument(text, value)) << text;
    }
}

TEST(ArgsTest, BinaryArgumentIsPairsOfHexDigits) {
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ParseBinaryArgument("00cC01Ff", bytes));
    EXPECT_EQ(bytes, (std::vector<BYTE>{0x00, 0xCC, 0x01, 0xFF}));
    ASSERT_TRUE(ParseBinaryArgument("", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ParseBinaryArgument("abc", bytes));
    EXPECT_FALSE(ParseBinaryArgument("0g", bytes));
    EXPECT_FALSE(ParseBinaryArgument("00,01", bytes));
}

TEST(KeyPathTest, KeysBecomeTheStoresUpperCaseFormWithLongRootNames) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"hklm\\software\\x", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X"},
        {"HKCU\\Software\\Orvane Corp\\", "HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP"},
        {"hkey_current_user\\a", "HKEY_CURRENT_USER\\A"},
        {"HKLM", "HKEY_LOCAL_MACHINE"},
        {"HKLM\\", "HKEY_LOCAL_MACHINE"},
        {"Software\\Orvane Corp\\DocScan\\S1", "SOFTWARE\\ORVANE CORP\\DOCSCAN\\S1"},  // root-less
        {"hkcr\\.scan", "HKEY_CLASSES_ROOT\\.SCAN"},
        {"HKU\\S-1-5-18", "HKEY_USERS\\S-1-5-18"},
        {"hkcc", "HKEY_CURRENT_CONFIG"},
        {"hkey_users\\x", "HKEY_USERS\\X"},
        {"SOFTWARE\\HKLN", "SOFTWARE\\HKLN"},
    };
    for (const auto& [text, expected] : cases) {
        std::string full, error;
        ASSERT_TRUE(ParseKeyPath(text, full, error)) << text << ": " << error;
        EXPECT_EQ(full, expected);
    }
}

TEST(KeyPathTest, MistypedRootsEmptyNamesAndOverlongPathsAreRefused) {
    for (const char* text : {"HKLN\\X", "HKLMX\\Y", "hkey_local\\x", "HKEY_PERFORMANCE_DATA", "hk", "", "\\",
                             "\\SOFTWARE", "HKLM\\\\X", "HKLM\\A\\\\B"}) {
        std::string full, error;
        EXPECT_FALSE(ParseKeyPath(text, full, error)) << text;
        EXPECT_FALSE(error.empty());
    }
    std::string full, error;
    EXPECT_FALSE(ParseKeyPath("HKLM\\" + std::string(kMaxKeyPathLength, 'A'), full, error));
    EXPECT_FALSE(error.empty());
    std::string longest = "HKLM\\" + std::string(kMaxKeyPathLength - 19, 'A');
    EXPECT_TRUE(ParseKeyPath(longest, full, error)) << error;
    EXPECT_EQ(full.size(), kMaxKeyPathLength);
}

TEST(KeyPathTest, FilterTextExpandsOnlyALeadingShortRoot) {
    EXPECT_EQ(CanonicalKeyText("hkcu\\software"), "HKEY_CURRENT_USER\\SOFTWARE");
    EXPECT_EQ(CanonicalKeyText("software\\hklm"), "SOFTWARE\\HKLM");
    EXPECT_EQ(CanonicalKeyText("hklmx"), "HKLMX");
}

}  // namespace
}  // namespace qor::qorreg
