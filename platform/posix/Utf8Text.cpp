// Text conversion on POSIX hosts: the 8-bit code page is UTF-8 and wide
// texts are UTF-32 (wchar_t holds one code point).
//
// UTF-8 is read strictly: overlong forms, surrogate code points, code points
// above U+10FFFF, stray continuation bytes and cut-off sequences are invalid.
#include "platform/Platform.h"
#include "platform/Utf16Le.h"

#include <algorithm>

namespace qor::platform {
namespace {

static_assert(sizeof(wchar_t) == 4, "POSIX wide texts are expected to be UTF-32");

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the sequence a lead byte starts, 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Decodes the sequence at text[pos]. On success stores the code point and
// its byte length; false when the bytes there are not valid UTF-8.
bool DecodeAt(std::string_view text, std::size_t pos, char32_t& codePoint, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    length = SequenceLength(lead);
    if (length == 0 || pos + length > text.size()) return false;
    if (length == 1) {
        codePoint = lead;
        return true;
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(b)) return false;
        c = (c << 6) | (b & 0x3F);
    }
    constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallestOfLength[length] || c > kMaxCodePoint || IsSurrogate(c)) return false;
    codePoint = c;
    return true;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string WideToNarrow(const wchar_t* text) {
    std::string narrow;
    if (text == nullptr) return narrow;
    for (const wchar_t* w = text; *w != L'\0'; ++w) {
        const auto c = static_cast<char32_t>(*w);
        if (c > kMaxCodePoint || IsSurrogate(c)) {
            throw TextConversionError("wide text holds an invalid code point");
        }
        AppendUtf8(c, narrow);
    }
    return narrow;
}

std::wstring NarrowToWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = 0;
        std::size_t length = 0;
        if (!DecodeAt(text, pos, c, length)) {
            throw TextConversionError("text is not valid UTF-8");
        }
        wide += static_cast<wchar_t>(c);
        pos += length;
    }
    return wide;
}

bool Utf16LeToNarrow(std::string_view bytes, std::string& narrow) {
    if (bytes.size() % 2 != 0) return false;
    narrow.clear();
    narrow.reserve(bytes.size() / 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf16LeAt(bytes, pos, c);
        if (length == 0) return false;
        AppendUtf8(c, narrow);
        pos += length;
    }
    return true;
}

std::uint32_t Utf16LengthWithTerminator(std::string_view name) {
    // Like the C string the host call is given, the name ends at a NUL.
    name = name.substr(0, std::min(name.size(), name.find('\0')));
    std::uint32_t units = 1;
    std::size_t pos = 0;
    while (pos < name.size()) {
        char32_t c = 0;
        std::size_t length = 0;
        if (DecodeAt(name, pos, c, length)) {
            units += c > 0xFFFF ? 2 : 1;
            pos += length;
        } else {
            units += 1;  // an invalid byte stands for one replacement unit
            pos += 1;
        }
    }
    return units;
}

}  // namespace qor::platform
