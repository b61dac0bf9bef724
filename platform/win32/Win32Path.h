// Path helper shared by the Win32 platform files.
#ifndef QOR_PLATFORM_WIN32_WIN32_PATH_H
#define QOR_PLATFORM_WIN32_WIN32_PATH_H

#include <string>

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

}  // namespace qor::platform::win32

#endif
