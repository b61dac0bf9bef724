#include "winhelpers/ChooserLayout.h"

#include <gtest/gtest.h>

namespace qor::winhelpers {

void PrintTo(const WindowRect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

TEST(ChooserLayoutTest, CheckBoxSitsAboveTheButtonsAndTheTreeAboveTheBox) {
    struct Case {
        const char* label;
        WindowRect client, okButton;
        int treeTop, scrollBarWidth;
        WindowRect tree, checkBox;
        int width, height;
    };
    const Case cases[] = {
        {"OK 23", {0, 0, 400, 300}, {200, 260, 275, 283}, 40, 17, {17, 40, 383, 217}, {17, 227, 383, 250}, 366, 23},
        {"shifted", {10, 0, 400, 300}, {200, 260, 275, 283}, 12, 16, {16, 12, 384, 217}, {16, 227, 384, 250}, 358, 23},
        {"OK 0 high", {0, 0, 400, 300}, {200, 260, 275, 260}, 40, 17, {17, 40, 383, 223}, {17, 233, 383, 250}, 366, 17},
        {"no OK button", {0, 0, 400, 300}, {}, 40, 17, {17, 40, 383, -37}, {17, -27, 383, -10}, 366, 17},
    };
    for (const Case& c : cases) {
        ChooserLayout layout = LayOutChooser(c.client, c.okButton, c.treeTop, c.scrollBarWidth);
        EXPECT_EQ(layout.tree, c.tree) << c.label;
        EXPECT_EQ(layout.checkBox, c.checkBox) << c.label;
        EXPECT_EQ(layout.checkBoxWidth, c.width) << c.label;
        EXPECT_EQ(layout.checkBoxHeight, c.height) << c.label;
    }
}

}  // namespace
}  // namespace qor::winhelpers
