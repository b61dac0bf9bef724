// Reading UTF-16 little-endian bytes (what Windows' registry tools write)
// one code point at a time. Plain C++, shared by both platform
// implementations of Utf16LeToNarrow.
#ifndef QOR_PLATFORM_UTF16LE_H
#define QOR_PLATFORM_UTF16LE_H

#include <cstddef>
#include <string_view>

namespace qor::platform {

// The 16-bit unit at byte offset pos (pos + 1 must be inside bytes).
inline char32_t Utf16LeUnitAt(std::string_view bytes, std::size_t pos) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[pos])) |
           static_cast<char32_t>(static_cast<unsigned char>(bytes[pos + 1])) << 8;
}

// Decodes the code point that starts at byte offset pos. Returns the bytes
// it takes (2, or 4 for a surrogate pair) with codePoint set, or 0 when
// the bytes there are no code point: a lone or reversed surrogate, or a
// unit cut off at the end.
inline std::size_t DecodeUtf16LeAt(std::string_view bytes, std::size_t pos, char32_t& codePoint) {
    if (pos + 2 > bytes.size()) return 0;
    const char32_t first = Utf16LeUnitAt(bytes, pos);
    if (first < 0xD800 || first > 0xDFFF) {
        codePoint = first;
        return 2;
    }
    if (first > 0xDBFF || pos + 4 > bytes.size()) return 0;  // a trailing half first, or cut off
    const char32_t second = Utf16LeUnitAt(bytes, pos + 2);
    if (second < 0xDC00 || second > 0xDFFF) return 0;
    codePoint = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    return 4;
}

// True when bytes are whole UTF-16LE text: an even count, no lone surrogate.
inline bool IsUtf16Le(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return false;
    char32_t unused = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = DecodeUtf16LeAt(bytes, pos, unused);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

}  // namespace qor::platform

#endif
