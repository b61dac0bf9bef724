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
// As written: lines end in CR LF; in NAME and in a quoted TEXT a backslash
// is written \\ and a double quote \". DATA:
//
//   "TEXT"                 <string>TEXT
//   dword:8 hex digits     <dword> and a whole 32-bit number
//   hex:BYTES              <hex>BYTES
//   hex(N):BYTES           the raw text hex(N):BYTES, N hex digits (the
//                          store keeps typed byte lists so)
//
// BYTES is a comma-separated list of two hex digits each, possibly empty,
// wrapped before column 80 (",\" at the end, two spaces at the start of
// the next line). How a file is read is told above the reader below.
#include "store/RegeditFile.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "CRegeditFile.h"
#include "platform/Platform.h"
#include "store/HexDigits.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "store/StoreFile.h"
#include "store/StoreFileCheck.h"
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
//
// regedit's grammar, line by line. Blanks (spaces and tabs) before a line's
// first sign, around "=", after the data and between a type word and its
// data are ignored; so are blank lines and lines whose first sign is ";" or
// "#". A line is:
//   [KEY]          the key, made and opened (the text up to the last "]";
//                  trailing backslashes dropped; its root one of the five)
//   [-KEY]         the key and every key below it deleted; no key is open after it
//   @=DATA         the default value, kept as "@"
//   "NAME"=DATA    a value; "" names the default value too
//   NAME=-         the value deleted (";" and a comment may follow)
// In NAME and in a quoted TEXT, \n is a line end, \\ and \" the sign
// itself, a backslash before any other sign that sign; \0 and a closing
// quote missing make the line wrong. DATA, each maybe followed by ";" and
// a comment:
//   "TEXT"         <string>TEXT
//   dword:HEX      up to eight hex digits: <dword> and the signed decimal
//   hex:LIST       <hex> and the list as two-digit items
//   hex(N):LIST    the raw text hex(N):LIST, N in hex
// A LIST item is a number of up to two hex digits' worth (0 to ff, leading
// zeros, "0x" and blanks before it allowed). A "\" after a comma goes on
// in the next line that is neither blank nor a ";" comment; that line must
// begin with a hex digit, or the value is left out and that line with it.

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// True when nothing but blanks, or blanks and a ";" comment, remain.
bool OnlyCommentLeft(std::string_view text) {
    text = SkipBlanks(text);
    return text.empty() || text.front() == ';';
}

// Undoes regedit's escapes in a quoted text whose opening quote is already
// read: true, with rest after the closing quote; false without one, or
// with \0 or a lone backslash at the end.
bool Unescape(std::string_view text, std::string& out, std::string_view& rest) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            rest = text.substr(i + 1);
            return true;
        }
        if (c == '\\') {
            if (++i == text.size() || text[i] == '0') return false;
            c = text[i] == 'n' ? '\n' : text[i];
        }
        out += c;
    }
    return false;
}

enum class ListRead { Done, GoesOn, Wrong };

// The registry types regedit's byte lists name.
constexpr std::uint32_t kTextType = 1, kExpandTextType = 2, kBinaryType = 3, kTextListType = 7;

// Reads the items of a byte list onto bytes as two-digit items, as regedit
// reads them (a number in hex per item, as strtoul would); rest is what
// follows a "\" that continues it.
ListRead ReadListItems(std::string_view text, std::string& bytes, std::string_view& rest) {
    while (!text.empty()) {
        std::size_t at = 0;
        while (at < text.size() && IsCSpace(text[at])) ++at;  // as strtoul skips them
        const bool minus = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (text.substr(at, 2) == "0x" || text.substr(at, 2) == "0X") {
            if (at + 2 < text.size() && IsHexDigit(text[at + 2])) at += 2;
        }
        const std::size_t digitsAt = at;
        std::uint32_t value = 0;
        for (; at < text.size() && IsHexDigit(text[at]); ++at) {
            value = value > 0xFF ? value : value << 4 | static_cast<std::uint32_t>(HexValue(text[at]));
        }
        if (at == digitsAt) {  // no number: the list ends here
            const std::string_view after = SkipBlanks(text);
            if (after.starts_with('\\')) {
                rest = after.substr(1);
                return ListRead::GoesOn;
            }
            return after.starts_with(';') ? ListRead::Done : ListRead::Wrong;
        }
        if (value > 0xFF || (minus && value != 0)) return ListRead::Wrong;
        if (!bytes.empty()) bytes += ',';
        AppendHex(bytes, value, 2);
        text.remove_prefix(at);
        if (!text.empty() && text.front() != ',') return OnlyCommentLeft(text) ? ListRead::Done : ListRead::Wrong;
        if (!text.empty()) text.remove_prefix(1);
    }
    return ListRead::Done;
}

