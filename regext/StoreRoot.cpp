// CRegExt's store-root search and the folder and file tests around it.
#include <string>
#include <vector>

#include "CRegExt.h"
#include "platform/Platform.h"
#include "core/RootLookup.h"

namespace {

// Read and write: the object keeps the lookup key open for writing.
constexpr DWORD kLookupAccess = 0x2001F;

}  // namespace

char* CRegExt::GetRegRoot(unsigned short mode, const char* modulePath, char* keyBuffer) {
    const bool opened = Open(HKEY_LOCAL_MACHINE, qor::core::kLookupSubKey, kLookupAccess) == ERROR_SUCCESS;
    auto readRoot = [this, opened](int index, std::string& fragment) {
        using qor::core::RootValue;
        CString text;
        if (!opened || !GetString(text, ("ROOT" + std::to_string(index)).c_str(), 0)) return RootValue::Missing;
        fragment = text.str();
        return fragment.empty() ? RootValue::Missing : RootValue::Usable;
    };
    return qor::core::FindStoreRoot(mode, modulePath, keyBuffer, readRoot, m_pSysPath);
}

CString CRegExt::GetAppDataFolder() { return CString(qor::platform::CommonAppDataFolder()); }

int CRegExt::GetSysDirectory(CString path, CStringArray& names) {
    std::vector<std::string> found;
    if (!qor::core::ListSubFolders(path.str(), found)) {
        names.RemoveAll();
        return 0;
    }
    for (const std::string& name : found) names.Add(CString(name));
    return 1;
}

int CRegExt::CheckModuleName(CString name, CString folder, CString ext) {
    return qor::core::FolderHoldsNamedFile(name.str(), folder.str(), ext.str()) ? 1 : 0;
}

int CRegExt::IsFileExist(const char* path) {
    if (path == nullptr) return 0;
    return qor::platform::PathMatchExists(path) ? 1 : 0;
}
