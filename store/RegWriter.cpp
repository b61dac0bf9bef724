#include "store/RegWriter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "store/ByteScan.h"
#include "store/HexDigits.h"
#include "store/RegLines.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"

// A lambda's request to be inlined, where the compiler takes one (GCC and
// Clang spell it as an attribute after the parameters); nothing elsewhere.
#if defined(__GNUC__) || defined(__clang__)
#  define QOR_ALWAYS_INLINE_LAMBDA __attribute__((always_inline))
#else
#  define QOR_ALWAYS_INLINE_LAMBDA
#endif

namespace qor::store {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Appends text on the line being written: CR and LF inside it would end
// the line and make the rest a line of its own (another value, even a key),
// so they are written as spaces.
void AppendOnOneLine(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.append(text);
    if (!HoldsAnyOf(text, '\r', '\n', '\n')) return;
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

// The number of four to eight decimal digits, read as one word: false when
// a byte is not a digit. The text is loaded as two overlapping halves and
// moved to the word's top bytes (on a little-endian host, its last digit
// in the top byte), the bytes below filled with "0"; then every byte is
// tested at once and the digits summed in pairs, the pairs in fours and
// the fours in one: three multiplications instead of a step and a branch a
// digit. Nothing past the text is read.
[[gnu::always_inline]] inline bool ReadDecimalWord(std::string_view digits, std::uint64_t& number) {
    constexpr std::uint64_t kOnes = byte_scan::kOnes<std::uint64_t>;
    const std::size_t size = digits.size();
    std::uint32_t low, high;
    std::memcpy(&low, digits.data(), sizeof low);
    std::memcpy(&high, digits.data() + size - 4, sizeof high);
    const unsigned below = static_cast<unsigned>(8 * (8 - size));  // 0 to 32
    const std::uint64_t word = ((low | std::uint64_t{high} << (8 * (size - 4))) << below) |
                               ((kOnes * '0') & ((std::uint64_t{1} << below) - 1));
    // A digit is 0x30 to 0x39: its high half is 3, and adding 6 leaves it 3.
    constexpr std::uint64_t kHigh = kOnes * 0xF0, kDigitHigh = kOnes * 0x30;
    if ((word & kHigh) != kDigitHigh || ((word + kOnes * 0x06) & kHigh) != kDigitHigh) return false;
    std::uint64_t value = word - kOnes * '0';
    value = (value * (10 * 256 + 1)) >> 8 & 0x00FF00FF00FF00FFull;
    value = (value * (100 * 65536 + 1)) >> 16 & 0x0000FFFF0000FFFFull;
    number = (value * (10000ull * 0x100000000ull + 1)) >> 32;
    return true;
}

// ReadWholeDecimal32, inlined into the writer's loop.
[[gnu::always_inline]] inline bool WholeDecimal32(std::string_view text, std::uint32_t& bits) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty()) return false;
    std::uint64_t magnitude = 0;
    if (std::endian::native == std::endian::little && text.size() >= 4 && text.size() <= 8) {
        // Eight digits at most are below 2^31: no range to check.
        if (!ReadDecimalWord(text, magnitude)) return false;
        bits = static_cast<std::uint32_t>(magnitude);
        if (negative) bits = 0u - bits;
        return true;
    }
    // Past its leading zeros, a number in range has at most ten digits, and
    // ten digits cannot overflow the sum: the range is checked once, after.
    if (text.size() > 10) {
        text.remove_prefix(std::min(text.find_first_not_of('0'), text.size() - 1));
        if (text.size() > 10) return false;
    }
    for (char c : text) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(c) - '0');
        if (digit > 9) return false;
        magnitude = magnitude * 10 + digit;
    }
    if (magnitude > (negative ? 0x80000000ull : 0xFFFFFFFFull)) return false;
    bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return true;
}

// Copies a name, or a quoted text, onto the line being written, CR and LF
// as spaces (as AppendOnOneLine does).
[[gnu::always_inline]] inline void CopyOnOneLine(char*& at, std::string_view text) {
    if (CopyNoting<0>(at, text)) std::replace_if(at, at + text.size(), IsLineEnd, ' ');
    at += text.size();
}

