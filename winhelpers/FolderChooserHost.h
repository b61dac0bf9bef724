// What CSHBrowseDlg needs from the shell and the window system: the shell's
// desktop folder and allocator, a modal folder chooser that reports its
// initialisation and each change of selection through a callback, names for
// the folders it reports, and the few window operations that place a check
// box between its tree and its buttons.
//
// Folders are the shell's item identifier lists, opaque here.
#ifndef QOR_WINHELPERS_FOLDERCHOOSERHOST_H
#define QOR_WINHELPERS_FOLDERCHOOSERHOST_H

#include <optional>
#include <string>

#include "CSHBrowseDlg.h"
#include "winhelpers/ChooserLayout.h"
#include "winhelpers/HostSlot.h"

namespace qor::winhelpers {

// The chooser's callback: dialog window, event (1 initialised, 2 selection
// changed), event value (for 2, the selected folder), the caller's data.
using ChooserCallback = int (*)(HWND dialog, unsigned int event, MessageValue value, MessageValue data);

inline constexpr unsigned int kChooserInitialized = 1;
inline constexpr unsigned int kChooserSelectionChanged = 2;

struct ChooserRequest {
    HWND owner = nullptr;
    const char* title = nullptr;
    unsigned int flags = 0;  // the shell's browse flags, passed on unchanged
    ChooserCallback callback = nullptr;
    MessageValue data = 0;
};

struct ChooserResult {
    void* folder = nullptr;   // null when the chooser was cancelled
    std::string displayName;  // the shell's name for the chosen folder
};

// Called for every window of the thread whose position has changed.
using WindowMovedHandler = void (*)(HWND window);

class FolderChooserHost {
public:
    virtual ~FolderChooserHost() = default;

    // ---- Shell references; null when the shell is not there.
    virtual IShellFolder* TakeDesktopFolder() = 0;
    virtual IMalloc* TakeAllocator() = 0;
    virtual void RetainDesktopFolder(IShellFolder* desktop) = 0;
    virtual void ReleaseDesktopFolder(IShellFolder* desktop) = 0;
    virtual void RetainAllocator(IMalloc* allocator) = 0;
    virtual void ReleaseAllocator(IMalloc* allocator) = 0;
    // Frees a folder the chooser gave, with allocator when there is one.
    virtual void FreeFolder(IMalloc* allocator, void* folder) = 0;

    // ---- The chooser
    // Resolves the special folder's location and lets it go; the chooser is
    // rooted at the desktop whatever it is.
    virtual void LookUpSpecialFolder(HWND owner, unsigned int specialFolder) = 0;
    // Runs the modal chooser, calling request.callback on its events.
    virtual ChooserResult RunChooser(const ChooserRequest& request) = 0;
    // The folder's file system path; nothing for a folder without one.
    virtual std::optional<std::string> FileSystemPath(const void* folder) = 0;
    virtual void SetCaptionIcons(HWND dialog, HICON icon) = 0;
    virtual void SelectPath(HWND dialog, const char* path) = 0;
    virtual void ShowStatusText(HWND dialog, const char* text) = 0;
    // The chooser's folder tree, null when it has none.
    virtual HWND FindTree(HWND dialog) = 0;
    // The text of the tree's selected item; nothing when it cannot be read.
    virtual std::optional<std::string> SelectedTreeText(HWND tree) = 0;
    // The chooser's OK button, null when it has none.
    virtual HWND FindOkButton(HWND dialog) = 0;

    // ---- Placing the check box
    virtual int ScrollBarWidth() = 0;
    virtual WindowRect ClientRect(HWND dialog) = 0;
    // A child window's rectangle in its dialog's client coordinates.
    virtual WindowRect RectInDialog(HWND window, HWND dialog) = 0;
    virtual void PlaceWindow(HWND window, const WindowRect& where, bool redraw) = 0;
    // Creates the check box at 0, 0 with the given size, the label as its
    // text and the default GUI font; null on failure.
    virtual HWND CreateCheckBox(HWND dialog, const char* label, int width, int height) = 0;
    virtual void Repaint(HWND window) = 0;
    virtual void SetCheckState(HWND checkBox, int state) = 0;
    // The check box's state as the window system answers it (1 checked).
    virtual int ReadCheckState(HWND checkBox) = 0;
    // Hooks the calling thread's window messages, calling onMoved after each
    // change of a window's position. False when the hook cannot be set.
    virtual bool InstallMoveHook(WindowMovedHandler onMoved) = 0;
    virtual void RemoveMoveHook() = 0;
};

template <>
FolderChooserHost& DefaultHost<FolderChooserHost>();

}  // namespace qor::winhelpers

#endif