// "dword:" data: up to eight hex digits, then blanks or a comment.
bool ReadDwordData(std::string_view text, std::string& stored) {
    text = SkipBlanks(text);
    std::size_t digits = 0;
    while (digits < text.size() && IsHexDigit(text[digits])) ++digits;
    std::uint32_t number = 0;
    if (!ReadHex32(text.substr(0, digits), number) || !OnlyCommentLeft(text.substr(digits))) return false;
    stored.assign(kDwordPrefix);
    AppendDecimal(stored, static_cast<std::int32_t>(number));
    return true;
}

// Reads the physical lines of a regedit file after its header into a report.
class RegeditReader {
public:
    // wide: the file was UTF-16LE.
    RegeditReader(RegeditReport& report, bool wide) : report_(report), wide_(wide) {}

    void PhysicalLine(std::size_t number, std::string_view line) {
        // Callers' texts end at a NUL; so does regedit's line.
        line = line.substr(0, line.find('\0'));
        if (list_) {
            ListLine(number, line);
        } else {
            Line(number, line);
        }
    }

    // A byte list still going on at the end of the file is taken as it stands.
    void Finish() {
        if (!list_) return;
        TerminateText(*list_);
        EndList();
    }

private:
    struct PendingList {
        std::size_t line;
        std::uint32_t type;  // the registry type: 3 for hex:
        std::string name, prefix, bytes;
    };

    void Skip(std::size_t line, std::string reason) { report_.skipped.push_back({line, std::move(reason)}); }

