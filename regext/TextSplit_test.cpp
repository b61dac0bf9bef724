#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CRegExt.h"

// The class grants this name access to its private prefix removal.
struct CRegExtAccess {
    static int RemovePrefix(CString& text) { return CRegExt::RemovePrefix(text); }
};

namespace {

struct SplitCase {
    const char* text;
    const char* sep;
    std::vector<std::string> pieces;
};

const SplitCase kSplitCases[] = {
    {"a,b,,c", ",", {"a", "b", "", "c"}},
    {"A = B = C", " = ", {"A", "B", "C"}},
    {"", ",", {""}},
    {"x", ",", {"x"}},
    {",x,", ",", {"", "x", ""}},
    {"aXb", "x", {"aXb"}},
    {"a=", " = ", {"a="}},
    {"a,b", "", {"a,b"}},
};

TEST(TextSplitTest, BothFormsCutAtEverySeparatorKeepingEmptyPieces) {
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(std::string(c.text) + " at '" + c.sep + "'");
        std::vector<CString> strings{CString("kept")};
        CRegExt::Split(CString(c.text), strings, CString(c.sep));
        std::vector<char*> copies;
        CRegExt::Split(c.text, copies, CString(c.sep));
        ASSERT_EQ(c.pieces.size() + 1, strings.size());
        ASSERT_EQ(c.pieces.size(), copies.size());
        EXPECT_EQ("kept", strings[0]);
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(c.pieces[i], strings[i + 1].str());
            EXPECT_EQ(c.pieces[i], copies[i]);
        }
        CRegExt::FreeSplitParts(copies);
        EXPECT_TRUE(copies.empty());
    }
}

TEST(TextSplitTest, PieceCopiesOutliveTheirTextAndOnlyOwnPiecesAreReleased) {
    std::vector<char*> parts;
    char foreign[] = "mine";
    parts.push_back(foreign);
    {
        std::string text = "left|right";
        CRegExt::Split(text.c_str(), parts, CString("|"));
        text.assign(text.size(), '#');
    }
    ASSERT_EQ(3u, parts.size());
    EXPECT_STREQ("left", parts[1]);
    EXPECT_STREQ("right", parts[2]);
    CRegExt::FreeSplitParts(parts);
    EXPECT_TRUE(parts.empty());
    EXPECT_STREQ("mine", foreign);
}

TEST(TextSplitTest, RemovePrefixStripsOneExactLowerCasePrefix) {
    struct Case {
        const char* text;
        int code;
        const char* rest;
    };
    const Case cases[] = {
        {"<string>abc", 1, "abc"}, {"<dword>123", 2, "123"}, {"<hex>01", 3, "01"},
        {"x<dword>1", 0, "x<dword>1"}, {"<HEX>01", 0, "<HEX>01"}, {"<string><dword>7", 1, "<dword>7"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        CString text(c.text);
        EXPECT_EQ(c.code, CRegExtAccess::RemovePrefix(text)) << c.text;
        EXPECT_EQ(c.rest, text) << c.text;
    }
}

}  // namespace
