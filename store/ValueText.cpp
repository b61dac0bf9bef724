// Encoded value texts and the C-library parses behind them.
//
// The parses reproduce what the 32-bit Windows C library gives, whatever
// the width of long on the host:
//   atoi / atol   white space, sign, decimal digits; the digits accumulate
//                 modulo 2^32, so 4294967295 reads as -1.
//   strtoul       white space, sign, "0x" / leading-0 rules of the base;
//                 above 4294967295 the result is 4294967295, else a minus
//                 negates modulo 2^32. "0x" with no hexadecimal digit after
//                 it reads nothing, as that library does.
//   sscanf "%f"   white space, sign, decimal digits with an optional point
//                 and exponent. "inf", "nan" and hexadecimal floats are not
//                 read (the older Windows library read none of them); such a
//                 text converts its leading decimal part, if any.
#include "store/ValueText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cmath>
#include <limits>
#include <system_error>

#include "store/ByteScan.h"
#include "store/HexDigits.h"
#include "store/TextEdit.h"

namespace qor::store {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of any base up to 36, or 99 when it is none.
unsigned DigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
    return 99;
}

std::size_t SkipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && qor::IsCSpace(text[at])) ++at;
    return at;
}

// Reads an optional sign at `at`; returns true for a minus.
bool ReadSign(std::string_view text, std::size_t& at) {
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) return text[at++] == '-';
    return false;
}

bool HasHexMark(std::string_view text, std::size_t at) {
    return at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X');
}

// ---- sscanf "%f"

// The extent of the decimal number that starts at `at` (after its sign):
// digits, an optional point and digits, an optional complete exponent.
std::size_t DecimalNumberEnd(std::string_view text, std::size_t at) {
    std::size_t digits = 0;
    while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
    }
    if (digits == 0) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            while (exponent < text.size() && IsDigit(text[exponent])) ++exponent;
            at = exponent;
        }
    }
    return at;
}

// For a number that a float cannot hold: whether it is too large (rather
// than too small). Compares the decimal exponent of its first non-zero digit.
bool IsTooLarge(std::string_view number) {
    long long scale = 0;
    bool seenNonZero = false, afterPoint = false;
    std::size_t at = 0;
    for (; at < number.size() && number[at] != 'e' && number[at] != 'E'; ++at) {
        const char c = number[at];
        if (c == '.') {
            afterPoint = true;
        } else if (!seenNonZero && c == '0') {
            if (afterPoint) --scale;
        } else {
            if (!afterPoint) ++scale;
            seenNonZero = true;
        }
    }
    long long exponent = 0;
    if (at < number.size()) {
        ++at;
        const bool negative = ReadSign(number, at);
        for (; at < number.size() && exponent < 1000000; ++at) exponent = exponent * 10 + (number[at] - '0');
        if (negative) exponent = -exponent;
    }
    return scale + exponent > 0;
}

}  // namespace

int RemovePrefix(std::string& text) {
    static constexpr std::string_view kPrefixes[] = {kStringPrefix, kDwordPrefix, kHexPrefix};
    for (int code = 1; code <= 3; ++code) {
        const std::string_view prefix = kPrefixes[code - 1];
        if (text.starts_with(prefix)) {
            text.erase(0, prefix.size());
            return code;
        }
    }
    return 0;
}

std::string_view WithoutPrefix(std::string_view text) {
    for (std::string_view prefix : {kStringPrefix, kDwordPrefix, kHexPrefix}) {
        if (text.starts_with(prefix)) return text.substr(prefix.size());
    }
    return text;
}

std::uint32_t ParseStrtoul(std::string_view text, int base, std::size_t* consumed) {
    if (consumed) *consumed = 0;
    if (base < 0 || base == 1 || base > 36) return 0;
    std::size_t at = SkipSpace(text, 0);
    const bool negative = ReadSign(text, at);
    if (base == 0) base = HasHexMark(text, at) ? 16 : (at < text.size() && text[at] == '0' ? 8 : 10);
    if (base == 16 && HasHexMark(text, at)) at += 2;

    const std::size_t firstDigit = at;
    std::uint64_t total = 0;
    bool overflow = false;
    for (; at < text.size() && DigitValue(text[at]) < static_cast<unsigned>(base); ++at) {
        total = total * static_cast<unsigned>(base) + DigitValue(text[at]);
        if (total > 0xFFFFFFFFull) {
            overflow = true;
            total = 0xFFFFFFFFull;
        }
    }
    if (at == firstDigit) return 0;
    if (consumed) *consumed = at;
    if (overflow) return 0xFFFFFFFFu;
    const auto value = static_cast<std::uint32_t>(total);
    return negative ? 0u - value : value;
}

