// Windows' regedit file format.
//
//   REGEDIT4                              or "Windows Registry Editor Version
//                                         5.00" (then UTF-16LE with the
//                                         byte-order mark FF FE when written)
//   (blank line)
//   [HKEY_CURRENT_USER\SOFTWARE\X]        a key
//   "NAME"=DATA                           a value of the key above
//   @=DATA                                the default value, kept as "@"
//   (blank line)
//
// Lines end in CR LF when written; CR, LF and CR LF each end a line on
// reading, and a last line without a line end is read too. In NAME and in
// a quoted TEXT, \\ stands for a backslash and \" for a double quote; any
// other backslash stands for itself. DATA:
//
//   "TEXT"                 <string>TEXT
//   dword:1 to 8 hex digits <dword> and the 32-bit number as a signed
//                          decimal (dword:ffffffff reads as <dword>-1, as a
//                          store file load gives it)
//   hex:BYTES              <hex>BYTES
//   hex(N):BYTES           the raw text hex(N):BYTES, N hex digits (the
//                          store keeps typed byte lists so)
//
// BYTES is a comma-separated list of one or two hex digits each, possibly
// empty. A byte list line that ends in a backslash goes on in the next
// line, whose leading blanks are dropped. When written, lists are wrapped
// before column 80 (",\" at the end, two spaces at the start of the next).
//
// Reading skips any other line. The whole text is read into a staging
// store first and merged only when all of it was read.
#include "store/RegeditFile.h"

#include <new>
#include <string>

#include "CRegeditFile.h"
#include "platform/Platform.h"
#include "store/ByteScan.h"
#include "store/HexDigits.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "store/StoreFile.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"
#include "util/SmallText.h"

namespace qor::store {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDefaultName = "@";
// A wrapped line, its closing backslash included, stays within this width.
constexpr std::size_t kLineWidth = 79;

constexpr std::string_view kRootNames[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                           "HKEY_CURRENT_CONFIG"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One or two hex digits between commas; the empty list counts.
bool IsByteList(std::string_view list) {
    if (list.empty()) return true;
    std::size_t digits = 0;
    for (char c : list) {
        if (c == ',') {
            if (digits == 0) return false;
            digits = 0;
        } else if (!IsHexDigit(c) || ++digits > 2) {
            return false;
        }
    }
    return digits != 0;
}

// ---- Reading

// Reads a quoted text starting at text[at] == '"', undoing \\ and \": true,
// with at past the closing quote; false when no quote closes it.
bool ReadQuoted(std::string_view text, std::size_t& at, std::string& out) {
    out.clear();
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            at = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) ++i;
        out += text[i];
    }
    return false;
}

// The stored text of a value's DATA; false when DATA has none of the forms.
bool DataToStoredText(std::string_view data, std::string& stored) {
    const FieldPrefix prefix = ClassifyField(data);
    switch (prefix.type) {
        case FieldType::Quoted: {
            std::size_t at = 0;
            std::string text;
            if (!ReadQuoted(data, at, text) || at != data.size()) return false;
            stored.assign(kStringPrefix).append(text);
            return true;
        }
        case FieldType::Dword: {
            std::uint32_t number = 0;
            if (!ReadHex32(data.substr(prefix.size), number)) return false;
            stored.assign(kDwordPrefix);
            AppendDecimal(stored, static_cast<std::int32_t>(number));
            return true;
        }
        case FieldType::Bytes:
            if (!IsByteList(data.substr(prefix.size))) return false;
            stored.assign(kHexPrefix).append(data.substr(prefix.size));
            return true;
        case FieldType::TypedBytes:
            if (!IsByteList(data.substr(prefix.size))) return false;
            stored.assign(data);
            return true;
        default:
            return false;
    }
}

// Applies the lines after the header to a staging store, one logical line
// (a continued byte list joined) at a time.
class RegeditReader {
public:
    explicit RegeditReader(CIniClass& staging) : staging_(staging) {}

