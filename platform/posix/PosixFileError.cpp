// The POSIX half of platform/FileError.h: errno and strerror_r.
#include "platform/FileError.h"

#include <cerrno>
#include <cstring>

namespace qor::platform {
namespace {

// The XSI strerror_r returns 0 and fills text; the GNU one returns its text.
[[maybe_unused]] std::string Words(int result, const char* text, std::uint32_t code) {
    return result == 0 ? std::string(text) : "error " + std::to_string(code);
}
[[maybe_unused]] std::string Words(const char* result, const char*, std::uint32_t) { return result; }

}  // namespace

void KeepFileError(std::uint32_t code);

void NoteFileError() {
    const int error = errno;  // read before anything else may change it
    KeepFileError(static_cast<std::uint32_t>(error));
}

std::string FileErrorText(std::uint32_t code) {
    if (code == 0) return std::string();
    char text[256] = {};
    return Words(strerror_r(static_cast<int>(code), text, sizeof text), text, code);
}

}  // namespace qor::platform
