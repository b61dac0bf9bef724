#include "store/RegWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "store/RegLines.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"

namespace qor::store {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// True when text holds one of the two (or three) bytes. Without an early
// exit the loop is vectorised; the texts are short, and a search per byte
// (find_first_of) cost a save as much as writing the lines.
bool HoldsAny(std::string_view text, char a, char b, char c) {
    bool found = false;
    for (char byte : text) found |= (byte == a) | (byte == b) | (byte == c);
    return found;
}

// Appends text on the line being written: CR and LF inside it would end
// the line and make the rest a line of its own (another value, even a key),
// so they are written as spaces.
void AppendOnOneLine(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.append(text);
    if (!HoldsAny(text, '\r', '\n', '\n')) return;
    std::replace_if(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), IsLineEnd, ' ');
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    AppendOnOneLine(out, text);
    out += '"';
}

void AppendDwordField(std::string& out, std::string_view number, DwordField form) {
    std::uint32_t bits = 0;
    if (form == DwordField::TwainExport) {
        bits = static_cast<std::uint32_t>(ParseAtoi(number));
    } else if (!ReadWholeDecimal32(number, bits)) {
        AppendQuoted(out, number);
        return;
    }
    out.append("dword:");
    AppendHex(out, bits, 8);
}

// The most a value line is longer than its name and text together: two
// quotes, "=", CR LF, and a DWORD field ("dword:" and eight digits for a
// text of at least "<dword>") seven bytes longer than its text.
constexpr std::size_t kValueLineExtra = 12;

// ---- Copying a text and noting some of its bytes, a word at a time

// Nonzero when one of the bytes of word is byte: a byte of the exclusive or
// is zero there, and subtracting one from each byte borrows into its top bit.
template <class Word>
constexpr Word HasByte(Word word, char byte) {
    constexpr Word kLow = static_cast<Word>(~Word{0}) / 0xFF;  // 0x01 in every byte
    const Word x = word ^ (kLow * static_cast<unsigned char>(byte));
    return (x - kLow) & ~x & (kLow * 0x80);
}

// Nonzero when one of the bytes of word is below 0x0E: CR, LF and the
// other control bytes up to CR (a rare tab gives a false alarm, which the
// byte by byte look that follows an alarm clears).
template <class Word>
constexpr Word HasControlByte(Word word) {
    constexpr Word kLow = static_cast<Word>(~Word{0}) / 0xFF;
    return (word - kLow * 0x0E) & ~word & (kLow * 0x80);
}

// Copies a word and notes whether it may hold a line end or (with Also
// not zero) the byte Also.
template <class Word, char Also>
Word CopyWord(char* to, const char* from) {
    Word word;
    std::memcpy(&word, from, sizeof word);
    std::memcpy(to, &word, sizeof word);
    if constexpr (Also == 0) {
        return HasControlByte(word);
    } else {
        return HasControlByte(word) | HasByte(word, Also);
    }
}

// Copies text to `to`; false when it surely holds neither CR, LF nor the
// byte Also (when not zero), true when it may. Texts of four bytes and
// more go in words, the last word overlapping the one before; nothing is
// written past the copy.
template <char Also>
bool CopyNoting(char* to, std::string_view text) {
    const char* from = text.data();
    const std::size_t size = text.size();
    if (size >= 8) {
        std::uint64_t found = 0;
        for (std::size_t at = 0; at + 8 < size; at += 8) found |= CopyWord<std::uint64_t, Also>(to + at, from + at);
        found |= CopyWord<std::uint64_t, Also>(to + size - 8, from + size - 8);
        return found != 0;
    }
    if (size >= 4) {
        const std::uint32_t found =
            CopyWord<std::uint32_t, Also>(to, from) | CopyWord<std::uint32_t, Also>(to + size - 4, from + size - 4);
        return found != 0;
    }
    bool found = false;
    for (std::size_t at = 0; at < size; ++at) {
        to[at] = from[at];
        found |= IsLineEnd(from[at]) | (Also != 0 && from[at] == Also);
    }
    return found;
}

// Copies a name onto the line being written, CR and LF as spaces (as
// AppendOnOneLine does).
void CopyNameOnOneLine(char*& at, std::string_view name) {
    if (CopyNoting<0>(at, name)) std::replace_if(at, at + name.size(), IsLineEnd, ' ');
    at += name.size();
}

// Copies the text of a field onto the line, CR and LF as spaces. False,
// with the line left unfinished, when the text holds a "<" and so may hold
// a prefix word: the stepwise writer weighs those.
inline bool CopyFieldOnOneLine(char*& at, std::string_view text) {
    if (CopyNoting<'<'>(at, text)) {
        if (text.find('<') != std::string_view::npos) return false;
        std::replace_if(at, at + text.size(), IsLineEnd, ' ');
    }
    at += text.size();
    return true;
}

// "00" to "ff": two digits a byte.
constexpr std::array<char, 512> kHexPairs = [] {
    constexpr char kDigits[] = "0123456789abcdef";
    std::array<char, 512> pairs{};
    for (std::size_t i = 0; i < 256; ++i) {
        pairs[2 * i] = kDigits[i >> 4];
        pairs[2 * i + 1] = kDigits[i & 0xF];
    }
    return pairs;
}();

char* WriteHex8(char* at, std::uint32_t bits) {
    for (int byte = 3; byte >= 0; --byte, bits >>= 8) std::memcpy(at + 2 * byte, &kHexPairs[2 * (bits & 0xFF)], 2);
    return at + 8;
}

