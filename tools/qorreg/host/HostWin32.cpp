// The tool's host calls on Windows: MultiByteToWideChar and
// WideCharToMultiByte through UTF-16, and the C run-time's binary mode.
#include "Host.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace qor::qorreg::host {
namespace {

bool ToWide(std::string_view text, unsigned from, std::wstring& wide) {
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (size <= 0) return false;
    wide.resize(static_cast<std::size_t>(size));
    return MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), size) == size;
}

bool FromWide(const std::wstring& wide, unsigned to, std::string& narrow) {
    if (wide.empty()) return true;
    const int length = static_cast<int>(wide.size());
    // UTF-8 refuses lone surrogates; any other code page tells through
    // usedDefault that a character had no byte of its own.
    const DWORD flags = to == kUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* askDefault = to == kUtf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(to, flags, wide.data(), length, nullptr, 0, nullptr, askDefault);
    if (size <= 0 || usedDefault) return false;
    narrow.resize(static_cast<std::size_t>(size));
    return WideCharToMultiByte(to, flags, wide.data(), length, narrow.data(), size, nullptr, askDefault) == size &&
           !usedDefault;
}

}  // namespace

unsigned NativeCodePage() { return GetACP(); }

bool KnownCodePage(unsigned codePage) { return IsValidCodePage(codePage) != 0; }

bool Convert(std::string_view text, unsigned from, unsigned to, std::string& converted) {
    converted.clear();
    std::wstring wide;
    return ToWide(text, from, wide) && FromWide(wide, to, converted);
}

void UseBinaryStandardStreams() {
    std::fflush(stdout);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace qor::qorreg::host
