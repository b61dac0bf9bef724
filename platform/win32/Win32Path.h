// Path helper shared by the Win32 platform files.
#ifndef QOR_PLATFORM_WIN32_WIN32PATH_H
#define QOR_PLATFORM_WIN32_WIN32PATH_H

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qor::platform::win32 {

// The path with every '/' turned into '\', the host's own separator, so that
// callers may use either.
inline std::string ToHostPath(const std::string& path) {
    std::string host(path);
    for (char& c : host) {
        if (c == '/') c = '\\';
    }
    return host;
}

// Lists the entries that match a wildcard pattern (platform::FindEntries).
bool ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries);

}  // namespace qor::platform::win32

#endif
