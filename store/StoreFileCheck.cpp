// The store file check: the file goes through the store file's own line
// reader (RegLines.cpp), which tells an observer what it does with each
// line; the observer turns that into findings. Two rules differ from a
// load, so that one pass finds everything: a key named twice does not stop
// the reading (a load would stop and fail there), and no store is filled.
//
// A value's fate after the next save is found by writing it with the store
// file's own writer (RegWriter.h) and reading that line back with the same
// reader; whatever differs is what a save and a load would change.
#include <algorithm>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "CStoreFileCheck.h"
#include "platform/Platform.h"
#include "store/KeyMap.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "store/StoreFile.h"
#include "store/StoreFileCheck.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"
#include "util/SmallText.h"

namespace qor::store {
namespace {

using Finding = CStoreFileCheck::Finding;

constexpr RegLineRules kCheckRules{kStoreFileRules.markerIsSection, false, kStoreFileRules.keepPairsAfterStringPrefix};
constexpr std::size_t kShownLineBytes = 200;

enum class Shape { String, Dword, Bytes, None };

// The type a field shows to a reader of the file: quoted text, "dword:",
// "hex:" or none of them.
Shape ShapeOfField(std::string_view field) {
    switch (ClassifyField(field).type) {
        case FieldType::Quoted:
            return Shape::String;
        case FieldType::Dword:
            return Shape::Dword;
        case FieldType::Bytes:
            return Shape::Bytes;
        default:
            return Shape::None;
    }
}

Shape ShapeOfStored(std::string_view text) {
    if (text.starts_with(kStringPrefix)) return Shape::String;
    if (text.starts_with(kDwordPrefix)) return Shape::Dword;
    if (text.starts_with(kHexPrefix)) return Shape::Bytes;
    return Shape::None;
}

// The name a line shows: the text before its first "=", without one pair
// of enclosing quotes.
std::string_view ShownName(std::string_view lineName) {
    if (lineName.size() >= 2 && lineName.front() == '"' && lineName.back() == '"') {
        return lineName.substr(1, lineName.size() - 2);
    }
    return lineName;
}

class Collector : public RegLineObserver {
public:
    explicit Collector(std::vector<Finding>& findings) : findings_(findings) {}

    void Line(std::size_t number, std::string_view text) override {
        line_ = static_cast<unsigned>(number);
        text_ = text;
        if (Contains(text, std::string_view("\0", 1))) Add(CStoreFileCheck::NulByte);
    }

    void Ignored(IgnoredLine why) override {
        switch (why) {
            case IgnoredLine::NoSection:
                Add(CStoreFileCheck::NoSection);
                break;
            case IgnoredLine::EmptyName:
                Add(CStoreFileCheck::EmptyName);
                break;
            case IgnoredLine::EmptyField:
                Add(CStoreFileCheck::EmptyData);
                break;
            case IgnoredLine::NoEquals:
                if (text_.starts_with('[')) {
                    Add(CStoreFileCheck::NotASection);
                } else if (!(line_ == 1 && text_ == kRegedit4Header)) {
                    Add(CStoreFileCheck::NoEquals);
                }
                break;
        }
    }

    void Section(std::string_view key, bool namedBefore) override {
        key_.assign(key);
        names_.clear();
        const auto [first, added] = keyLines_.emplace(key_, line_);
        if (namedBefore) Add(CStoreFileCheck::KeyNamedAgain).otherLine = first->second;
    }

    void Marker() override { markerLines_.push_back(line_); }

    void Value(std::string_view lineName, std::string_view field, std::string_view name,
               std::string_view stored) override {
        const std::string nameText(name);
        if (lineName.starts_with('[')) Add(CStoreFileCheck::NotASection);
        const auto [first, added] = names_.emplace(nameText, line_);
        if (!added) {
            Finding& again = Add(CStoreFileCheck::ValueNamedAgain, name, stored);
            again.otherLine = first->second;
            first->second = line_;
        }
        if (Upper(ShownName(lineName)) != name) Add(CStoreFileCheck::NameReadOtherwise, name, stored);
        const Shape shown = ShapeOfField(field);
        const bool sameString =
            shown != Shape::String ||
            stored.substr(std::min(stored.size(), kStringPrefix.size())) == field.substr(1, field.size() - 2);
        if (shown != ShapeOfStored(stored) || !sameString) Add(CStoreFileCheck::DataReadOtherwise, name, stored);
        const std::optional<std::string> back = AfterSaveAndLoad(name, stored);
        if (!back || *back != stored)
            Add(CStoreFileCheck::ChangedBySave, name, stored).saved = back.value_or("").c_str();
    }

    void UnendedLastLine(std::size_t number, std::string_view text) override {
        line_ = static_cast<unsigned>(number);
        text_ = text;
        // The marker needs no line end after it, and a dropped marker loses nothing.
        if (Upper(text) != kMarkerLine) Add(CStoreFileCheck::UnendedLastLine);
    }

    const std::vector<unsigned>& MarkerLines() const { return markerLines_; }

private:
    Finding& Add(CStoreFileCheck::Kind kind, std::string_view name = {}, std::string_view stored = {}) {
        Finding finding{};
        finding.kind = kind;
        finding.line = line_;
        finding.otherLine = 0;
        finding.key = key_.c_str();
        finding.name = CString(std::string(name));
        finding.text = CString(std::string(text_.substr(0, kShownLineBytes)));
        finding.stored = CString(std::string(stored));
        findings_.push_back(finding);
        return findings_.back();
    }

