// The Windows half of platform/FileError.h: GetLastError and FormatMessageA.
#include "platform/FileError.h"

#include <windows.h>

namespace qor::platform {

void KeepFileError(std::uint32_t code);

void NoteFileError() { KeepFileError(static_cast<std::uint32_t>(GetLastError())); }

std::string FileErrorText(std::uint32_t code) {
    if (code == 0) return std::string();
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' || words.back() == '.')) {
        words.pop_back();
    }
    return words.empty() ? "error " + std::to_string(code) : words;
}

}  // namespace qor::platform
