// Reading REGEDIT4 lines.
//
// CR and LF each end a line (so CR LF, LF and CR all do); a last line that
// no line end closes is dropped. A line that contains "hex:" or "hex(N):"
// (N hexadecimal digits) and ends with a backslash goes on in the next line.
// Then:
//
//   [KEY]          a section: its first "]" is its last byte. The text is
//                  upper-cased, leading "[" and the final "]" are removed,
//                  and the key becomes the current key.
//   NAME=FIELD     a value of the current key, when NAME and FIELD are not
//                  empty and a section came before. Double quotes at both
//                  ends of NAME are removed and NAME is upper-cased.
//   anything else  ignored (the "REGEDIT4" header, empty lines).
//
// FIELD becomes the stored text in these steps, in this order:
//   1. every "dword:" is removed; when what is left reads whole as a
//      hexadecimal strtoul number (the empty text reads as 0), it becomes
//      "<dword>" and that number as a signed 32-bit decimal;
//   2. a field with a double quote anywhere loses its first and last bytes
//      and gains "<string>" in front;
//   3. every backslash-quote pair becomes a quote;
//   4. every backslash pair becomes one backslash (see the rules for a
//      first pair at position 8);
//   5. with "hex:" or "hex(N):" in it, every backslash-space-space (the
//      joint of a continued line) is removed;
//   6. with "hex:" in it, every "hex:" is removed and "<hex>" put in front.
// A "hex(N):" field is otherwise kept as it stands: a raw text.
// The field shapes that SaveFile writes take a shortcut with the same result.
#include "store/RegLines.h"

#include <algorithm>
#include <cstdint>

#include "store/ByteScan.h"
#include "store/RegWriter.h"
#include "store/StoreFile.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"

namespace qor::store {
namespace {

// The inside of a quoted field that none of the steps after the quotes
// changes: no backslash pair, no backslash-quote pair, no "dword:" and no
// "hex" (so no byte list tag and no joints to remove). A Windows path is such
// a text: its single backslashes and its colon stay as they are.
bool IsPlainQuotedText(std::string_view inside) {
    for (std::size_t at = 0; at + 1 < inside.size(); ++at) {
        if (inside[at] == '\\' && (inside[at + 1] == '\\' || inside[at + 1] == '"')) return false;
    }
    return !HoldsAnyOf(inside, 'd', 'h', 'h') || (!Contains(inside, "dword:") && !Contains(inside, "hex"));
}

// The three shapes that a store file writes, when nothing in them can
// trigger any other step below: "dword:" with one to eight hex digits; a
// quoted text that no step after the quotes changes; "hex:" and bytes
// without backslash, colon or quote. Read in one pass instead of the steps,
// with the same result: prefix + body, or for a DWORD "<dword>" + number.
struct CommonField {
    FieldType type = FieldType::Other;
    std::string_view prefix;
    std::string_view body;  // unused for a DWORD
    std::int32_t number = 0;
};

[[gnu::always_inline]] inline bool ReadCommonField(std::string_view field, CommonField& out) {
    switch (ClassifyField(field).type) {
        case FieldType::Dword: {
            std::uint32_t number = 0;
            if (!ReadHex32(field.substr(6), number)) return false;
            out = CommonField{FieldType::Dword, kDwordPrefix, {}, static_cast<std::int32_t>(number)};
            return true;
        }
        case FieldType::Quoted:
            if (HoldsAnyOf(field, '\\', ':', ':') && !IsPlainQuotedText(field.substr(1, field.size() - 2)))
                return false;
            out = CommonField{FieldType::Quoted, kStringPrefix, field.substr(1, field.size() - 2)};
            return true;
        case FieldType::Bytes:
            if (HoldsAnyOf(field.substr(4), '\\', ':', '"')) return false;
            out = CommonField{FieldType::Bytes, kHexPrefix, field.substr(4)};
            return true;
        default:
            return false;
    }
}

// The stored text of a common field, in place; false (field unchanged) for
// any other field.
bool CommonFieldToStoredText(std::string& field) {
    CommonField common;
    if (!ReadCommonField(field, common)) return false;
    std::string text(common.prefix);
    if (common.type == FieldType::Dword) {
        AppendDecimal(text, common.number);
    } else {
        text.append(common.body);
    }
    field = std::move(text);
    return true;
}

std::string_view WithoutQuotesAtEnds(std::string_view name) {
    while (!name.empty() && name.front() == '"') name.remove_prefix(1);
    while (!name.empty() && name.back() == '"') name.remove_suffix(1);
    return name;
}

// The line ends (CR or LF) of a text in order. The next CR and the next LF
// are each found by one search and kept until the reading passes them, so
// the text is scanned once whichever line ends it uses.
class LineEnds {
public:
    explicit LineEnds(std::string_view bytes) : bytes_(bytes), cr_(bytes.find('\r')), lf_(bytes.find('\n')) {}
    // The first line end at or after from, or npos.
    std::size_t Next(std::size_t from) {
        if (cr_ < from) cr_ = bytes_.find('\r', from);
        if (lf_ < from) lf_ = bytes_.find('\n', from);
        return std::min(cr_, lf_);
    }

private:
    std::string_view bytes_;
    std::size_t cr_, lf_;
};

}  // namespace

// Handles one complete line at a time. The buffers are reused from line to
// line, so reading costs no allocation per line; the values of a section
// are collected and given to their key when the section ends.
class LineHandler {
public:
    LineHandler(const RegLineRules& rules, KeyMap& target, const KeyMap* taken, RegLineObserver* observer)
        : rules_(rules), target_(target), taken_(taken), observer_(observer) {}

