// The one reader of REGEDIT4 lines, behind both the store file load and the
// import. The two differ only in the rules below.
#ifndef QOR_STORE_REG_LINES_H
#define QOR_STORE_REG_LINES_H

#include <memory>
#include <string>
#include <string_view>

#include "store/KeyMap.h"

namespace qor::store {

// CR and LF each end a line.
inline bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

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

class LineHandler;

// Reads lines into target from a text given in pieces of any size, in
// order; a line may run over several pieces.
class RegLineReader {
public:
    RegLineReader(const RegLineRules& rules, KeyMap& target, const KeyMap* taken);
    ~RegLineReader();
    RegLineReader(const RegLineReader&) = delete;
    RegLineReader& operator=(const RegLineReader&) = delete;

    // Reads the lines that the piece completes. False when a duplicate
    // section stopped the read (target then holds what came before it).
    bool Read(std::string_view piece);
    // Ends the text: a last line without a line end is dropped.
    void Finish();

private:
    bool PhysicalLine(std::string_view line);

    std::unique_ptr<LineHandler> lines_;
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
