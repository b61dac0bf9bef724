// Small in-place text edits shared by the store's readers and writers.
#ifndef QOR_STORE_TEXTEDIT_H
#define QOR_STORE_TEXTEDIT_H

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qor::store {

inline bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Eight bytes at once: the high bit of each byte from 'a' to 'z' (bytes of
// 0x80 and above never count). Subtracting the result >> 2 upper-cases them.
inline std::uint64_t LowerLetterBits(std::uint64_t bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    const std::uint64_t low7 = bytes & ~kHighBits;
    const std::uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;    // high bit: byte >= 'a'
    const std::uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kOnes;  // high bit: byte > 'z'
    return atLeastA & ~aboveZ & ~bytes & kHighBits;
}

// ---- Eight bytes a step, for the checks that every line of a file goes
// through (defined here so that the readers' loops can inline them).

namespace text_words {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The high bit of each byte of word that equals byte (and maybe of a byte
// above one that does: enough for a yes or no).
inline std::uint64_t BytesEqual(std::uint64_t word, char byte) {
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(byte));
    return (x - kOnes) & ~x & kHighBits;
}

inline std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    std::size_t at = from;
    if constexpr (std::endian::native == std::endian::little) {
        // The lowest flagged byte is a true match: only bytes above one
        // can be flagged falsely.
        constexpr std::uint64_t kCrs = kOnes * '\r', kLfs = kOnes * '\n';
        for (; at + 8 <= text.size(); at += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + at, sizeof word);
            const std::uint64_t cr = word ^ kCrs, lf = word ^ kLfs;
            const std::uint64_t ends = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighBits;
            if (ends != 0) return at + static_cast<std::size_t>(std::countr_zero(ends) / 8);
        }
    }
    for (; at < text.size(); ++at) {
        if (text[at] == '\r' || text[at] == '\n') return at;
    }
    return std::string_view::npos;
}

inline bool HoldsAnyOf(std::string_view text, char a, char b, char c) {
    const auto matches = [&](std::size_t at) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        return (BytesEqual(word, a) | BytesEqual(word, b) | BytesEqual(word, c)) != 0;
    };
    if (text.size() < 8) {
        for (char byte : text) {
            if (byte == a || byte == b || byte == c) return true;
        }
        return false;
    }
    for (std::size_t at = 0; at + 8 <= text.size(); at += 8) {
        if (matches(at)) return true;
    }
    // The last eight bytes, some of them looked at already.
    return matches(text.size() - 8);
}

// The position of the first byte equal to byte, or npos.
inline std::size_t FindByte(std::string_view text, char byte) {
    std::size_t at = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= text.size(); at += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + at, sizeof word);
            const std::uint64_t found = BytesEqual(word, byte);
            if (found != 0) return at + static_cast<std::size_t>(std::countr_zero(found) / 8);
        }
    }
    for (; at < text.size(); ++at) {
        if (text[at] == byte) return at;
    }
    return std::string_view::npos;
}

// Upper-cases count bytes from in to out (which may be the same place).
inline void UpperBytes(const char* in, char* out, std::size_t count) {
    const auto upperEight = [in, out](std::size_t at) {
        std::uint64_t bytes;
        std::memcpy(&bytes, in + at, sizeof bytes);
        bytes -= LowerLetterBits(bytes) >> 2;  // 0x80 >> 2: the 0x20 between a letter's two cases
        std::memcpy(out + at, &bytes, sizeof bytes);
    };
    if (count < 8) {
        for (std::size_t at = 0; at < count; ++at) {
            out[at] = (in[at] >= 'a' && in[at] <= 'z') ? static_cast<char>(in[at] - 'a' + 'A') : in[at];
        }
        return;
    }
    for (std::size_t at = 0; at + 8 <= count; at += 8) upperEight(at);
    // The last eight bytes once more (upper-casing twice changes nothing),
    // instead of a byte at a time.
    upperEight(count - 8);
}

}  // namespace text_words

// True when text holds any of the bytes a, b and c.
using text_words::HoldsAnyOf;
// The position of the first CR or LF in text at or after from, or npos.
using text_words::FindLineEnd;
// The position of the first byte equal to byte in text, or npos.
using text_words::FindByte;
using text_words::UpperBytes;

// A caller's text; null reads as the empty text.
inline std::string_view TextOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Replaces every occurrence of from (not empty) by to, which must not be
// longer, scanning left to right; a replacement is never scanned again.
void ReplaceEvery(std::string& text, std::string_view from, std::string_view to);

// Appends the number in decimal ("%d", "%u").
void AppendDecimal(std::string& out, std::int32_t value);
void AppendDecimal(std::string& out, std::uint32_t value);
// Appends the low digits of the number as lower-case hexadecimal, with
// leading zeros ("%02x" for digits 2, "%08x" for digits 8).
void AppendHex(std::string& out, std::uint32_t value, int digits);

}  // namespace qor::store

#endif
