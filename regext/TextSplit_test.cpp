#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CRegExt.h"

namespace {

// The splitting rule is the store's (ValueText_test); both of the class's
// forms append every piece, empty ones included.
TEST(TextSplitTest, BothFormsAppendThePiecesKeepingEmptyOnes) {
    const std::vector<std::string> pieces = {"", "b", "", "c"};
    std::vector<CString> strings{CString("kept")};
    CRegExt::Split(CString(",b,,c"), strings, CString(","));
    std::vector<char*> copies;
    CRegExt::Split(",b,,c", copies, CString(","));
    ASSERT_EQ(pieces.size() + 1, strings.size());
    ASSERT_EQ(pieces.size(), copies.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i], strings[i + 1].str());
        EXPECT_EQ(pieces[i], copies[i]);
    }
    CRegExt::FreeSplitParts(copies);
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
