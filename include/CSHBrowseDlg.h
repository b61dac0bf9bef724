/// @file
/// CSHBrowseDlg: the shell's folder-browse dialog with an optional check box.
#ifndef QOR_CSHBROWSEDLG_H
#define QOR_CSHBROWSEDLG_H

#include "QorCompat.h"
#include "QorExport.h"
#include "QorMfc.h"

struct IShellFolder;
struct IMalloc;

/// The caller's description of the optional check box.
struct tagBrowserInformation {
    /// The label; when empty no check box is shown.
    CString strCheckBoxText;
    /// In: the initial state (1 checked). Out: 1 when the box was checked at
    /// the last change of selection in the dialog, else 0.
    int nCheckBoxState;
};

/// The shell's folder-browse dialog with a caption icon, an initially
/// selected folder and an optional check box between the folder tree and the
/// buttons. After the dialog closes the object holds the chosen folder's file
/// system path and display name. Only one such dialog may be open in a
/// process at a time; outside Windows DoModal returns 0 at once.
class QOR_API CSHBrowseDlg {
public:
    /// Empties both texts, stores the owner and takes the shell's desktop
    /// folder and allocator.
    CSHBrowseDlg(HWND owner = nullptr);
    /// A copy shares the shell references of other.
    CSHBrowseDlg(const CSHBrowseDlg& other);
    /// Releases the shell references.
    ~CSHBrowseDlg();
    /// Copies every field; the shell references become shared with other.
    CSHBrowseDlg& operator=(const CSHBrowseDlg& other);

    /// Sets the window that owns the dialog.
    void Setm_hWndOwner(HWND owner);

    /// Runs the dialog. 1 when a folder was chosen that has a file system
    /// path or a display name, 0 when cancelled or when it has neither.
    /// information may be null; its label decides whether a check box shows.
    int DoModal(const char* initialFolder, const char* title, HICON icon, unsigned int flags,
                unsigned int specialFolder, tagBrowserInformation* information);

    /// The chosen folder's file system path (empty for a virtual folder).
    char* GetFullPath();
    /// The chosen folder's display name.
    char* GetFolderName();

private:
    /// Fills both texts for the folder selected in the open dialog.
    void GetNames(const void* folder);
    /// The dialog's callback: initialisation (1) and selection changes (2).
    static int SHBrowseCallBack(HWND dialog, unsigned int message, qor::MessageValue value, qor::MessageValue data);
    void TakeSharedReferences(const CSHBrowseDlg& other);
    void ReleaseReferences();

    char m_szFolderName[260];
    char m_szFullPath[260];
    HWND m_hWndOwner;
    HWND m_hWndTree;
    IShellFolder* m_pDesktop;
    IMalloc* m_pMalloc;
};

#endif
