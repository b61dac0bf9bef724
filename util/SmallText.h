// Small text readings that more than one room needs: a caller's text that
// may be null, and the C library's atoi as 32-bit Windows gives it.
#ifndef QOR_UTIL_SMALLTEXT_H
#define QOR_UTIL_SMALLTEXT_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qor {

// A caller's text; null reads as the empty text.
inline std::string_view TextOrEmpty(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// The white space of the C library's number parses (isspace in the C locale).
inline bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// atoi / atol as 32-bit Windows reads them: leading white space, a sign,
// then decimal digits accumulated modulo 2^32 (so 4294967295 reads as -1);
// 0 when there are no digits.
inline std::int32_t ParseAtoi(std::string_view text) {
    std::size_t at = 0;
    bool negative = false;
    // A stored number starts with its first digit: white space and a sign
    // are looked for only when it does not.
    if (!text.empty() && static_cast<unsigned char>(text[0] - '0') > 9) {
        while (at < text.size() && IsCSpace(text[at])) ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    }
    std::uint32_t total = 0;
    for (; at < text.size(); ++at) {
        const unsigned digit = static_cast<unsigned char>(text[at] - '0');
        if (digit > 9) break;
        total = total * 10u + digit;
    }
    if (negative) total = 0u - total;
    return static_cast<std::int32_t>(total);
}

}  // namespace qor

#endif
