#include "winhelpers/ChooserCheckBox.h"

#include "util/FixedText.h"

namespace qor::winhelpers {
namespace {

struct OpenChooser {
    HWND dialog = nullptr;
    HWND okButton = nullptr;
    HWND checkBox = nullptr;
    bool hooked = false;
    char label[260] = {};
};

OpenChooser g_open;

// Moves the tree and the check box to where the layout puts them, creating
// the box the first time.
void LayOutOpenChooser(FolderChooserHost& host) {
    HWND tree = host.FindTree(g_open.dialog);
    if (tree == nullptr) return;
    WindowRect okButton;
    if (g_open.okButton != nullptr) okButton = host.RectInDialog(g_open.okButton, g_open.dialog);
    ChooserLayout layout = LayOutChooser(host.ClientRect(g_open.dialog), okButton,
                                         host.RectInDialog(tree, g_open.dialog).top, host.ScrollBarWidth());
    host.PlaceWindow(tree, layout.tree, false);
    if (g_open.checkBox == nullptr) {
        g_open.checkBox = host.CreateCheckBox(g_open.dialog, g_open.label, layout.checkBoxWidth, layout.checkBoxHeight);
        if (g_open.checkBox == nullptr) return;
    }
    host.PlaceWindow(g_open.checkBox, layout.checkBox, true);
    host.Repaint(g_open.checkBox);
}

void OnWindowMoved(HWND window) {
    if (window != nullptr && window == g_open.okButton) {
        LayOutOpenChooser(ActiveHost<FolderChooserHost>());
    }
}

}  // namespace

void OpenCheckBox(FolderChooserHost& host, HWND dialog, std::string_view label, int state) {
    if (!g_open.hooked) g_open.hooked = host.InstallMoveHook(&OnWindowMoved);
    CopyFixed(g_open.label, label.substr(0, sizeof g_open.label - 1));
    g_open.okButton = host.FindOkButton(dialog);
    g_open.dialog = dialog;
    LayOutOpenChooser(host);
    if (g_open.checkBox != nullptr) host.SetCheckState(g_open.checkBox, state);
}

HWND CurrentCheckBox() { return g_open.checkBox; }

void CloseCheckBox(FolderChooserHost& host) {
    if (g_open.hooked) host.RemoveMoveHook();
    g_open = OpenChooser();
}

}  // namespace qor::winhelpers
