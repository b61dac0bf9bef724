#include "winhelpers/ChooserLayout.h"

namespace qor::winhelpers {
namespace {

constexpr int kHeightWithoutButton = 17;
constexpr int kGapAboveButtons = 10;

}  // namespace

ChooserLayout LayOutChooser(const WindowRect& client, const WindowRect& okButton, int treeTop, int scrollBarWidth) {
    int height = okButton.bottom - okButton.top;
    if (height == 0) height = kHeightWithoutButton;
    const int boxBottom = okButton.top - kGapAboveButtons;
    const int boxTop = boxBottom - height;
    const int right = client.right - scrollBarWidth;

    ChooserLayout layout;
    layout.tree = {scrollBarWidth, treeTop, right, boxTop - kGapAboveButtons};
    layout.checkBox = {scrollBarWidth, boxTop, right, boxBottom};
    layout.checkBoxWidth = client.right - client.left - 2 * scrollBarWidth;
    layout.checkBoxHeight = height;
    return layout;
}

}  // namespace qor::winhelpers
