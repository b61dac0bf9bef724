#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CRegExt.h"

namespace {

struct SplitCase {
    const char* text;
    const char* sep;
    std::vector<std::string> pieces;
};

TEST(TextSplitTest, BothFormsAppendThePiecesKeepingEmptyOnes) {
    const SplitCase cases[] = {
        {",b,,c", ",", {"", "b", "", "c"}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at '" + c.sep + "'");
        std::vector<CString> strings{CString("kept")};
        CRegExt::Split(CString(c.text), strings, CString(c.sep));
        std::vector<char*> copies;
        CRegExt::Split(c.text, copies, CString(c.sep));
        ASSERT_EQ(c.pieces.size() + 1, strings.size());
        ASSERT_EQ(c.pieces.size(), copies.size());
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(c.pieces[i], strings[i + 1].str());
            EXPECT_EQ(c.pieces[i], copies[i]);
        }
        CRegExt::FreeSplitParts(copies);
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

}  // namespace