    // Gives the values read since the last section line to its key. With a
    // sink, the section's values wait in offered_ and join the target only
    // when the sink keeps them.
    void EndSection() {
        if (expected_ != nullptr && remaining_.empty()) {
            // Every line matched: the section holds the expected values.
            expected_ = nullptr;
            sink_->Matched(offeredKey_);
            current_ = nullptr;
            return;
        }
        if (expected_ != nullptr) StopMatching();
        if (current_ == nullptr) return;
        // A section the sink may drop keeps its values in a block of its
        // own: in the target's arena a dropped block would stay behind.
        if (current_ != &offered_) {
            target_.FillValues(values_, *current_);
            return;
        }
        // Most sections of a merged save are dropped unchanged: their list
        // is built only when the sink needs it or keeps the section.
        if (sink_->Keep(offeredKey_, values_, offered_)) {
            values_.MoveInto(offered_);
            target_.AppendUnindexed(Locate(offeredKey_).first, offeredKey_, std::move(offered_));
        }
        values_.Clear();
        offered_ = ValueList();
        current_ = nullptr;
    }
    void OfferSectionsTo(RegSectionSink& sink) { sink_ = &sink; }
    // The keys and values of a whole file take about half its bytes or more.
    void ExpectFileBytes(std::uint64_t fileBytes) {
        if (!target_.empty()) return;
        target_.ExpectArenaBytes(static_cast<std::size_t>(std::min<std::uint64_t>(fileBytes / 2, SIZE_MAX)));
        fileBytes_ = fileBytes;
    }
    // After the first piece of a whole file: its keys, scaled to the file's
    // length, tell the target about how many keys will come. Three quarters
    // of that are foreseen, so that a file whose first keys are smaller than
    // the rest makes the list too small (it then grows as before) rather
    // than larger than the keys need; at most an eighth of the file's bytes.
    void PieceRead(std::size_t pieceBytes) {
        if (fileBytes_ == 0 || pieceBytes == 0) return;
        if (pieceBytes < fileBytes_) {
            const std::uint64_t keys = target_.size() * (fileBytes_ / pieceBytes) * 3 / 4;
            target_.ExpectKeys(static_cast<std::size_t>(std::min<std::uint64_t>(keys, SIZE_MAX)), fileBytes_ / 8);
        }
        fileBytes_ = 0;
    }
    // Indexes the keys read: the reading is over.
    void IndexTarget() { target_.Reindex(); }
    // From now on only key's values are kept; every other section still
    // counts as named (a key named twice stops the read as before).
    void KeepValuesOf(std::string_view key) {
        onlyKey_.assign(key);
        filtered_ = true;
    }

