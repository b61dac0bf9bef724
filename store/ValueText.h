// Encoded value text: a type prefix and the value written as text.
//
//   "<string>" + bytes        strings, and lists of numbers ("1,-2,3")
//   "<dword>"  + decimal      signed/unsigned 32-bit numbers, booleans,
//                             floats ("%f": "<dword>1.500000")
//   "<hex>"    + "0a,ff,..."  byte sequences, two lower-case digits a byte
//
// This module is the one place that formats and parses these texts; both
// facades and the key copy call it. The C parses (atoi, atol, strtoul,
// sscanf "%f") give their 32-bit Windows results on every platform.
#ifndef QOR_STORE_VALUETEXT_H
#define QOR_STORE_VALUETEXT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/SmallText.h"

namespace qor::store {

inline constexpr std::string_view kStringPrefix = "<string>";
inline constexpr std::string_view kDwordPrefix = "<dword>";
inline constexpr std::string_view kHexPrefix = "<hex>";

// Removes one exact lower-case prefix at the start of text:
// "<string>" 1, "<dword>" 2, "<hex>" 3; otherwise 0 and text unchanged.
int RemovePrefix(std::string& text);
// The text after the prefix (the whole text when there is none).
std::string_view WithoutPrefix(std::string_view text);

// ---- Parses with 32-bit Windows C-library results
// atoi / atol: white space, sign, decimal digits accumulated modulo 2^32.
using qor::ParseAtoi;
// strtoul with base 0, 10 or 16: white space, sign (a minus negates modulo
// 2^32), digits; a number above 4294967295 gives 4294967295. consumed, when
// given, receives the number of characters read (0 when no digits).
std::uint32_t ParseStrtoul(std::string_view text, int base, std::size_t* consumed = nullptr);
// sscanf("%f"): false when nothing converts.
bool ParseFloat(std::string_view text, float& out);

// ---- Encoders (whole encoded texts)
std::string EncodeInt(std::int32_t value);         // "<dword>%d"
std::string EncodeDword(std::uint32_t value);      // "<dword>%u"
std::string EncodeFloat(float value);              // "<dword>%f" of the value as double
std::string EncodeString(std::string_view value);  // "<string>" + bytes
// "<string>" + each item plus offset as "%d," less the last comma.
std::string EncodeIntList(const std::int32_t* items, std::size_t count, std::int32_t offset);
// As EncodeIntList with "%u," and unsigned addition modulo 2^32.
std::string EncodeDwordList(const std::uint32_t* items, std::size_t count, std::uint32_t offset);
// "<hex>" + the low-order byte (first in memory) of each of count 32-bit
// elements of data, "%02x" separated by commas. Every byte is kept.
std::string EncodeBytesFrom32(const unsigned char* data, std::size_t count);
// "<hex>" + each byte of bytes, "%02x" separated by commas.
std::string EncodeBytes(const std::vector<std::uint8_t>& bytes);
// Reads a comma-separated byte list (each piece strtoul base 16, low 8 bits;
// an empty piece gives 0, the empty text one 0 byte).
std::vector<std::uint8_t> ParseByteList(std::string_view text);

// ---- Splitting
// The pieces of text between occurrences of sep, appended in order: empty
// pieces kept, the empty text gives one empty piece, an empty separator
// gives the whole text as one piece.
void SplitPieces(std::string_view text, std::string_view sep, std::vector<std::string_view>& pieces);

// ---- Case
// Upper-cases the letters a to z, leaving every other byte unchanged.
void UpperInPlace(std::string& text);
std::string Upper(std::string_view text);

// A text upper-cased for a lookup: the text itself when it holds no letter
// from a to z (valid as long as the text is), else an upper-cased copy held
// on the stack when it is short. The lookups of every typed read and write
// upper-case a key path and a value name, and a heap allocation for each
// cost more than the lookup itself.
class UpperText {
public:
    explicit UpperText(std::string_view text);
    UpperText(const UpperText&) = delete;
    UpperText& operator=(const UpperText&) = delete;
    std::string_view View() const { return view_; }

private:
    static constexpr std::size_t kInline = 272;  // a key path of the longest fixed key field, and more
    char inline_[kInline];
    std::string long_;  // texts longer than the inline room
    std::string_view view_;
};

}  // namespace qor::store

#endif
