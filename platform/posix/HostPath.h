// Path helpers shared by the POSIX platform files.
#ifndef QOR_PLATFORM_POSIX_HOSTPATH_H
#define QOR_PLATFORM_POSIX_HOSTPATH_H

#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace qor::platform::posix {

// The path with every '\' turned into '/', the only separator the host knows.
inline std::string ToHostPath(std::string_view path) {
    std::string host(path);
    for (char& c : host) {
        if (c == '\\') c = '/';
    }
    return host;
}

// The folder part of a host path ("." when it has none, "/" for the root).
inline std::string FolderOf(const std::string& hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return hostPath.substr(0, slash);
}

// The last part of a host path, after its last '/'.
inline std::string LastPartOf(const std::string& hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Lists a folder's entries that match the wildcard in the pattern's last
// part (platform::FindEntries).
bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries);

}  // namespace qor::platform::posix

#endif