    // False when the line stops the read.
    [[gnu::always_inline]] bool Line(std::string_view line) {
        if (line.empty()) return true;
        if (line.front() == '[' && line.find(']') == line.size() - 1) return Section(line);
        if (expected_ != nullptr) {
            if (MatchesExpectedLine(line)) return true;
            StopMatching();
        }
        // The name before the "=" is short: eight bytes a step beat a library call.
        const std::size_t equals = FindByte(line, '=');
        if (equals != std::string_view::npos) {
            Value(line.substr(0, equals), line.substr(equals + 1));
        } else if (observer_ != nullptr) {
            observer_->Ignored(IgnoredLine::NoEquals);
        }
        return true;
    }

private:
    bool Section(std::string_view line) {
        // The key is the text between the leading "[" and the final "]"
        // (which Line found), upper-cased.
        const std::size_t brackets = line.find_first_not_of('[');
        const std::string_view inside = line.substr(brackets, line.size() - 1 - brackets);
        key_.resize(inside.size());
        UpperBytes(inside.data(), key_.data(), inside.size());
        if (!rules_.markerIsSection && brackets == 1 && key_ == kMarkerKey) {
            if (observer_ != nullptr) observer_->Marker();
            return true;
        }
        auto [it, namedBefore] = Locate(key_);
        if (observer_ != nullptr) observer_->Section(key_, namedBefore);
        if (rules_.duplicateSectionFails &&
            (namedBefore || (taken_ != nullptr && !taken_->empty() && taken_->contains(key_))))
            return false;
        EndSection();
        if (sink_ != nullptr) {
            offeredKey_ = key_;
            current_ = &offered_;
            StartMatching(sink_->Expected(offeredKey_));
        } else {
            if (!namedBefore) it = target_.AppendUnindexed(it, key_, ValueList());
            current_ = &it->second;
        }
        skipping_ = filtered_ && key_ != onlyKey_;
        return true;
    }

    // A merged save reads a file that is mostly the lines this store wrote:
    // a section's lines are first compared with the lines of the values the
    // sink expects (a plain list's, which read back as those very values),
    // and each line that matches is taken as its value without being read.
    // A section that matches to its end is told to the sink as matched. At
    // the first line that does not match, or at the end of a section that
    // ends early, the values matched so far join the section's values, and
    // reading goes on as ever.
    void StartMatching(const ValueList* expected) {
        if (expected == nullptr || observer_ != nullptr || filtered_) return;
        expectedLines_.Clear();
        if (!expectedLines_.KeyLines(offeredKey_, *expected, DwordField::StoreFile)) return;
        remaining_ = expectedLines_.Text().substr(offeredKey_.size() + 4);  // past the section line
        expected_ = expected;
        matched_ = 0;
    }
    [[gnu::always_inline]] bool MatchesExpectedLine(std::string_view line) {
        const std::size_t size = line.size();
        if (remaining_.size() < size + 2 || remaining_[size] != '\r' || remaining_[size + 1] != '\n' ||
            remaining_.compare(0, size, line) != 0) {
            return false;
        }
        remaining_.remove_prefix(size + 2);
        ++matched_;
        return true;
    }
    void StopMatching() {
        for (std::size_t i = 0; i < matched_; ++i) values_.AddEntry(expected_->At(i));
        expected_ = nullptr;
    }

    // Where key goes in the target and whether it is there already. A store
    // file lists its keys in ascending order, so most keys go after the last
    // one and need no search.
    std::pair<KeyMap::iterator, bool> Locate(const std::string& key) {
        if (target_.empty() || std::prev(target_.end())->first < key) return {target_.end(), false};
        const auto it = target_.lower_bound(key);
        return {it, it != target_.end() && it->first == key};
    }

