#include "store/TextEdit.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace qor::store {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The high bit of each byte of word that equals byte (and maybe of a byte
// above one that does: enough for a yes or no).
std::uint64_t BytesEqual(std::uint64_t word, char byte) {
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(byte));
    return (x - kOnes) & ~x & kHighBits;
}

}  // namespace

std::size_t FindLineEnd(std::string_view text, std::size_t from) {
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

bool HoldsAnyOf(std::string_view text, char a, char b, char c) {
    const auto matches = [&](std::uint64_t word) { return BytesEqual(word, a) | BytesEqual(word, b) | BytesEqual(word, c); };
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        if (matches(word) != 0) return true;
    }
    for (; at < text.size(); ++at) {
        if (text[at] == a || text[at] == b || text[at] == c) return true;
    }
    return false;
}

void ReplaceEvery(std::string& text, std::string_view from, std::string_view to) {
    std::size_t found = text.find(from);
    if (from.empty() || to.size() > from.size() || found == std::string::npos) return;
    // The written part never overtakes the part still to be scanned, so the
    // scan always reads the original bytes.
    std::size_t read = 0, write = 0;
    for (; found != std::string::npos; found = text.find(from, read)) {
        std::memmove(text.data() + write, text.data() + read, found - read);
        write += found - read;
        std::memcpy(text.data() + write, to.data(), to.size());
        write += to.size();
        read = found + from.size();
    }
    std::memmove(text.data() + write, text.data() + read, text.size() - read);
    text.resize(write + text.size() - read);
}

namespace {

template <typename Number>
void AppendNumber(std::string& out, Number value) {
    char digits[12];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

void AppendDecimal(std::string& out, std::int32_t value) { AppendNumber(out, value); }

void AppendDecimal(std::string& out, std::uint32_t value) { AppendNumber(out, value); }

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace qor::store