    std::vector<Finding>& findings_;
    unsigned line_ = 0;
    std::string_view text_;
    std::string key_;
    std::unordered_map<std::string, unsigned> keyLines_;
    std::map<std::string, unsigned> names_;
    std::vector<unsigned> markerLines_;
};

bool LooksLikeUtf16(std::string_view start) {
    if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) return true;
    return start.size() >= 2 && ((start[0] == '\0') != (start[1] == '\0'));
}

// The first line of a store file, as SaveFile writes it.
bool BeginsWithHeader(std::string_view start) {
    return start.starts_with(kRegedit4Header) &&
           (start.size() == kRegedit4Header.size() || IsLineEnd(start[kRegedit4Header.size()]));
}

Finding WholeFile(CStoreFileCheck::Kind kind) {
    Finding finding{};
    finding.kind = kind;
    return finding;
}

// Runs the check; the findings in line order, whole-file findings last.
std::vector<Finding> CheckFile(const std::string& path) {
    std::vector<Finding> findings;
    Collector collector(findings);
    KeyMap unused;
    RegLineReader reader(kCheckRules, unused, nullptr, &collector);
    std::uint64_t bytesRead = 0;
    std::string tail;  // the last bytes, for the end marker rule
    bool utf16 = false, tooLarge = false;
    bool header = false;
    const bool read = platform::ReadFileInPieces(path, [&](std::string_view piece) {
        if (bytesRead == 0 && LooksLikeUtf16(piece)) utf16 = true;
        if (bytesRead == 0) header = BeginsWithHeader(piece);
        bytesRead += piece.size();
        if (bytesRead > CIniClass::kMaxFileBytes) tooLarge = true;
        if (utf16 || tooLarge) return false;
        tail.append(piece.substr(piece.size() > kMarkerWindow + 1 ? piece.size() - kMarkerWindow - 1 : 0));
        if (tail.size() > kMarkerWindow + 1) tail.erase(0, tail.size() - kMarkerWindow - 1);
        // The reader stores nothing with the check's rules; it never stops.
        reader.Read(piece);
        return true;
    });
    if (utf16) return {WholeFile(CStoreFileCheck::Utf16)};
    if (tooLarge) return {WholeFile(CStoreFileCheck::TooLarge)};
    if (!read) return {WholeFile(CStoreFileCheck::CannotRead)};
    if (bytesRead == 0) return {WholeFile(CStoreFileCheck::Empty)};
    if (!header) return {WholeFile(CStoreFileCheck::NotAStore)};
    reader.Finish();
    if (!EndsWithMarkerLine(tail)) {
        for (unsigned line : collector.MarkerLines()) {
            Finding misplaced = WholeFile(CStoreFileCheck::MarkerMisplaced);
            misplaced.line = line;
            misplaced.text = std::string(kMarkerLine).c_str();
            findings.push_back(misplaced);
        }
        findings.push_back(WholeFile(CStoreFileCheck::MarkerMissing));
    }
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return (a.line == 0 ? ~0u : a.line) < (b.line == 0 ? ~0u : b.line);
    });
    return findings;
}

}  // namespace

std::optional<std::string> AfterSaveAndLoad(std::string_view name, std::string_view stored) {
    std::string text;
    AppendSectionLine(text, "K");
    AppendValueLine(text, name, stored, DwordField::StoreFile);
    KeyMap keys;
    ReadRegLines(text, kStoreFileRules, keys, nullptr);
    const auto key = keys.find("K");
    if (key == keys.end()) return std::nullopt;
    const auto back = key->second.Find(name);
    if (!back) return std::nullopt;
    return back->Joined();
}
}  // namespace qor::store

int CStoreFileCheck::Check(const char* path) {
    m_findings.RemoveAll();
    std::vector<Finding> findings;
    try {
        findings = qor::store::CheckFile(qor::TextOrEmpty(path).data() ? std::string(path) : std::string());
    } catch (const std::bad_alloc&) {
        findings = {qor::store::WholeFile(CannotRead)};
    }
    int verdict = Clean;
    for (const Finding& finding : findings) {
        m_findings.Add(finding);
        verdict = std::max(verdict, IsFatal(finding.kind) ? int(CannotLoad) : int(Warnings));
    }
    return verdict;
}

int CStoreFileCheck::IsFatal(Kind kind) {
    return kind == CannotRead || kind == TooLarge || kind == Utf16 || kind == KeyNamedAgain || kind == Empty ||
                   kind == NotAStore
               ? 1
               : 0;
}

int CStoreFileCheck::Classify(const char* path, Kind& kind) {
    using qor::store::kMarkerWindow;
    const std::string file(qor::TextOrEmpty(path));
    std::string head, tail;
    bool any = false;
    try {
        // The first piece only; a file over the bound is refused before it is read.
        const bool whole = qor::platform::ReadFileInPieces(
            file,
            [&](std::string_view piece) {
                head.assign(piece.substr(0, 64));
                any = true;
                return false;
            },
            CIniClass::kMaxFileBytes);
        const bool tailRead = qor::platform::ReadFileTail(file, kMarkerWindow + 1, tail);
        if (!any && !whole) {
            kind = tailRead ? TooLarge : CannotRead;
            return 1;
        }
    } catch (const std::bad_alloc&) {
        kind = CannotRead;
        return 1;
    }
    if (head.empty()) {
        kind = Empty;
    } else if (qor::store::LooksLikeUtf16(head)) {
        kind = Utf16;
    } else if (!qor::store::BeginsWithHeader(head)) {
        kind = NotAStore;
    } else if (!qor::store::EndsWithMarkerLine(tail)) {
        kind = MarkerMissing;
    } else {
        return 0;
    }
    return 1;
}