char* WriteBytes(char* at, std::string_view bytes) {
    std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

// Writes the field of a text that begins with its prefix word and holds no
// other "<" (or holds none at all), which is all that decides the field:
// null when the text is not such a text.
char* WriteField(char* at, const StoredText& text, DwordField form) {
    if (text.prefix == kStringPrefix) {
        *at++ = '"';
        if (!CopyFieldOnOneLine(at, text.body)) return nullptr;
        *at++ = '"';
        return at;
    }
    if (text.prefix == kDwordPrefix) {
        const std::string_view number = text.body;
        std::uint32_t bits = 0;
        if (form == DwordField::TwainExport) {
            if (number.find('<') != std::string_view::npos) return nullptr;
            bits = static_cast<std::uint32_t>(ParseAtoi(number));
        } else if (!ReadWholeDecimal32(number, bits)) {
            *at++ = '"';
            if (!CopyFieldOnOneLine(at, number)) return nullptr;
            *at++ = '"';
            return at;
        }
        return WriteHex8(WriteBytes(at, "dword:"), bits);
    }
    if (text.prefix == kHexPrefix) {
        at = WriteBytes(at, "hex:");
        return CopyFieldOnOneLine(at, text.body) ? at : nullptr;
    }
    return CopyFieldOnOneLine(at, text.body) ? at : nullptr;
}

// Writes the value line at `at`, which has room for name, text and
// kValueLineExtra; null when the text must go to the stepwise writer.
char* WriteValueLine(char* at, std::string_view name, const StoredText& text, DwordField form) {
    char* const line = at;
    *at++ = '"';
    CopyNameOnOneLine(at, name);
    *at++ = '"';
    *at++ = '=';
    at = WriteField(at, text, form);
    if (at == nullptr) return nullptr;
    while (at[-1] == '\\' && ContinuesOnNextLine(std::string_view(line, static_cast<std::size_t>(at - line)))) --at;
    return WriteBytes(at, kLineEnd);
}

}  // namespace

bool ReadWholeDecimal32(std::string_view text, std::uint32_t& bits) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty()) return false;
    std::uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (negative && magnitude > 0x80000000ull) return false;
    bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return true;
}

bool FitsSectionLine(std::string_view key) { return !HoldsAny(key, ']', '\r', '\n'); }

void AppendSectionLine(std::string& out, std::string_view key) {
    out += '[';
    out.append(key);
    out += ']';
    out.append(kLineEnd);
}

void AppendValueLineStepwise(std::string& out, std::string_view name, std::string_view text, DwordField form) {
    const std::size_t lineStart = out.size();
    AppendQuoted(out, name);
    out += '=';
    if (Contains(text, kStringPrefix)) {
        AppendQuoted(out, text.starts_with(kStringPrefix) ? text.substr(kStringPrefix.size()) : text);
    } else if (Contains(text, kDwordPrefix)) {
        AppendDwordField(out, WithoutPrefix(text), form);
    } else if (Contains(text, kHexPrefix)) {
        out.append("hex:");
        AppendOnOneLine(out, WithoutPrefix(text));
    } else {
        AppendOnOneLine(out, text);
    }
    // A backslash at the end would join the next line to this one, and the
    // next value or key would vanish into this value. A byte list needs no
    // backslash at its end, so none is written there.
    while (ContinuesOnNextLine(std::string_view(out).substr(lineStart))) out.pop_back();
    out.append(kLineEnd);
}

void AppendValueLine(std::string& out, std::string_view name, std::string_view text, DwordField form) {
    LineWriter line(name.size() + text.size() + kValueLineExtra);
    line.ValueLine(name, text, form);
    out.append(line.Text());
}

LineWriter::LineWriter(std::size_t capacity) : bytes_(capacity, '\0') {}

void LineWriter::Grow(std::size_t bytes) { bytes_.resize(std::max(used_ + bytes, 2 * bytes_.size())); }

void LineWriter::Append(std::string_view bytes) {
    WriteBytes(Room(bytes.size()), bytes);
    used_ += bytes.size();
}

void LineWriter::SectionLine(std::string_view key) {
    char* at = Room(key.size() + 4);
    *at++ = '[';
    at = WriteBytes(at, key);
    *at++ = ']';
    WriteBytes(at, kLineEnd);
    used_ += key.size() + 4;
}

bool LineWriter::SectionLineIfFits(std::string_view key) {
    char* at = Room(key.size() + 4);
    *at++ = '[';
    if (CopyNoting<']'>(at, key) && !FitsSectionLine(key)) return false;
    at += key.size();
    *at++ = ']';
    WriteBytes(at, kLineEnd);
    used_ += key.size() + 4;
    return true;
}

void LineWriter::ValueLine(std::string_view name, const StoredText& text, DwordField form) {
    char* const start = Room(name.size() + text.size() + kValueLineExtra);
    const char* const end = WriteValueLine(start, name, text, form);
    if (end == nullptr) {
        std::string line;
        AppendValueLineStepwise(line, name, text.Joined(), form);
        Append(line);
        return;
    }
    used_ += static_cast<std::size_t>(end - start);
}

std::string LineWriter::Release() {
    bytes_.resize(used_);
    used_ = 0;
    return std::move(bytes_);
}

}  // namespace qor::store