// Copies the text of a field onto the line, CR and LF as spaces. False,
// with the line left unfinished, when the text holds a "<" and so may hold
// a prefix word: the stepwise writer weighs those.
[[gnu::always_inline]] inline bool CopyFieldOnOneLine(char*& at, std::string_view text) {
    if (CopyNoting<'<'>(at, text)) {
        if (text.find('<') != std::string_view::npos) return false;
        std::replace_if(at, at + text.size(), IsLineEnd, ' ');
    }
    at += text.size();
    return true;
}

char* WriteBytes(char* at, std::string_view bytes) {
    std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

// A quoted field: a quote, the text, a quote; null as CopyFieldOnOneLine.
[[gnu::always_inline]] inline char* WriteQuoted(char* at, std::string_view text) {
    *at++ = '"';
    if (!CopyFieldOnOneLine(at, text)) return nullptr;
    *at++ = '"';
    return at;
}

// Writes the field of a text that begins with its prefix word and holds no
// other "<" (or holds none at all), which is all that decides the field:
// null when the text is not such a text. A stored text's prefix is one of
// the three prefix words or empty, and their lengths tell them apart.
template <DwordField form>
[[gnu::always_inline]] inline char* WriteField(char* at, const StoredText& text) {
    static_assert(kStringPrefix.size() == 8 && kDwordPrefix.size() == 7 && kHexPrefix.size() == 5);
    switch (text.prefix.size()) {
        case 8:
            // The text begins with "<string>", the first of the prefix words:
            // whatever else it holds, it is a quoted text.
            *at++ = '"';
            CopyOnOneLine(at, text.body);
            *at++ = '"';
            return at;
        case 7: {
            std::uint32_t bits = 0;
            if constexpr (form == DwordField::TwainExport) {
                if (text.body.find('<') != std::string_view::npos) return nullptr;
                bits = static_cast<std::uint32_t>(ParseAtoi(text.body));
            } else if (!WholeDecimal32(text.body, bits)) {
                return WriteQuoted(at, text.body);
            }
            return WriteHex8(WriteBytes(at, "dword:"), bits);
        }
        case 5:
            at = WriteBytes(at, "hex:");
            break;
        default:
            break;
    }
    return CopyFieldOnOneLine(at, text.body) ? at : nullptr;
}

// Writes the value line at `at`, which has room for name, text and
// kValueLineExtra; null when the text must go to the stepwise writer.
template <DwordField form>
[[gnu::always_inline]] inline char* WriteValueLine(char* at, std::string_view name, const StoredText& text) {
    char* const line = at;
    *at++ = '"';
    CopyOnOneLine(at, name);
    at = WriteBytes(at, "\"=");
    at = WriteField<form>(at, text);
    if (at == nullptr) return nullptr;
    while (at[-1] == '\\' && ContinuesOnNextLine(std::string_view(line, static_cast<std::size_t>(at - line)))) --at;
    return WriteBytes(at, kLineEnd);
}

// Copies text onto the line at `at` and returns the place after it. From
// a plain list as it stands; otherwise unchecked, what would make the line
// differ from its bytes as copied (CR or LF to write as spaces; with Also,
// that byte) setting high bits in doubt.
template <bool plain, char Also>
[[gnu::always_inline]] inline char* CopyText(char* at, std::string_view text, std::uint64_t& doubt) {
    if constexpr (plain) {
        value_block::CopyBytes(at, text.data(), text.size());
    } else {
        doubt |= CopyFlagging<Also>(at, text);
    }
    return at + text.size();
}

// A key's value line written at `at` (room as WriteValueLine) with no
// check that might stop it. The line of a plain list (ValueList::Plain) is
// its bytes as copied. Otherwise what would make the line differ from them
// (CR or LF to write as spaces, a "<" that may start a prefix word, a
// backslash at the end) only sets high bits in doubt, which the caller
// looks at once for all of a key's lines. The line is right when none is
// set; otherwise the key's lines are written again, checked.
template <DwordField form, bool plain>
[[gnu::always_inline]] inline char* WriteValueLineUnchecked(char* at, std::string_view name, const StoredText& text,
                                                            std::uint64_t& doubt) {
    *at++ = '"';
    at = WriteBytes(CopyText<plain, 0>(at, name, doubt), "\"=");
    switch (text.prefix.size()) {
        case 8:
            *at++ = '"';
            at = CopyText<plain, 0>(at, text.body, doubt);
            *at++ = '"';
            return WriteBytes(at, kLineEnd);
        case 7: {
            std::uint32_t bits = 0;
            if constexpr (form == DwordField::TwainExport) {
                if constexpr (!plain) doubt |= std::uint64_t{text.body.find('<') != std::string_view::npos} << 7;
                bits = static_cast<std::uint32_t>(ParseAtoi(text.body));
            } else if (!WholeDecimal32(text.body, bits)) {
                // Not a whole number: a quoted text, as WriteQuoted writes it.
                *at++ = '"';
                at = CopyText<plain, '<'>(at, text.body, doubt);
                *at++ = '"';
                return WriteBytes(at, kLineEnd);
            }
            return WriteBytes(WriteHex8(WriteBytes(at, "dword:"), bits), kLineEnd);
        }
        case 5:
            at = WriteBytes(at, "hex:");
            break;
        default:
            break;
    }
    at = CopyText<plain, '<'>(at, text.body, doubt);
    if constexpr (!plain) doubt |= std::uint64_t{at[-1] == '\\'} << 7;
    return WriteBytes(at, kLineEnd);
}

}  // namespace