    [[gnu::always_inline]] void Value(std::string_view name, std::string_view field) {
        if (current_ == nullptr || name.empty() || field.empty()) {
            if (observer_ != nullptr) {
                observer_->Ignored(current_ == nullptr ? IgnoredLine::NoSection
                                   : name.empty()      ? IgnoredLine::EmptyName
                                                       : IgnoredLine::EmptyField);
            }
            return;
        }
        if (skipping_) return;
        // Without an observer, the shapes that a store file holds go to the
        // values as they are read, with no copy in between.
        if (observer_ == nullptr && AddCommonShape(WithoutQuotesAtEnds(name), field)) return;
        name_.assign(WithoutQuotesAtEnds(name));
        UpperInPlace(name_);
        field_.assign(field);
        FieldToStoredText(field_, rules_.keepPairsAfterStringPrefix);
        if (observer_ != nullptr) observer_->Value(name, field, name_, field_);
        values_.Add(name_, field_);
    }

    // A common field (ReadCommonField) added with its prefix kept apart.
    // False, and nothing added, for any other field.
    [[gnu::always_inline]] bool AddCommonShape(std::string_view name, std::string_view field) {
        CommonField common;
        if (!ReadCommonField(field, common)) return false;
        if (common.type == FieldType::Dword) {
            values_.AddUpperName(name, kDwordPrefix, common.number);
        } else {
            values_.AddUpperName(name, common.prefix, common.body);
        }
        return true;
    }

