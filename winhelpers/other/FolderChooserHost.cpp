// Outside Windows there is no shell: no references, and every chooser is
// cancelled at once, before any window exists.
#include "winhelpers/FolderChooserHost.h"

namespace qor::winhelpers {
namespace {

class ShelllessFolderChooserHost final : public FolderChooserHost {
public:
    IShellFolder* TakeDesktopFolder() override { return nullptr; }
    IMalloc* TakeAllocator() override { return nullptr; }
    void RetainDesktopFolder(IShellFolder*) override {}
    void ReleaseDesktopFolder(IShellFolder*) override {}
    void RetainAllocator(IMalloc*) override {}
    void ReleaseAllocator(IMalloc*) override {}
    void FreeFolder(IMalloc*, void*) override {}

    void LookUpSpecialFolder(HWND, unsigned int) override {}
    ChooserResult RunChooser(const ChooserRequest&) override { return ChooserResult(); }
    std::optional<std::string> FileSystemPath(const void*) override { return std::nullopt; }
    void SetCaptionIcons(HWND, HICON) override {}
    void SelectPath(HWND, const char*) override {}
    void ShowStatusText(HWND, const char*) override {}
    HWND FindTree(HWND) override { return nullptr; }
    std::optional<std::string> SelectedTreeText(HWND) override { return std::nullopt; }
    HWND FindOkButton(HWND) override { return nullptr; }

    int ScrollBarWidth() override { return 0; }
    WindowRect ClientRect(HWND) override { return WindowRect(); }
    WindowRect RectInDialog(HWND, HWND) override { return WindowRect(); }
    void PlaceWindow(HWND, const WindowRect&, bool) override {}
    HWND CreateCheckBox(HWND, const char*, int, int) override { return nullptr; }
    void Repaint(HWND) override {}
    void SetCheckState(HWND, int) override {}
    int ReadCheckState(HWND) override { return 0; }
    bool InstallMoveHook(WindowMovedHandler) override { return false; }
    void RemoveMoveHook() override {}
};

}  // namespace

template <>
FolderChooserHost& DefaultHost<FolderChooserHost>() {
    static ShelllessFolderChooserHost host;
    return host;
}

}  // namespace qor::winhelpers