    void PhysicalLine(std::string_view line) {
        if (joining_) {
            while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
            joined_.append(line);
            line = joined_;
        }
        if (!line.starts_with('[') && ContinuesOnNextLine(line)) {
            if (!joining_) joined_.assign(line);
            joined_.pop_back();
            joining_ = true;
            return;
        }
        joining_ = false;
        Line(line);
    }

    // A byte list continued on a line that never came is read as it stands.
    void Finish() {
        if (!joining_) return;
        joining_ = false;
        Line(joined_);
    }

private:
    void Line(std::string_view line) {
        if (line.starts_with('[') && line.ends_with(']')) {
            Section(line.substr(1, line.size() - 2));
        } else if (inKey_ && (line.starts_with('"') || line.starts_with('@'))) {
            Value(line);
        }
    }

    void Section(std::string_view key) {
        // A key that begins with "-" asks regedit to delete it; it is not a key to add.
        inKey_ = !key.empty() && !key.starts_with('-');
        if (!inKey_) return;
        key_.assign(key);
        staging_.AddKey(key_.c_str());
    }

    void Value(std::string_view line) {
        std::size_t at = 0;
        if (line.starts_with('@')) {
            name_.assign(kDefaultName);
            at = 1;
        } else if (!ReadQuoted(line, at, name_) || name_.empty()) {
            return;
        }
        if (at >= line.size() || line[at] != '=') return;
        if (DataToStoredText(line.substr(at + 1), stored_))
            staging_.SetValue(key_.c_str(), name_.c_str(), stored_.c_str());
    }

    CIniClass& staging_;
    bool inKey_ = false;
    bool joining_ = false;
    std::string joined_, key_, name_, stored_;
};

// ---- Writing

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        // A line end would split the line; the store file writes spaces there too.
        out += IsLineEnd(c) ? ' ' : c;
    }
    out += '"';
}

// Appends tag and the byte list, wrapping at commas; lineStart is where the
// current line begins in out. The first item stays on the line.
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

void AppendValue(std::string& out, std::string_view name, std::string_view text) {
    const std::size_t lineStart = out.size();
    if (name == kDefaultName) {
        out.append(kDefaultName);
    } else {
        AppendQuoted(out, name);
    }
    out += '=';
    const StoredText parts = StoredText::Of(text);
    std::uint32_t bits = 0;
    const FieldPrefix typed = ClassifyField(text);
    const std::size_t tag = typed.type == FieldType::TypedBytes ? typed.size : 0;
    if (parts.prefix == kDwordPrefix && ReadWholeDecimal32(parts.body, bits)) {
        out.append("dword:");
        AppendHex(out, bits, 8);
    } else if (parts.prefix == kHexPrefix && IsByteList(parts.body)) {
        AppendWrappedList(out, lineStart, "hex:", parts.body);
    } else if (parts.prefix.empty() && tag != 0 && IsByteList(text.substr(tag))) {
        AppendWrappedList(out, lineStart, text.substr(0, tag), text.substr(tag));
    } else {
        // A string, and what regedit has no type for, as a text.
        AppendQuoted(out, parts.prefix == kStringPrefix || parts.prefix == kDwordPrefix ? parts.body : text);
    }
    out.append(kLineEnd);
}

bool InExport(std::string_view key, std::string_view wanted) {
    return wanted.empty() || (key.starts_with(wanted) && (key.size() == wanted.size() || key[wanted.size()] == '\\'));
}

// The 8-bit text as UTF-16LE with its byte-order mark.
bool ToUtf16Le(std::string_view text, std::string& bytes) {
    std::wstring wide;
    try {
        wide = platform::NarrowToWide(text);
    } catch (const platform::TextConversionError&) {
        return false;
    }
    bytes.assign(kUtf16LeMark);
    bytes.reserve(2 * wide.size() + 4);
    const auto unit = [&bytes](std::uint32_t u) {
        bytes.append({static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)});
    };
    for (wchar_t c : wide) {
        const auto code = static_cast<std::uint32_t>(std::char_traits<wchar_t>::to_int_type(c));
        if (code > 0xFFFF) {  // wchar_t holds whole code points: a surrogate pair each
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return true;
}

}  // namespace

