#include "CSHBrowseDlg.h"

#include <cstddef>
#include <string_view>

#include "util/FixedText.h"
#include "winhelpers/ChooserCheckBox.h"
#include "winhelpers/FolderChooserHost.h"

using qor::winhelpers::ActiveHost;
using qor::winhelpers::FolderChooserHost;

namespace {

// What the dialog's callback needs, kept on DoModal's stack while it runs.
struct BrowseCallbackData {
    const char* initialFolder;
    CSHBrowseDlg* owner;
    HICON icon;
    tagBrowserInformation* information;
};

// Stores text in field; a text that does not fit leaves the field empty.
template <std::size_t N>
bool StoreOrEmpty(char (&field)[N], std::string_view text) {
    if (qor::CopyFixed(field, text)) return true;
    qor::CopyFixed(field, "");
    return false;
}

void PrepareDialog(FolderChooserHost& host, HWND dialog, const BrowseCallbackData& data) {
    host.SetCaptionIcons(dialog, data.icon);
    if (data.initialFolder != nullptr && data.initialFolder[0] != '\0') {
        host.SelectPath(dialog, data.initialFolder);
    }
    const tagBrowserInformation* information = data.information;
    if (information != nullptr && !information->strCheckBoxText.IsEmpty()) {
        qor::winhelpers::OpenCheckBox(host, dialog, information->strCheckBoxText.GetString(),
                                      information->nCheckBoxState);
    }
}

// The box's state is taken at each change of selection only.
void ReportCheckBoxState(FolderChooserHost& host, tagBrowserInformation* information) {
    HWND checkBox = qor::winhelpers::CurrentCheckBox();
    if (information == nullptr || checkBox == nullptr) return;
    information->nCheckBoxState = host.ReadCheckState(checkBox) == 1 ? 1 : 0;
}

}  // namespace

CSHBrowseDlg::CSHBrowseDlg(HWND owner) : m_szFolderName(), m_szFullPath(), m_hWndOwner(owner), m_hWndTree(nullptr) {
    FolderChooserHost& host = ActiveHost<FolderChooserHost>();
    m_pDesktop = host.TakeDesktopFolder();
    m_pMalloc = host.TakeAllocator();
}

CSHBrowseDlg::CSHBrowseDlg(const CSHBrowseDlg& other)
    : m_szFolderName(),
      m_szFullPath(),
      m_hWndOwner(nullptr),
      m_hWndTree(nullptr),
      m_pDesktop(nullptr),
      m_pMalloc(nullptr) {
    *this = other;
}

CSHBrowseDlg::~CSHBrowseDlg() { ReleaseReferences(); }

CSHBrowseDlg& CSHBrowseDlg::operator=(const CSHBrowseDlg& other) {
    if (this == &other) return *this;
    // Other's references are taken before ours go.
    IShellFolder* desktop = other.m_pDesktop;
    IMalloc* allocator = other.m_pMalloc;
    TakeSharedReferences(other);
    ReleaseReferences();
    m_pDesktop = desktop;
    m_pMalloc = allocator;
    StoreOrEmpty(m_szFolderName, qor::FixedView(other.m_szFolderName));
    StoreOrEmpty(m_szFullPath, qor::FixedView(other.m_szFullPath));
    m_hWndOwner = other.m_hWndOwner;
    m_hWndTree = other.m_hWndTree;
    return *this;
}

void CSHBrowseDlg::TakeSharedReferences(const CSHBrowseDlg& other) {
    FolderChooserHost& host = ActiveHost<FolderChooserHost>();
    if (other.m_pDesktop != nullptr) host.RetainDesktopFolder(other.m_pDesktop);
    if (other.m_pMalloc != nullptr) host.RetainAllocator(other.m_pMalloc);
}

void CSHBrowseDlg::ReleaseReferences() {
    FolderChooserHost& host = ActiveHost<FolderChooserHost>();
    if (m_pDesktop != nullptr) host.ReleaseDesktopFolder(m_pDesktop);
    if (m_pMalloc != nullptr) host.ReleaseAllocator(m_pMalloc);
    m_pDesktop = nullptr;
    m_pMalloc = nullptr;
}

void CSHBrowseDlg::Setm_hWndOwner(HWND owner) { m_hWndOwner = owner; }

char* CSHBrowseDlg::GetFullPath() { return m_szFullPath; }
char* CSHBrowseDlg::GetFolderName() { return m_szFolderName; }

int CSHBrowseDlg::DoModal(const char* initialFolder, const char* title, HICON icon, unsigned int flags,
                          unsigned int specialFolder, tagBrowserInformation* information) {
    FolderChooserHost& host = ActiveHost<FolderChooserHost>();
    host.LookUpSpecialFolder(m_hWndOwner, specialFolder);

    BrowseCallbackData data{initialFolder, this, icon, information};
    qor::winhelpers::ChooserRequest request;
    request.owner = m_hWndOwner;
    request.title = title;
    request.flags = flags;
    request.callback = &CSHBrowseDlg::SHBrowseCallBack;
    request.data = reinterpret_cast<qor::MessageValue>(&data);
    qor::winhelpers::ChooserResult chosen = host.RunChooser(request);
    qor::winhelpers::CloseCheckBox(host);
    if (chosen.folder == nullptr) return 0;

    StoreOrEmpty(m_szFolderName, chosen.displayName);
    std::optional<std::string> path = host.FileSystemPath(chosen.folder);
    bool hasPath = StoreOrEmpty(m_szFullPath, path.value_or(std::string())) && path.has_value();
    int result = hasPath || m_szFolderName[0] != '\0' ? 1 : 0;
    host.FreeFolder(m_pMalloc, chosen.folder);
    return result;
}

void CSHBrowseDlg::GetNames(const void* folder) {
    FolderChooserHost& host = ActiveHost<FolderChooserHost>();
    StoreOrEmpty(m_szFullPath, host.FileSystemPath(folder).value_or(std::string()));
    // The tree gives at most 259 characters; an unreadable item leaves the
    // name as it was.
    if (std::optional<std::string> name = host.SelectedTreeText(m_hWndTree)) {
        std::string_view text = *name;
        qor::CopyFixed(m_szFolderName, text.substr(0, sizeof m_szFolderName - 1));
    }
}

int CSHBrowseDlg::SHBrowseCallBack(HWND dialog, unsigned int message, qor::MessageValue value, qor::MessageValue data) {
    auto* callbackData = reinterpret_cast<BrowseCallbackData*>(data);
    if (callbackData == nullptr) return 0;
    CSHBrowseDlg& self = *callbackData->owner;
    FolderChooserHost& host = ActiveHost<FolderChooserHost>();
    if (message == qor::winhelpers::kChooserInitialized) {
        self.m_hWndTree = host.FindTree(dialog);
        PrepareDialog(host, dialog, *callbackData);
    } else if (message == qor::winhelpers::kChooserSelectionChanged) {
        // Found again here too: a shell may report a selection before it
        // reports the dialog ready.
        self.m_hWndTree = host.FindTree(dialog);
        self.GetNames(reinterpret_cast<const void*>(value));
        host.ShowStatusText(dialog, self.m_szFullPath[0] != '\0' ? self.m_szFullPath : self.m_szFolderName);
        ReportCheckBoxState(host, callbackData->information);
    }
    return 0;
}
