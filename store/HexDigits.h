// Hexadecimal digits, read and written in one place: the DWORD fields
// ("dword:" and eight digits), the byte lists ("hex:" and two digits a
// byte) and the "hex(N):" tags of the store file and regedit files.
#ifndef QOR_STORE_HEXDIGITS_H
#define QOR_STORE_HEXDIGITS_H

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qor::store {

namespace hex_digits {

// The value of each hexadecimal digit (either case); 0x10 for any other byte.
inline constexpr std::array<std::uint8_t, 256> kValue = [] {
    std::array<std::uint8_t, 256> values{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
        values[byte] = byte >= '0' && byte <= '9'   ? static_cast<std::uint8_t>(byte - '0')
                       : byte >= 'a' && byte <= 'f' ? static_cast<std::uint8_t>(byte - 'a' + 10)
                       : byte >= 'A' && byte <= 'F' ? static_cast<std::uint8_t>(byte - 'A' + 10)
                                                    : std::uint8_t{0x10};
    }
    return values;
}();

// "00" to "ff": two lower-case digits a byte.
inline constexpr std::array<char, 512> kPairs = [] {
    constexpr char kDigits[] = "0123456789abcdef";
    std::array<char, 512> pairs{};
    for (std::size_t i = 0; i < 256; ++i) {
        pairs[2 * i] = kDigits[i >> 4];
        pairs[2 * i + 1] = kDigits[i & 0xF];
    }
    return pairs;
}();

}  // namespace hex_digits

inline bool IsHexDigit(char c) { return hex_digits::kValue[static_cast<unsigned char>(c)] < 0x10; }

// The value of a hex digit; -1 for any other byte.
inline int HexValue(char c) {
    const std::uint8_t value = hex_digits::kValue[static_cast<unsigned char>(c)];
    return value < 0x10 ? value : -1;
}

namespace hex_digits {

// count hex digits at digits, without a branch per digit.
inline bool Read(const char* digits, std::size_t count, std::uint32_t& number) {
    std::uint32_t value = 0;
    unsigned invalid = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t digit = kValue[static_cast<unsigned char>(digits[i])];
        invalid |= digit;
        value = value << 4 | (digit & 0xFu);
    }
    if (invalid >= 0x10) return false;
    number = value;
    return true;
}

}  // namespace hex_digits

namespace hex_digits {

// Eight hex digits read as one word, the first digit in its lowest byte (a
// little-endian host): each byte is tested for '0'-'9' and, with bit 0x20
// set, for 'a'-'f', and the digits' values are then gathered pairwise.
// Bytes below 0x80 never carry into their neighbour here.
inline bool ReadEight(const char* digits, std::uint32_t& number) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = kOnes * 0x80;
    std::uint64_t word;
    std::memcpy(&word, digits, sizeof word);
    if ((word & kHigh) != 0) return false;
    // The high bit of each byte from low to high.
    const auto inRange = [](std::uint64_t bytes, unsigned low, unsigned high) {
        return (bytes + kOnes * (0x80 - low)) & ~(bytes + kOnes * (0x7F - high)) & kHigh;
    };
    const std::uint64_t decimal = inRange(word, '0', '9');
    const std::uint64_t letter = inRange(word | kOnes * 0x20, 'a', 'f');
    if ((decimal | letter) != kHigh) return false;
    // A letter's low four bits are 1 to 6: nine more make 10 to 15.
    std::uint64_t values = (word & kOnes * 0x0F) + (letter >> 7) * 9;
    values = (values << 4 | values >> 8) & 0x00FF00FF00FF00FFull;   // two digits in each 16 bits
    values = (values << 8 | values >> 16) & 0x0000FFFF0000FFFFull;  // four in each 32 bits
    number = static_cast<std::uint32_t>(values << 16 | values >> 32);
    return true;
}

}  // namespace hex_digits

// One to eight hex digits and nothing else (no sign, space or "0x"); false,
// number unchanged, for any other text.
inline bool ReadHex32(std::string_view digits, std::uint32_t& number) {
    // The eight digits that a store file writes: one word.
    if (digits.size() == 8) {
        if constexpr (std::endian::native == std::endian::little) return hex_digits::ReadEight(digits.data(), number);
        return hex_digits::Read(digits.data(), 8, number);
    }
    if (digits.empty() || digits.size() > 8) return false;
    return hex_digits::Read(digits.data(), digits.size(), number);
}

// Writes bits as eight lower-case hex digits at `at` ("%08x"); returns the
// position after them.
inline char* WriteHex8(char* at, std::uint32_t bits) {
    // The four lookups written out: a loop of them cost as much again in
    // counting and shifting, on a DWORD field every other line of a store file.
    const auto pair = [](std::uint32_t byte) { return &hex_digits::kPairs[2 * std::size_t{byte & 0xFF}]; };
    std::memcpy(at, pair(bits >> 24), 2);
    std::memcpy(at + 2, pair(bits >> 16), 2);
    std::memcpy(at + 4, pair(bits >> 8), 2);
    std::memcpy(at + 6, pair(bits), 2);
    return at + 8;
}

// Appends the low digits (one to eight) of the number as lower-case hex,
// with leading zeros ("%02x" for digits 2, "%08x" for digits 8).
inline void AppendHex(std::string& out, std::uint32_t value, int digits) {
    char eight[8];
    WriteHex8(eight, value);
    out.append(eight + 8 - digits, static_cast<std::size_t>(digits));
}

}  // namespace qor::store

#endif
