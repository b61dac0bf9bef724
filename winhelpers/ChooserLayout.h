// Where the folder chooser's tree and its check box go. Pure arithmetic on
// rectangles in the dialog's client coordinates.
#ifndef QOR_WINHELPERS_CHOOSERLAYOUT_H
#define QOR_WINHELPERS_CHOOSERLAYOUT_H

namespace qor::winhelpers {

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

struct ChooserLayout {
    WindowRect tree;        // where the tree moves (without redrawing)
    WindowRect checkBox;    // where the check box moves (with redrawing)
    int checkBoxWidth = 0;  // size the check box is created with
    int checkBoxHeight = 0;
};

// The layout for a dialog whose client rectangle is client, whose OK button
// is okButton (all zero when there is none) and whose tree's top is treeTop.
// The check box is as high as the OK button (17 when that has no height)
// and sits 10 pixels above it; the tree ends 10 pixels above the box; both
// keep one scroll bar width of margin on the left and right.
ChooserLayout LayOutChooser(const WindowRect& client, const WindowRect& okButton, int treeTop, int scrollBarWidth);

}  // namespace qor::winhelpers

#endif