bool ParseFloat(std::string_view text, float& out) {
    std::size_t at = SkipSpace(text, 0);
    const bool negative = ReadSign(text, at);
    const std::size_t end = DecimalNumberEnd(text, at);
    if (end == 0) return false;
    const std::string_view number = text.substr(at, end - at);
    float value = 0.0f;
    const auto result =
        std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = IsTooLarge(number) ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (result.ec != std::errc()) {
        return false;
    }
    out = negative ? -value : value;
    return true;
}

std::string EncodeInt(std::int32_t value) {
    std::string out(kDwordPrefix);
    AppendDecimal(out, value);
    return out;
}

std::string EncodeDword(std::uint32_t value) {
    std::string out(kDwordPrefix);
    AppendDecimal(out, value);
    return out;
}

std::string EncodeFloat(float value) {
    // Enough for the largest float in "%f" form (39 digits, point, six decimals).
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, static_cast<double>(value), std::chars_format::fixed, 6);
    std::string out(kDwordPrefix);
    out.append(digits, result.ptr);
    return out;
}

std::string EncodeString(std::string_view value) {
    std::string out;
    out.reserve(kStringPrefix.size() + value.size());
    out.append(kStringPrefix).append(value);
    return out;
}

std::string EncodeIntList(const std::int32_t* items, std::size_t count, std::int32_t offset) {
    std::string out(kStringPrefix);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        // The addition wraps as the 32-bit machine's does.
        const auto sum = static_cast<std::uint32_t>(items[i]) + static_cast<std::uint32_t>(offset);
        AppendDecimal(out, static_cast<std::int32_t>(sum));
    }
    return out;
}

std::string EncodeDwordList(const std::uint32_t* items, std::size_t count, std::uint32_t offset) {
    std::string out(kStringPrefix);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        AppendDecimal(out, static_cast<std::uint32_t>(items[i] + offset));
    }
    return out;
}

std::string EncodeBytesFrom32(const unsigned char* data, std::size_t count) {
    std::string out(kHexPrefix);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        AppendHex(out, data[i * 4], 2);
    }
    return out;
}

std::string EncodeBytes(const std::vector<std::uint8_t>& bytes) {
    std::string out(kHexPrefix);
    out.reserve(kHexPrefix.size() + bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += ',';
        AppendHex(out, bytes[i], 2);
    }
    return out;
}

std::vector<std::uint8_t> ParseByteList(std::string_view text) {
    std::vector<std::string_view> pieces;
    SplitPieces(text, ",", pieces);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pieces.size());
    for (std::string_view piece : pieces) bytes.push_back(static_cast<std::uint8_t>(ParseStrtoul(piece, 16) & 0xFFu));
    return bytes;
}

void SplitPieces(std::string_view text, std::string_view sep, std::vector<std::string_view>& pieces) {
    if (sep.empty()) {
        pieces.push_back(text);
        return;
    }
    for (std::size_t found = text.find(sep); found != std::string_view::npos; found = text.find(sep)) {
        pieces.push_back(text.substr(0, found));
        text.remove_prefix(found + sep.size());
    }
    pieces.push_back(text);
}

void UpperInPlace(std::string& text) { UpperBytes(text.data(), text.data(), text.size()); }

std::string Upper(std::string_view text) {
    std::string out(text);
    UpperInPlace(out);
    return out;
}

UpperText::UpperText(std::string_view text) {
    // Key paths are upper-cased when a key is opened, so most texts need
    // no copy at all.
    if (!HasLowerLetter(text)) {
        view_ = text;
        return;
    }
    char* out = inline_;
    if (text.size() > kInline) {
        long_.resize(text.size());
        out = long_.data();
    }
    UpperBytes(text.data(), out, text.size());
    view_ = std::string_view(out, text.size());
}

}  // namespace qor::store