    void Line(std::size_t number, std::string_view line) {
        line = SkipBlanks(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') return;
        if (line.front() == '[') return KeyLine(number, line.substr(1));
        std::string_view rest;
        if (line.front() == '@') {
            name_.assign(kDefaultName);
            rest = line.substr(1);
        } else if (line.front() != '"') {
            return Skip(number, "not a key, value or comment line");
        } else if (!Unescape(line.substr(1), name_, rest)) {
            return Skip(number, "the value's name has no closing quote (or holds \\0)");
        } else if (name_.empty()) {  // "" names the default value too
            name_.assign(kDefaultName);
        } else if (name_ == kDefaultName) {
            return Skip(number, "a value named \"@\": the store keeps the default value under that name");
        }
        rest = SkipBlanks(rest);
        if (!rest.starts_with('=')) return Skip(number, "no \"=\" after the value's name");
        Data(number, TrimTrailingBlanks(SkipBlanks(rest.substr(1))));
    }

    void KeyLine(std::size_t number, std::string_view line) {
        const std::size_t close = line.rfind(']');
        if (line.empty() || IsBlank(line.front()) || close == std::string_view::npos) {
            // regedit leaves the key before open: the values below go on into it.
            return Skip(number, "not a key line (a blank after \"[\" or no \"]\"); the key before stays open");
        }
        std::string_view key = line.substr(0, close);
        const bool deletion = key.starts_with('-');
        if (deletion) key.remove_prefix(1);
        while (key.ends_with('\\')) key.remove_suffix(1);
        key_ = Upper(key);
        open_ = false;
        keyLine_ = number;
        if (!BeginsWithRootName(key_)) return Skip(number, "the key is under no root regedit knows");
        if (key_.find("\\\\") != std::string::npos) return Skip(number, "the key has an empty name in its path");
        if (deletion) {
            if (key_.find('\\') == std::string::npos) return Skip(number, "a root key is not deleted");
            report_.steps.push_back({RegeditStep::Kind::DeleteKey, key_, {}, {}});
            return;
        }
        if (!FitsSectionLine(key_)) return Skip(number, "the store file cannot keep this key's name");
        open_ = true;
        report_.steps.push_back({RegeditStep::Kind::AddKey, key_, {}, {}});
    }

    // What follows "=", its blanks trimmed.
    void Data(std::size_t number, std::string_view data) {
        if (data.starts_with('-')) {
            if (!OnlyCommentLeft(data.substr(1))) return Skip(number, "text after \"-\": neither a deletion nor data");
            if (!open_) return NoKey(number);
            report_.steps.push_back({RegeditStep::Kind::DeleteValue, key_, Upper(name_), {}});
            return;
        }
        std::string_view rest;
        if (data.starts_with('"')) {
            std::string text;
            if (!Unescape(data.substr(1), text, rest))
                return Skip(number, "the text has no closing quote (or holds \\0)");
            if (!OnlyCommentLeft(rest)) return Skip(number, "text after the closing quote");
            return SetValue(number, name_, std::string(kStringPrefix).append(text));
        }
        const FieldPrefix tag = ClassifyField(data);
        if (tag.type == FieldType::Dword) {
            std::string stored;
            if (!ReadDwordData(data.substr(tag.size), stored))
                return Skip(number, "dword: needs one to eight hex digits");
            return SetValue(number, name_, stored);
        }
        std::string prefix;
        std::uint32_t type = kBinaryType;
        if (tag.type == FieldType::Bytes) {
            prefix.assign(kHexPrefix);
        } else if (tag.type == FieldType::TypedBytes) {
            // The raw tag as written; its number, up to eight digits, tells a text type.
            prefix.assign(data.substr(0, tag.size));
            if (!ReadHex32(data.substr(4, tag.size - 6), type))
                return Skip(number, "hex(N): with N of more than eight digits");
        } else if (data.starts_with("hex(")) {
            return Skip(number, "hex( needs a type number in hex and \"):\"");
        } else {
            return Skip(number, "the data is none of \"TEXT\", dword:, hex: and hex(N):");
        }
        list_ = PendingList{number, type, name_, std::move(prefix), {}};
        ListData(number, data.substr(tag.size));
    }

    // Items of the pending list, on its first line or a line that goes on with it.
    void ListData(std::size_t number, std::string_view data) {
        std::string_view rest;
        if (data.empty()) return EndList();  // an empty list stays empty
        switch (ReadListItems(data, list_->bytes, rest)) {
            case ListRead::Done:
                TerminateText(*list_);
                return EndList();
            case ListRead::GoesOn:
                if (OnlyCommentLeft(rest)) return;
                break;
            case ListRead::Wrong:
                break;
        }
        BreakList(number);
    }

    // The pending list is left out, and the line that broke it with it.
    void BreakList(std::size_t number) {
        Skip(list_->line, "the byte list is broken (an item that is no byte, or text after \"\\\")");
        if (number != list_->line) {
            Skip(number,
                 "taken as the rest of the byte list of line " + std::to_string(list_->line) + ", which it breaks");
        }
        list_.reset();
    }

    void ListLine(std::size_t number, std::string_view line) {
        // A line beginning with a comment sign is no line to regedit's reader.
        if (line.starts_with(';') || line.starts_with('#')) return;
        line = SkipBlanks(line);
        if (line.empty() || line.front() == ';') return;
        if (!IsHexDigit(line.front())) return BreakList(number);
        ListData(number, line);
    }

    // regedit ends a list of a text type that does not end in a NUL with
    // one: a NUL byte in an 8-bit file, a NUL unit in a UTF-16 file (there
    // only for a whole number of units).
    void TerminateText(PendingList& list) const {
        if (list.type != kTextType && list.type != kExpandTextType && list.type != kTextListType) return;
        const std::size_t count = (list.bytes.size() + 1) / 3;
        if (count == 0) return;
        if (!wide_ && !list.bytes.ends_with("00")) list.bytes.append(",00");
        if (wide_ && count % 2 == 0 && !list.bytes.ends_with("00,00")) list.bytes.append(",00,00");
    }

    void EndList() {
        PendingList list = std::move(*list_);
        list_.reset();
        SetValue(list.line, list.name, list.prefix + list.bytes);
    }

    void NoKey(std::size_t number) {
        Skip(number,
             keyLine_ == 0 ? "no key line before it" : "no key is open (see line " + std::to_string(keyLine_) + ")");
    }

    void SetValue(std::size_t number, const std::string& name, std::string stored) {
        if (!open_) return NoKey(number);
        std::string upper = Upper(name);
        const std::optional<std::string> kept = AfterSaveAndLoad(upper, stored);
        if (!kept || *kept != stored) return Skip(number, "the store file cannot keep this value exactly");
        report_.steps.push_back({RegeditStep::Kind::SetValue, key_, std::move(upper), std::move(stored)});
    }

    RegeditReport& report_;
    const bool wide_;
    bool open_ = false;
    std::size_t keyLine_ = 0;
    std::string key_, name_;
    std::optional<PendingList> list_;
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

RegeditRead ReadRegeditText(std::string_view bytes, RegeditReport& report) {
    report = RegeditReport();
    std::string converted;
    const bool wide = bytes.starts_with(kUtf16LeMark);
    if (wide) {
        if (!platform::Utf16LeToNarrow(bytes.substr(kUtf16LeMark.size()), converted)) return RegeditRead::BadUtf16;
        bytes = converted;
    } else if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    RegeditReader reader(report, wide);
    // CR LF, LF and a lone CR each end a line; a last line without a line end is read too.
    std::size_t number = 0;
    for (std::size_t start = 0; start < bytes.size() || number == 0;) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        const std::string_view line = bytes.substr(start, end - start);
        if (++number == 1) {
            const std::string_view header = SkipBlanks(line);
            if (header != kRegedit4Header && header != kVersion5Header) return RegeditRead::NotRegedit;
        } else {
            reader.PhysicalLine(number, line);
        }
        start = end + (bytes.substr(end, 2) == kLineEnd ? 2 : 1);
    }
    reader.Finish();
    std::stable_sort(report.skipped.begin(), report.skipped.end(),
                     [](const RegeditSkip& a, const RegeditSkip& b) { return a.line < b.line; });
    return RegeditRead::Read;
}

void ApplyRegeditSteps(const std::vector<RegeditStep>& steps, CIniClass& store) {
    // The keys and values are made in staging; the deletions are noted for
    // the store and made there before the merge, so that a key deleted and
    // made again, or a value deleted and set again, ends as the file asks.
    CIniClass staging;
    std::vector<const RegeditStep*> deletions;
    for (const RegeditStep& step : steps) {
        switch (step.kind) {
            case RegeditStep::Kind::AddKey:
                staging.AddKey(step.key.c_str());
                break;
            case RegeditStep::Kind::SetValue:
                staging.SetValue(step.key.c_str(), step.name.c_str(), step.text.c_str());
                break;
            case RegeditStep::Kind::DeleteValue:
                staging.RemoveValue(step.key.c_str(), step.name.c_str());
                deletions.push_back(&step);
                break;
            case RegeditStep::Kind::DeleteKey:
                staging.DeleteSubtree(step.key.c_str());
                deletions.push_back(&step);
                break;
        }
    }
    for (const RegeditStep* step : deletions) {
        if (step->kind == RegeditStep::Kind::DeleteKey) {
            store.DeleteSubtree(step->key.c_str());
        } else {
            store.RemoveValue(step->key.c_str(), step->name.c_str());
        }
    }
    KeysOf(store).MergeReplacing(KeysOf(staging));
}

RegeditRead ReadRegeditText(std::string_view bytes, CIniClass& staging) {
    RegeditReport report;
    const RegeditRead read = ReadRegeditText(bytes, report);
    if (read == RegeditRead::Read) ApplyRegeditSteps(report.steps, staging);
    return read;
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
    m_skipped.RemoveAll();
    m_changes = 0;
    try {
        qor::store::RegeditReport report;
        const auto read = qor::store::ReadRegeditText(text.str(), report);
        m_problem = read == qor::store::RegeditRead::Read       ? NoProblem
                    : read == qor::store::RegeditRead::BadUtf16 ? BadUtf16
                                                                : NotRegedit;
        if (m_problem != NoProblem) return 0;
        for (const qor::store::RegeditSkip& skip : report.skipped) {
            m_skipped.Add(Skipped{static_cast<unsigned>(skip.line), CString(skip.reason)});
        }
        qor::store::ApplyRegeditSteps(report.steps, store);
        m_changes = static_cast<int>(report.steps.size());
        return 1;
    } catch (const std::bad_alloc&) {
        m_skipped.RemoveAll();
        m_problem = CannotRead;
        return 0;
    }
}

int CRegeditFile::ImportFile(CIniClass& store, const char* path) {
    m_problem = CannotRead;
    m_skipped.RemoveAll();
    m_changes = 0;
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