bool ReadWholeDecimal32(std::string_view text, std::uint32_t& bits) { return WholeDecimal32(text, bits); }

bool FitsSectionLine(std::string_view key) { return !HoldsAnyOf(key, ']', '\r', '\n'); }

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

void LineWriter::ValueLine(std::string_view name, const StoredText& text, DwordField form) {
    char* const start = Room(name.size() + text.size() + kValueLineExtra);
    const char* const end = form == DwordField::StoreFile ? WriteValueLine<DwordField::StoreFile>(start, name, text)
                                                          : WriteValueLine<DwordField::TwainExport>(start, name, text);
    if (end == nullptr) {
        StepwiseValueLine(name, text, form);
        return;
    }
    used_ += static_cast<std::size_t>(end - start);
}

bool LineWriter::KeyLines(std::string_view key, const ValueList& values, DwordField form) {
    return form == DwordField::StoreFile ? KeyLinesAs<DwordField::StoreFile>(key, values)
                                         : KeyLinesAs<DwordField::TwainExport>(key, values);
}

// The form a template argument, so that a save's loop carries no test of it.
template <DwordField form>
bool LineWriter::KeyLinesAs(std::string_view key, const ValueList& values) {
    // Room for the section line and all the key's value lines at once, and
    // the place written to held in a local: the block holds every name and
    // body, and a line is at most a prefix word and kValueLineExtra longer
    // than its name and body.
    const std::size_t room =
        key.size() + 4 + values.BlockBytes() + values.Size() * (kStringPrefix.size() + kValueLineExtra);
    char* at = Room(room);
    *at++ = '[';
    if (CopyNoting<']'>(at, key) && !FitsSectionLine(key)) return false;
    at += key.size();
    at = WriteBytes(at, "]\r\n");
    // Inlined by request: left a call of its own, each value paid for
    // passing its entry and the writer's place in and out.
    std::uint64_t doubt = 0;
    if (values.Plain()) {
        values.ForEach([&](const ValueList::Entry& entry) QOR_ALWAYS_INLINE_LAMBDA {
            at = WriteValueLineUnchecked<form, true>(at, entry.name, entry.text, doubt);
        });
        used_ = static_cast<std::size_t>(at - bytes_.data());
        return true;
    }
    // Otherwise the lines are written unchecked and looked at once, after
    // the key's last line.
    values.ForEach([&](const ValueList::Entry& entry) QOR_ALWAYS_INLINE_LAMBDA {
        at = WriteValueLineUnchecked<form, false>(at, entry.name, entry.text, doubt);
    });
    if ((doubt & byte_scan::kHighBits<std::uint64_t>) == 0) {
        used_ = static_cast<std::size_t>(at - bytes_.data());
        return true;
    }
    // Rare: a line may differ from its bytes as copied; the section line
    // stays, and the key's value lines are written again, each checked.
    used_ += key.size() + 4;
    values.ForEach([&](const ValueList::Entry& entry) { ValueLine(entry.name, entry.text, form); });
    return true;
}

// Apart from ValueLine, so that the common line pays nothing for the
// string this one builds.
void LineWriter::StepwiseValueLine(std::string_view name, const StoredText& text, DwordField form) {
    std::string line;
    AppendValueLineStepwise(line, name, text.Joined(), form);
    Append(line);
}

std::string LineWriter::Release() {
    bytes_.resize(used_);
    used_ = 0;
    return std::move(bytes_);
}

}  // namespace qor::store
