// The folder chooser through the Windows shell (SHBrowseForFolderA), with
// the window manager calls that place the check box and the thread hook
// that sees the OK button move.
#include "winhelpers/FolderChooserHost.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

namespace qor::winhelpers {
namespace {

constexpr const char kTreeClass[] = "SysTreeView32";
constexpr const char kNameSpaceClass[] = "SHBrowseForFolder ShellNameSpace Control";
constexpr const char kButtonClass[] = "BUTTON";
constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | BS_LEFT | BS_AUTOCHECKBOX;  // 0x50000103
constexpr std::size_t kTextCapacity = MAX_PATH;

// The shell calls back with its own calling convention; this carries the
// chooser's callback through to it.
struct CallbackBridge {
    ChooserCallback callback;
    MessageValue data;
};

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM value, LPARAM bridgeValue) {
    const auto* bridge = reinterpret_cast<const CallbackBridge*>(bridgeValue);
    return bridge->callback(dialog, message, value, bridge->data);
}

// The thread hook of the open chooser; one at a time in the process.
HHOOK g_hook = nullptr;
WindowMovedHandler g_onMoved = nullptr;

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_onMoved != nullptr) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (message->message == WM_WINDOWPOSCHANGED) g_onMoved(message->hwnd);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// The font of the last check box made. A box lives no longer than its
// dialog and only one dialog is open at a time, so the previous font can go
// when a new box is made.
HFONT g_checkBoxFont = nullptr;

// A font made from the description of the stock default GUI font.
HFONT CreateDialogFont() {
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0) return nullptr;
    return CreateFontA(font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight, font.lfItalic,
                       font.lfUnderline, font.lfStrikeOut, font.lfCharSet, font.lfOutPrecision, font.lfClipPrecision,
                       font.lfQuality, font.lfPitchAndFamily, font.lfFaceName);
}

WindowRect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

std::string TextOf(const char* buffer) { return std::string(buffer, strnlen(buffer, kTextCapacity)); }

class Win32FolderChooserHost final : public FolderChooserHost {
public:
    IShellFolder* TakeDesktopFolder() override {
        IShellFolder* desktop = nullptr;
        return SUCCEEDED(SHGetDesktopFolder(&desktop)) ? desktop : nullptr;
    }
    IMalloc* TakeAllocator() override {
        IMalloc* allocator = nullptr;
        return SUCCEEDED(SHGetMalloc(&allocator)) ? allocator : nullptr;
    }
    void RetainDesktopFolder(IShellFolder* desktop) override { desktop->AddRef(); }
    void ReleaseDesktopFolder(IShellFolder* desktop) override { desktop->Release(); }
    void RetainAllocator(IMalloc* allocator) override { allocator->AddRef(); }
    void ReleaseAllocator(IMalloc* allocator) override { allocator->Release(); }

    // The shell's allocator is the task allocator, which frees the list
    // when the allocator reference could not be taken.
    void FreeFolder(IMalloc* allocator, void* folder) override {
        if (allocator != nullptr) {
            allocator->Free(folder);
        } else {
            CoTaskMemFree(folder);
        }
    }

    void LookUpSpecialFolder(HWND owner, unsigned int specialFolder) override {
        PIDLIST_ABSOLUTE location = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(owner, static_cast<int>(specialFolder), &location))) {
            CoTaskMemFree(location);
        }
    }

    ChooserResult RunChooser(const ChooserRequest& request) override {
        char displayName[kTextCapacity] = {};
        CallbackBridge bridge{request.callback, request.data};
        BROWSEINFOA info;
        std::memset(&info, 0, sizeof info);
        info.hwndOwner = request.owner;
        info.pidlRoot = nullptr;
        info.pszDisplayName = displayName;
        info.lpszTitle = request.title;
        info.ulFlags = request.flags;
        info.lpfn = &BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(&bridge);
        info.iImage = 0;
        ChooserResult result;
        result.folder = SHBrowseForFolderA(&info);
        if (result.folder != nullptr) result.displayName = TextOf(displayName);
        return result;
    }

    std::optional<std::string> FileSystemPath(const void* folder) override {
        char path[kTextCapacity] = {};
        if (!SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(folder), path)) return std::nullopt;
        return TextOf(path);
    }

    void SetCaptionIcons(HWND dialog, HICON icon) override {
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    void SelectPath(HWND dialog, const char* path) override {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    }
    void ShowStatusText(HWND dialog, const char* text) override {
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text));
    }

    HWND FindTree(HWND dialog) override {
        HWND tree = FindWindowExA(dialog, nullptr, kTreeClass, nullptr);
        return tree != nullptr ? tree : FindWindowExA(dialog, nullptr, kNameSpaceClass, nullptr);
    }

    std::optional<std::string> SelectedTreeText(HWND tree) override {
        if (tree == nullptr) return std::nullopt;
        auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        char text[kTextCapacity] = {};
        TVITEMA request;
        std::memset(&request, 0, sizeof request);
        request.mask = TVIF_TEXT | TVIF_HANDLE;
        request.hItem = item;
        request.pszText = text;
        request.cchTextMax = static_cast<int>(kTextCapacity);
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request))) return std::nullopt;
        return TextOf(text);
    }

    HWND FindOkButton(HWND dialog) override { return GetDlgItem(dialog, IDOK); }

    int ScrollBarWidth() override { return GetSystemMetrics(SM_CXVSCROLL); }

    WindowRect ClientRect(HWND dialog) override {
        RECT rect = {};
        if (!GetClientRect(dialog, &rect)) return WindowRect();
        return FromRect(rect);
    }

    WindowRect RectInDialog(HWND window, HWND dialog) override {
        RECT rect = {};
        if (window == nullptr || !GetWindowRect(window, &rect)) return WindowRect();
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        MapWindowPoints(HWND_DESKTOP, dialog, corners, 2);
        return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }

    void PlaceWindow(HWND window, const WindowRect& where, bool redraw) override {
        MoveWindow(window, where.left, where.top, where.right - where.left, where.bottom - where.top,
                   redraw ? TRUE : FALSE);
    }

    HWND CreateCheckBox(HWND dialog, const char* label, int width, int height) override {
        HWND box = CreateWindowExA(0, kButtonClass, label, kCheckBoxStyle, 0, 0, width, height, dialog, nullptr,
                                   nullptr, nullptr);
        if (box == nullptr) return nullptr;
        if (g_checkBoxFont != nullptr) DeleteObject(g_checkBoxFont);
        g_checkBoxFont = CreateDialogFont();
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(g_checkBoxFont), TRUE);
        return box;
    }

    void Repaint(HWND window) override { InvalidateRect(window, nullptr, TRUE); }
    void SetCheckState(HWND checkBox, int state) override {
        SendMessageA(checkBox, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
    int ReadCheckState(HWND checkBox) override { return static_cast<int>(SendMessageA(checkBox, BM_GETCHECK, 0, 0)); }

    bool InstallMoveHook(WindowMovedHandler onMoved) override {
        g_onMoved = onMoved;
        g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterWindowProc, nullptr, GetCurrentThreadId());
        if (g_hook == nullptr) g_onMoved = nullptr;
        return g_hook != nullptr;
    }

    void RemoveMoveHook() override {
        if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        g_onMoved = nullptr;
    }
};

}  // namespace

template <>
FolderChooserHost& DefaultHost<FolderChooserHost>() {
    static Win32FolderChooserHost host;
    return host;
}

}  // namespace qor::winhelpers
