// Small in-place text edits shared by the store's readers and writers.
#ifndef QOR_STORE_TEXT_EDIT_H
#define QOR_STORE_TEXT_EDIT_H

#include <cstdint>
#include <string>
#include <string_view>

namespace qor::store {

inline bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// True when text holds any of the bytes a, b and c; eight bytes a step,
// for the checks that every line of a file goes through.
bool HoldsAnyOf(std::string_view text, char a, char b, char c);

// The position of the first CR or LF in text at or after from, or npos;
// eight bytes a step.
std::size_t FindLineEnd(std::string_view text, std::size_t from);

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
