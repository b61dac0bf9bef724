// export --regedit: a file that Windows' regedit imports as it stands.
//
//   REGEDIT4                  ("Windows Registry Editor Version 5.00" with
//                             --utf16, the whole file UTF-16LE with its
//                             byte-order mark)
//   (blank line)
//   [KEY]                     each key that contains the filter and begins
//                             with a root name, in byte order
//   "NAME"=FIELD              its values by name; the value "@" as @=FIELD
//   (blank line)
//
// Every line ends in CR LF. FIELD by the stored text:
//   "<string>"   a quoted text, backslash and quote escaped (\\, \")
//   "<dword>"    dword: and eight hexadecimal digits when the text is a whole
//                32-bit number; else the text as a string, as the store file
//                writes it
//   "<hex>"      hex: and the bytes
//   hex(N):...   the raw text as it stands
//   otherwise    the text as a string
// Byte lists are wrapped before column 80: ",\" ends a line and the next
// one begins with two spaces.
//
// Unlike the TWAIN export (which the suite's programs read, so it escapes
// nothing) every text arrives in the registry as the store holds it.
#include <filesystem>
#include <fstream>

#include "Format.h"
#include "Verbs.h"

namespace qorreg {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// A wrapped line, its closing backslash included, stays within this width.
constexpr std::size_t kLineWidth = 79;

// An optional minus and digits, -2147483648 to 4294967295: the texts the
// store file writes as dword: fields.
bool ReadWholeDecimal32(std::string_view text, std::uint32_t& bits) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (magnitude > (negative ? 0x80000000ull : 0xFFFFFFFFull)) return false;
    bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

void AppendEscaped(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        // A line end would split the line; the store file keeps spaces there too.
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    out += '"';
}

// Appends tag and the comma-separated list, wrapping at commas; lineStart is
// where the current line begins in out. The first item stays on the line.
void AppendWrappedList(std::string& out, std::size_t lineStart, std::string_view tag, std::string_view list) {
    out.append(tag);
    std::size_t column = out.size() - lineStart;
    bool first = true;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const bool last = comma == std::string_view::npos;
        const std::string_view item = last ? list : list.substr(0, comma + 1);
        if (!first && column + item.size() + (last ? 0 : 1) > kLineWidth) {
            out.append("\\\r\n  ");
            column = 2;
        }
        out.append(item);
        column += item.size();
        list.remove_prefix(item.size());
        first = false;
    }
}

void AppendValue(std::string& out, const std::string& name, const std::string& text) {
    const std::size_t lineStart = out.size();
    if (name == "@") {
        out += '@';
    } else {
        AppendEscaped(out, name);
    }
    out += '=';
    unsigned typeNumber = 0;
    std::string byteList;
    std::uint32_t bits = 0;
    const std::string_view body = std::string_view(text).substr(text.find('>') + 1);
    switch (TypeOfStoredText(text)) {
        case ValueType::String: AppendEscaped(out, body); break;
        case ValueType::Dword:
            if (ReadWholeDecimal32(body, bits)) {
                char digits[16];
                (void)std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(bits));
                out.append(digits);
            } else {
                AppendEscaped(out, body);
            }
            break;
        case ValueType::Binary: AppendWrappedList(out, lineStart, "hex:", body); break;
        case ValueType::Untyped:
            if (SplitTypedByteList(text, typeNumber, byteList)) {
                AppendWrappedList(out, lineStart, std::string_view(text).substr(0, text.size() - byteList.size()), byteList);
            } else {
                AppendEscaped(out, text);
            }
            break;
    }
    out.append(kLineEnd);
}

// Keys regedit refuses or cannot read back: no root name first, or a
// line end or "]" that would break the section line.
bool RegeditTakes(const std::string& key) {
    return IsRootName(key.substr(0, key.find('\\'))) && key.find_first_of("]\r\n") == std::string::npos;
}

// The 8-bit text as UTF-16LE with its byte-order mark; false when a text
// is not valid in the 8-bit code page.
bool ToUtf16LeWithMark(const std::string& text, std::string& bytes) {
    std::u16string units;
    try {
        units = std::filesystem::path(text).u16string();
    } catch (const std::exception&) {
        return false;
    }
    bytes = "\xFF\xFE";
    for (char16_t unit : units) bytes.append({static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
    return true;
}

}  // namespace

int RegeditExportVerb(const Options& options, CIniClass& store, const std::string& filter, Io& io) {
    const bool utf16 = options.Has(kOptUtf16);
    std::string text(utf16 ? "Windows Registry Editor Version 5.00" : "REGEDIT4");
    text.append(kLineEnd).append(kLineEnd);
    for (const auto& [key, values] : TakeSnapshot(store)) {
        if (key.find(filter) == std::string::npos) continue;
        if (!RegeditTakes(key)) {
            io.err << "qorreg: warning: left out (regedit takes only keys that begin with a root name): " << key << '\n';
            continue;
        }
        text.append("[").append(key).append("]").append(kLineEnd);
        for (const auto& [name, stored] : values) AppendValue(text, name, stored);
        text.append(kLineEnd);
    }
    std::string bytes;
    if (!utf16) {
        bytes.swap(text);
    } else if (!ToUtf16LeWithMark(text, bytes)) {
        return Fail(io, kExitFailure, "a text of the store is not valid in this system's code page; nothing written");
    }
    const std::string& target = options.operands.back();
    const std::string temporary = target + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return Fail(io, kExitFailure, "cannot write file: " + target);
    }
    std::error_code failed;
    std::filesystem::rename(temporary, target, failed);
    if (failed) {
        std::filesystem::remove(temporary, failed);
        return Fail(io, kExitFailure, "cannot write file: " + target);
    }
    return kExitOk;
}

}  // namespace qorreg