    const RegLineRules rules_;  // a copy: three flags, and callers may pass a temporary
    KeyMap& target_;
    const KeyMap* taken_;
    RegLineObserver* observer_;
    ValueList* current_ = nullptr;
    ValueListBuilder values_;
    std::string key_, name_, field_;
    std::string onlyKey_;
    bool filtered_ = false, skipping_ = false;
    RegSectionSink* sink_ = nullptr;
    std::string offeredKey_;
    ValueList offered_;
    const ValueList* expected_ = nullptr;  // the values whose lines the section is matched against
    LineWriter expectedLines_{0};          // their lines
    std::string_view remaining_;           // those not matched yet
    std::size_t matched_ = 0;              // the values matched
    std::uint64_t fileBytes_ = 0;          // a whole file's length, until its first piece is read
};

void FieldToStoredText(std::string& field, bool keepPairsAfterStringPrefix) {
    if (CommonFieldToStoredText(field)) return;
    ReplaceEvery(field, "dword:", "");
    std::size_t consumed = 0;
    const std::uint32_t number = ParseStrtoul(field, 16, &consumed);
    if (consumed == field.size()) {
        field.assign(kDwordPrefix);
        AppendDecimal(field, static_cast<std::int32_t>(number));
    }
    if (Contains(field, "\"")) {
        if (field.size() >= 2) {
            field.pop_back();
            field.erase(0, 1);
        } else {
            field.clear();
        }
        field.insert(0, kStringPrefix);
    }
    ReplaceEvery(field, "\\\"", "\"");
    const std::size_t firstPair = field.find("\\\\");
    if (firstPair != std::string::npos && !(keepPairsAfterStringPrefix && firstPair == kStringPrefix.size())) {
        ReplaceEvery(field, "\\\\", "\\");
    }
    if (Contains(field, "\\  ") && HoldsByteListTag(field)) ReplaceEvery(field, "\\  ", "");
    if (Contains(field, "hex:")) {
        ReplaceEvery(field, "hex:", "");
        field.insert(0, kHexPrefix);
    }
}

RegLineReader::RegLineReader(const RegLineRules& rules, KeyMap& target, const KeyMap* taken, RegLineObserver* observer)
    : lines_(std::make_unique<LineHandler>(rules, target, taken, observer)), observer_(observer) {}

RegLineReader::~RegLineReader() = default;

void RegLineReader::KeepValuesOf(std::string_view key) { lines_->KeepValuesOf(key); }

void RegLineReader::ExpectFileBytes(std::uint64_t fileBytes) { lines_->ExpectFileBytes(fileBytes); }

void RegLineReader::OfferSectionsTo(RegSectionSink& sink) { lines_->OfferSectionsTo(sink); }

bool RegLineReader::Read(std::string_view piece) {
    if (observer_ == nullptr) return ReadLines(piece);
    LineEnds ends(piece);
    std::size_t start = 0;
    for (std::size_t at = ends.Next(0); at != std::string_view::npos; at = ends.Next(at + 1)) {
        std::string_view line = piece.substr(start, at - start);
        start = at + 1;
        if (!partial_.empty()) {
            partial_.append(line);
            line = partial_;
        }
        // The empty line between the CR and the LF of a CR LF is no line of its own.
        const bool secondHalf =
            observer_ != nullptr && piece[at] == '\n' && (at > 0 ? piece[at - 1] == '\r' : afterCr_);
        const bool goOn = PhysicalLine(line);
        partial_.clear();
        if (!goOn) {
            lines_->IndexTarget();
            return false;
        }
        if (observer_ != nullptr && !secondHalf) ++number_;
    }
    partial_.append(piece.substr(start));
    if (observer_ != nullptr && !piece.empty()) afterCr_ = piece.back() == '\r';
    lines_->PieceRead(piece.size());
    return true;
}

// The same reading without an observer to tell: a CR LF pair ends one line
// at once, rather than a line and an empty one.
bool RegLineReader::ReadLines(std::string_view piece) {
    std::size_t start = 0;
    for (std::size_t at = FindLineEnd(piece, 0); at != std::string_view::npos; at = FindLineEnd(piece, start)) {
        std::string_view line = piece.substr(start, at - start);
        start = at + 1;
        if (piece[at] == '\r' && start < piece.size() && piece[start] == '\n') ++start;
        if (!partial_.empty()) {
            partial_.append(line);
            line = partial_;
        }
        const bool goOn = PhysicalLine(line);
        partial_.clear();
        if (!goOn) {
            lines_->IndexTarget();
            return false;
        }
    }
    partial_.append(piece.substr(start));
    lines_->PieceRead(piece.size());
    return true;
}

// Inlined into both loops over a piece, with the line's and the value's
// steps: a call per line and per value had cost about a tenth of a load.
[[gnu::always_inline]] inline bool RegLineReader::PhysicalLine(std::string_view line) {
    if (joining_) {
        joined_.append(line);
        line = joined_;
    }
    // A joined line holds its byte list tag already; testing its end is enough.
    if (joining_ ? line.ends_with('\\') : ContinuesOnNextLine(line)) {
        if (!joining_) {
            joined_.assign(line);
            firstNumber_ = number_;
        }
        joining_ = true;
        return true;
    }
    if (observer_ != nullptr && !line.empty()) observer_->Line(joining_ ? firstNumber_ : number_, line);
    joining_ = false;
    return lines_->Line(line);
}

void RegLineReader::Finish() {
    if (observer_ != nullptr && (joining_ || !partial_.empty())) {
        observer_->UnendedLastLine(joining_ ? firstNumber_ : number_, joining_ ? joined_ + partial_ : partial_);
    }
    partial_.clear();
    joined_.clear();
    joining_ = false;
    lines_->EndSection();
    lines_->IndexTarget();
}

bool ReadRegLines(std::string_view bytes, const RegLineRules& rules, KeyMap& target, const KeyMap* taken) {
    RegLineReader reader(rules, target, taken);
    if (!reader.Read(bytes)) return false;
    reader.Finish();
    return true;
}

bool HoldsByteListTag(std::string_view text) {
    if (Contains(text, "hex:")) return true;
    for (std::size_t at = text.find("hex("); at != std::string_view::npos; at = text.find("hex(", at + 1)) {
        if (ClassifyField(text.substr(at)).type == FieldType::TypedBytes) return true;
    }
    return false;
}

bool ContinuesOnNextLine(std::string_view line) {
    return !line.empty() && line.back() == '\\' && HoldsByteListTag(line);
}

}  // namespace qor::store
