// The one reader of REGEDIT4 lines, behind both the store file load and the
// import. The two differ only in the rules below.
#ifndef QOR_STORE_REGLINES_H
#define QOR_STORE_REGLINES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "store/HexDigits.h"
#include "store/KeyMap.h"

namespace qor::store {

// CR and LF each end a line.
inline bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The type a value field of a file shows by its first bytes: a quoted text
// (a quote at both ends), "dword:", "hex:", a typed list's "hex(N):" with N
// one or more hexadecimal digits, or none of them.
enum class FieldType { Quoted, Dword, Bytes, TypedBytes, Other };
struct FieldPrefix {
    FieldType type = FieldType::Other;
    std::size_t size = 0;  // the prefix's bytes ("hex(N):" whole; 1 for the opening quote)
};
[[gnu::always_inline]] inline FieldPrefix ClassifyField(std::string_view field) {
    if (field.empty()) return {};
    switch (field.front()) {
        case '"':
            if (field.size() >= 2 && field.back() == '"') return {FieldType::Quoted, 1};
            break;
        case 'd':
            if (field.starts_with("dword:")) return {FieldType::Dword, 6};
            break;
        case 'h':
            if (field.starts_with("hex:")) return {FieldType::Bytes, 4};
            if (field.starts_with("hex(")) {
                std::size_t end = 4;
                while (end < field.size() && IsHexDigit(field[end])) ++end;
                if (end > 4 && field.substr(end, 2) == "):") return {FieldType::TypedBytes, end + 2};
            }
            break;
        default:
            break;
    }
    return {};
}

// True when text holds a byte list tag: "hex:" or "hex(N):" with N one or
// more hexadecimal digits (the typed lists: "hex(2):", "hex(7):", ...).
bool HoldsByteListTag(std::string_view text);

// A line that holds a byte list tag and ends in a backslash is joined by the
// next line (a byte list continued over several lines).
bool ContinuesOnNextLine(std::string_view line);

struct RegLineRules {
    // False: the line [CINICHECKFILEVALID] is the store file's marker and is
    // skipped. True: it is a section like any other.
    bool markerIsSection;
    // True: a section naming a key that was named before, or that `taken`
    // holds, stops the read. False: that key becomes the current key again.
    bool duplicateSectionFails;
    // True: when the first backslash pair of a field starts at position 8
    // (right after "<string>"), every pair of the field is kept.
    bool keepPairsAfterStringPrefix;
};

inline constexpr RegLineRules kStoreFileRules{false, true, true};
inline constexpr RegLineRules kImportRules{true, false, false};

// Why the reader ignores a line.
enum class IgnoredLine {
    NoSection,   // a value line before the first section
    NoEquals,    // neither a section nor a NAME=FIELD line (a "[" line whose first "]" is not its last byte included)
    EmptyName,   // nothing before the first "="
    EmptyField,  // nothing after the first "="
};

// Told what the reader does with each line as it reads (the file check).
// Lines are numbered as an editor numbers them: CR LF, LF and a lone CR
// each end one line. A line continued over several lines has the number
// of its first one. Empty lines are not told.
class RegLineObserver {
public:
    virtual ~RegLineObserver() = default;
    // A line begins; what follows concerns it.
    virtual void Line(std::size_t number, std::string_view text) = 0;
    virtual void Ignored(IgnoredLine why) = 0;
    // A section line; namedBefore when the key was named before in the text.
    virtual void Section(std::string_view key, bool namedBefore) = 0;
    // The end marker line, skipped by the store file's rules.
    virtual void Marker() = 0;
    // A value line: the text around its first "=" and what the store holds.
    virtual void Value(std::string_view lineName, std::string_view field, std::string_view name,
                       std::string_view stored) = 0;
    // The text after the last line end, which the reader drops.
    virtual void UnendedLastLine(std::size_t number, std::string_view text) = 0;
};

class LineHandler;

// Given each section of a file once its values are read, in the file's
// order (a merged save compares the file with the store this way, keeping
// only the sections that differ).
class RegSectionSink {
public:
    virtual ~RegSectionSink() = default;
    // True: the section goes into the target; false: it is dropped. values
    // holds the section's values as read, and list is empty: the sink may
    // build the list (values.MoveInto(list)) when it must look at it, and
    // the reader builds it for a kept section that the sink did not.
    virtual bool Keep(std::string_view key, ValueListBuilder& values, ValueList& list) = 0;
    // The values the sink expects key's section to hold, or null. A section
    // whose lines are the very lines those values are written as (a plain
    // list's, RegWriter.h) is not read field by field: the sink is told
    // Matched instead of Keep, and the section is dropped. A section that
    // differs anywhere goes to Keep with its values as read.
    virtual const ValueList* Expected(std::string_view key) const = 0;
    virtual void Matched(std::string_view key) = 0;
};

// Reads lines into target from a text given in pieces of any size, in
// order; a line may run over several pieces.
class RegLineReader {
public:
    // observer, when given, is told about every line and must outlive the reader.
    RegLineReader(const RegLineRules& rules, KeyMap& target, const KeyMap* taken, RegLineObserver* observer = nullptr);
    ~RegLineReader();
    RegLineReader(const RegLineReader&) = delete;
    RegLineReader& operator=(const RegLineReader&) = delete;

    // Before the first Read: keeps the values of key (upper-case) only. The
    // other sections are still read, so the rules that stop a read (a key
    // named twice) hold as in a whole read; their keys are kept without values.
    void KeepValuesOf(std::string_view key);
    // Before the first Read: each section is offered to sink (which must
    // outlive the reader) and goes into the target only when it keeps it. A
    // key named twice stops the read only when the first was kept.
    void OfferSectionsTo(RegSectionSink& sink);

    // Before the first Read of a whole file into a fresh target: the file
    // holds fileBytes. Its keys and values take about half that or more,
    // which lets the target lay them out in large blocks from the start.
    void ExpectFileBytes(std::uint64_t fileBytes);

    // Reads the lines that the piece completes. False when a duplicate
    // section stopped the read (target then holds what came before it).
    bool Read(std::string_view piece);
    // Ends the text: a last line without a line end is dropped.
    void Finish();

private:
    bool ReadLines(std::string_view piece);
    bool PhysicalLine(std::string_view line);

    std::unique_ptr<LineHandler> lines_;
    RegLineObserver* observer_;
    // Kept only for an observer: the number of the line being read, the
    // number of the first line of a continued line, and whether the last
    // byte read was a CR (an LF right after it ends the same line).
    std::size_t number_ = 1, firstNumber_ = 1;
    bool afterCr_ = false;
    std::string partial_;  // the start of a line that the next piece goes on with
    std::string joined_;   // a byte list line continued over several lines
    bool joining_ = false;
};

// Reads the lines of bytes into target, as one piece. False when a duplicate
// section stopped the read (target then holds what came before it).
bool ReadRegLines(std::string_view bytes, const RegLineRules& rules, KeyMap& target, const KeyMap* taken);

// Turns the field of a value line (the text after its first "=") into the
// stored value text, in place.
void FieldToStoredText(std::string& field, bool keepPairsAfterStringPrefix);

}  // namespace qor::store

#endif