bool BeginsWithRootName(std::string_view key) {
    const std::string_view first = key.substr(0, key.find('\\'));
    for (std::string_view root : kRootNames) {
        if (first == root) return true;
    }
    return false;
}

RegeditRead ReadRegeditText(std::string_view bytes, CIniClass& staging) {
    std::string converted;
    if (bytes.starts_with(kUtf16LeMark)) {
        if (!platform::Utf16LeToNarrow(bytes.substr(kUtf16LeMark.size()), converted)) return RegeditRead::BadUtf16;
        bytes = converted;
    } else if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    const std::size_t headerEnd = std::min(FindLineEnd(bytes, 0), bytes.size());
    const std::string_view header = bytes.substr(0, headerEnd);
    if (header != kRegedit4Header && header != kVersion5Header) return RegeditRead::NotRegedit;
    RegeditReader reader(staging);
    std::size_t start = headerEnd;
    while (start < bytes.size()) {
        const std::size_t end = std::min(FindLineEnd(bytes, start), bytes.size());
        // The empty line between the CR and LF of a CR LF is no line: skipped as empty.
        if (end > start) reader.PhysicalLine(bytes.substr(start, end - start));
        start = end + 1;
    }
    reader.Finish();
    return RegeditRead::Read;
}

bool RegeditExportText(const KeyMap& keys, std::string_view key, bool utf16, std::string& bytes) {
    std::string text(utf16 ? kVersion5Header : kRegedit4Header);
    text.append(kLineEnd).append(kLineEnd);
    for (const auto& [name, values] : keys) {
        if (!InExport(name, key) || !BeginsWithRootName(name) || !FitsSectionLine(name)) continue;
        AppendSectionLine(text, name);
        values.ForEach([&text](const ValueList::Entry& entry) { AppendValue(text, entry.name, entry.text.Joined()); });
        text.append(kLineEnd);
    }
    if (!utf16) {
        bytes = std::move(text);
        return true;
    }
    return ToUtf16Le(text, bytes);
}

}  // namespace qor::store

int CRegeditFile::ImportText(CIniClass& store, const CString& text) {
    try {
        CIniClass staging;
        const auto read = qor::store::ReadRegeditText(text.str(), staging);
        m_problem = read == qor::store::RegeditRead::Read       ? NoProblem
                    : read == qor::store::RegeditRead::BadUtf16 ? BadUtf16
                                                                : NotRegedit;
        if (m_problem != NoProblem) return 0;
        qor::store::KeysOf(store).MergeReplacing(qor::store::KeysOf(staging));
        return 1;
    } catch (const std::bad_alloc&) {
        m_problem = CannotRead;
        return 0;
    }
}

int CRegeditFile::ImportFile(CIniClass& store, const char* path) {
    m_problem = CannotRead;
    if (path == nullptr) return 0;
    try {
        std::string bytes;
        // A file larger than the bound is refused before it is read.
        if (!qor::platform::ReadWholeFile(path, bytes, CIniClass::kMaxFileBytes)) return 0;
        return ImportText(store, CString(std::move(bytes)));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CRegeditFile::ExportFile(const CIniClass& store, const char* key, const char* path, int utf16) {
    if (path == nullptr) return 0;
    try {
        std::string bytes;
        const std::string wanted = qor::store::Upper(qor::TextOrEmpty(key));
        if (!qor::store::RegeditExportText(qor::store::KeysOf(store), wanted, utf16 == 1, bytes)) return 0;
        return qor::platform::ReplaceFileAtomically(path, bytes) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
