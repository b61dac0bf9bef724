#include "store/RegWriter.h"

#include <algorithm>
#include <cstdint>

#include "store/RegLines.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"

namespace qor::store {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// An optional minus and one or more digits, from -2147483648 to 4294967295;
// bits receives what strtoul makes of it.
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

}  // namespace

bool FitsSectionLine(std::string_view key) { return !HoldsAny(key, ']', '\r', '\n'); }

void AppendSectionLine(std::string& out, std::string_view key) {
    out += '[';
    out.append(key);
    out += ']';
    out.append(kLineEnd);
}

void AppendValueLine(std::string& out, std::string_view name, std::string_view text, DwordField form) {
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

void AppendValueLine(std::string& out, std::string_view name, const StoredText& text, DwordField form) {
    thread_local std::string whole;
    whole.clear();
    text.AppendTo(whole);
    AppendValueLine(out, name, std::string_view(whole), form);
}

}  // namespace qor::store
