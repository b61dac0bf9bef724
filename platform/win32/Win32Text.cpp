// Text conversion on Windows: the calling thread's ANSI code page for texts,
// the system code page for the UTF-16 length of names.
#include "platform/Platform.h"
#include "platform/Utf16Le.h"

#include <climits>
#include <cstring>
#include <windows.h>

namespace qor::platform {
namespace {

// The strict flags are refused by some code pages (ERROR_INVALID_FLAGS);
// those convert without them, as the host defines for them.
int WideToThreadCodePage(const wchar_t* text, char* out, int outSize) {
    int result = WideCharToMultiByte(CP_THREAD_ACP, WC_ERR_INVALID_CHARS, text, -1, out, outSize, nullptr, nullptr);
    if (result == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        result = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, out, outSize, nullptr, nullptr);
    }
    return result;
}

int ThreadCodePageToWide(std::string_view text, wchar_t* out, int outSize) {
    const int length = static_cast<int>(text.size());
    int result = MultiByteToWideChar(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, text.data(), length, out, outSize);
    if (result == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        result = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, out, outSize);
    }
    return result;
}

}  // namespace

std::string WideToNarrow(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return std::string();
    const int size = WideToThreadCodePage(text, nullptr, 0);
    if (size <= 0) throw TextConversionError("wide text cannot be converted to the thread code page");
    std::string narrow(static_cast<std::size_t>(size), '\0');
    if (WideToThreadCodePage(text, narrow.data(), size) != size) {
        throw TextConversionError("wide text cannot be converted to the thread code page");
    }
    narrow.resize(static_cast<std::size_t>(size) - 1);  // the terminator
    return narrow;
}

std::wstring NarrowToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    if (text.size() > static_cast<std::size_t>(INT_MAX)) throw TextConversionError("text too long to convert");
    const int size = ThreadCodePageToWide(text, nullptr, 0);
    if (size <= 0) throw TextConversionError("text is not valid in the thread code page");
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (ThreadCodePageToWide(text, wide.data(), size) != size) {
        throw TextConversionError("text is not valid in the thread code page");
    }
    return wide;
}

// Without WC_NO_BEST_FIT_CHARS a character the code page lacks may become
// a look-alike (an accented letter its plain one) without any report, and
// without the default-character flag the call puts "?" in its place and
// reports success; with both, any character without a byte of its own sets
// the flag. A UTF-8 code page takes neither: there only invalid text fails.
bool Utf16LeToNarrow(std::string_view bytes, std::string& narrow) {
    narrow.clear();
    if (!IsUtf16Le(bytes)) return false;
    if (bytes.empty()) return true;
    if (bytes.size() / 2 > static_cast<std::size_t>(INT_MAX)) return false;
    std::wstring wide(bytes.size() / 2, L'\0');
    std::memcpy(wide.data(), bytes.data(), bytes.size());
    const int units = static_cast<int>(wide.size());
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultFlag = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), units, nullptr, 0, nullptr, usedDefaultFlag);
    if (size <= 0 || usedDefault) return false;
    narrow.resize(static_cast<std::size_t>(size));
    if (WideCharToMultiByte(CP_ACP, flags, wide.data(), units, narrow.data(), size, nullptr, usedDefaultFlag) != size ||
        usedDefault) {
        return false;
    }
    return true;
}

std::uint32_t Utf16LengthWithTerminator(std::string_view name) {
    const std::string terminated(name);  // the host call reads up to a NUL
    const int units = MultiByteToWideChar(CP_ACP, 0, terminated.c_str(), -1, nullptr, 0);
    return units > 0 ? static_cast<std::uint32_t>(units) : 0;
}

}  // namespace qor::platform
