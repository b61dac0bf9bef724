// Folder listing, existence tests, the common application-data folder,
// short path names and case-insensitive comparison on Windows.
#include "platform/Platform.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>
#include <shlobj.h>

namespace qor::platform {
namespace {

using win32::ToHostPath;

constexpr DWORD kPathCapacity = 260;

// Closes a search handle when it leaves scope.
class Search {
public:
    Search(const std::string& pattern, WIN32_FIND_DATAA& first) : handle_(FindFirstFileA(pattern.c_str(), &first)) {}
    ~Search() {
        if (found()) FindClose(handle_);
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(handle_, &data) != 0; }

private:
    HANDLE handle_;
};

}  // namespace

bool win32::ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAA data;
    Search search(ToHostPath(pattern), data);
    if (!search.found()) return false;
    std::vector<FolderEntry> found;
    do {
        found.push_back(FolderEntry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (search.Next(data));
    entries.swap(found);
    return true;
}

bool PathMatchExists(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    const Search search(ToHostPath(pattern), data);
    return search.found();
}

std::string CommonAppDataFolder() {
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE)) return std::string();
    std::string text(folder);
    while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
    return text;
}

bool ShortPathName(const std::string& path, std::string& shortPath) {
    char buffer[kPathCapacity] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) return false;
    shortPath.assign(buffer, length);
    return true;
}

int CompareNoCase(const char* a, const char* b) { return lstrcmpiA(a != nullptr ? a : "", b != nullptr ? b : ""); }

}  // namespace qor::platform
