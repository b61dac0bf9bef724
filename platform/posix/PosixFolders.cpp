// Folder listing, existence tests and the host's folder conventions on
// POSIX hosts.
//
// The common application-data folder is the value of the environment
// variable QOR_COMMON_APPDATA, read at each use; when it is unset or empty
// it is /var/lib/qor. A path is its own short form, with '/' separators.
#include "platform/Platform.h"
#include "platform/posix/HostPath.h"
#include "platform/posix/Wildcard.h"

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace qor::platform {
namespace {

using posix::FolderOf;
using posix::HasWildcard;
using posix::LastPartOf;
using posix::ToHostPath;
using posix::WildcardMatches;

constexpr const char* kCommonAppDataVariable = "QOR_COMMON_APPDATA";
constexpr const char* kDefaultCommonAppData = "/var/lib/qor";

// Closes a folder stream when it leaves scope.
class FolderStream {
public:
    explicit FolderStream(const std::string& folder) : dir_(::opendir(folder.c_str())) {}
    ~FolderStream() {
        if (dir_ != nullptr) ::closedir(dir_);
    }
    FolderStream(const FolderStream&) = delete;
    FolderStream& operator=(const FolderStream&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

// Whether an entry is a folder, following symbolic links; an entry that
// cannot be examined (a broken link) counts as a file.
bool IsFolderEntry(const std::string& folder, const dirent& entry) {
#ifdef _DIRENT_HAVE_D_TYPE
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
#endif
    struct stat info;
    const std::string full = folder == "/" ? "/" + std::string(entry.d_name) : folder + "/" + entry.d_name;
    return ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool posix::ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) {
    const std::string host = ToHostPath(pattern);
    const std::string wildcard = LastPartOf(host);
    if (wildcard.empty()) return false;
    const std::string folder = FolderOf(host);
    FolderStream stream(folder);
    if (stream.get() == nullptr) return false;
    std::vector<FolderEntry> found;
    while (const dirent* entry = ::readdir(stream.get())) {
        if (WildcardMatches(wildcard, entry->d_name)) {
            found.push_back(FolderEntry{entry->d_name, IsFolderEntry(folder, *entry)});
        }
    }
    if (found.empty()) return false;
    entries.swap(found);
    return true;
}

bool PathMatchExists(const std::string& pattern) {
    const std::string host = ToHostPath(pattern);
    if (host.empty()) return false;
    if (HasWildcard(LastPartOf(host))) {
        std::vector<FolderEntry> ignored;
        return FindEntries(host, ignored);
    }
    struct stat info;
    return ::lstat(host.c_str(), &info) == 0;
}

std::string CommonAppDataFolder() {
    const char* configured = std::getenv(kCommonAppDataVariable);
    std::string folder = configured != nullptr && *configured != '\0' ? configured : kDefaultCommonAppData;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

bool ShortPathName(const std::string& path, std::string& shortPath) {
    shortPath = ToHostPath(path);
    return true;
}

int CompareNoCase(const char* a, const char* b) {
    // Null texts compare as empty ones rather than crash.
    const auto* left = reinterpret_cast<const unsigned char*>(a != nullptr ? a : "");
    const auto* right = reinterpret_cast<const unsigned char*>(b != nullptr ? b : "");
    for (;; ++left, ++right) {
        const int l = *left >= 'A' && *left <= 'Z' ? *left + ('a' - 'A') : *left;
        const int r = *right >= 'A' && *right <= 'Z' ? *right + ('a' - 'A') : *right;
        if (l != r || l == 0) return l - r;
    }
}

}  // namespace qor::platform
