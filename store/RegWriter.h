// Writing REGEDIT4 lines, each ending in CR LF:
//
//   [KEY]
//   "NAME"=FIELD
//
// FIELD by the stored text; the first of the three prefix words that the
// text contains anywhere decides:
//   "<string>"  a double quote, the text less a leading "<string>", a double
//               quote; nothing inside is escaped
//   "<dword>"   "dword:" and eight lower-case hexadecimal digits of the text
//               after the prefix, read as DwordField says
//   "<hex>"     "hex:" and the text after the prefix
//   otherwise   the text unchanged
#ifndef QOR_STORE_REGWRITER_H
#define QOR_STORE_REGWRITER_H

#include "store/KeyMap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qor::store {

enum class DwordField {
    // The store file: a whole decimal number in 32-bit range (an optional
    // minus and digits only, -2147483648 to 4294967295) as its 32-bit
    // pattern. Any other text (a float, a hex text, an empty or too large
    // number) is written as a quoted string instead, so that it reads back
    // as "<string>" and the same text, and reads as the same number.
    StoreFile,
    // The TWAIN export: the text read by atoi, modulo 2^32.
    TwainExport,
};

// The texts a "<dword>" value is written as a dword: field for: an optional
// minus and one or more digits, from -2147483648 to 4294967295; bits
// receives the 32-bit pattern. False for any other text (a float, a hex
// text, an empty or out-of-range number), which the store file and the
// regedit export write as a quoted text instead.
bool ReadWholeDecimal32(std::string_view text, std::uint32_t& bits);

// False for a key that one section line cannot hold: a line end would split
// it, and a "]" before the end makes the line no section, so its values
// would land in the key above. Writers leave such a key out with its values.
bool FitsSectionLine(std::string_view key);

void AppendSectionLine(std::string& out, std::string_view key);
// CR and LF inside the name or the text are written as spaces; a line that
// would end in a backslash with a byte list tag ("hex:", "hex(N):") in it
// (continued on reading) is
// written without the backslashes at its end.
void AppendValueLine(std::string& out, std::string_view name, std::string_view text, DwordField form);
// The same line written by the rules above one step at a time. The writers
// below leave to it the texts they do not take on themselves (a prefix word
// or "<" after the start of the text), and the tests hold them to it.
void AppendValueLineStepwise(std::string& out, std::string_view name, std::string_view text, DwordField form);

// A text of lines written straight into its buffer: room for a whole line
// is made once, then the line is written with no check per byte. A save
// writes a million lines; growing a string by each of their pieces cost
// more than the file's bytes took to write to disk.
class LineWriter {
public:
    // Makes room for about capacity bytes up front.
    explicit LineWriter(std::size_t capacity);

    void Append(std::string_view bytes);
    // The line AppendValueLine writes.
    void ValueLine(std::string_view name, const StoredText& text, DwordField form);
    void ValueLine(std::string_view name, std::string_view text, DwordField form) {
        ValueLine(name, StoredText::Of(text), form);
    }
    // The section line of key and the lines of all its values, in name
    // order, when one section line can hold the key (FitsSectionLine);
    // otherwise nothing is written and the result is false. One call a
    // key, not one a line.
    bool KeyLines(std::string_view key, const ValueList& values, DwordField form);

    std::size_t Size() const { return used_; }
    std::string_view Text() const { return std::string_view(bytes_.data(), used_); }
    void Clear() { used_ = 0; }
    // The text written, leaving the writer empty.
    std::string Release();

private:
    // Where the next bytes go, with room for bytes more.
    char* Room(std::size_t bytes) {
        if (bytes_.size() - used_ < bytes) Grow(bytes);
        return bytes_.data() + used_;
    }
    void Grow(std::size_t bytes);
    template <DwordField form>
    bool KeyLinesAs(std::string_view key, const ValueList& values);
    [[gnu::noinline]] void StepwiseValueLine(std::string_view name, const StoredText& text, DwordField form);

    std::string bytes_;
    std::size_t used_ = 0;
};

// About the bytes the lines of the keys for which wanted(key) holds take
// when written, counted up to cap: a packed value is close in size to its
// line, and a quarter more covers the fields that are longer when written
// (byte lists, DWORD numbers). Reserving it up front spares a growing text
// its doubling copies and fresh pages, which cost more than the writing.
template <class Wanted>
std::size_t WrittenSizeEstimate(const KeyMap& keys, Wanted wanted, std::size_t cap) {
    std::size_t bytes = 0;
    for (const auto& [key, values] : keys) {
        if (!wanted(key)) continue;
        bytes += key.size() + 4 + values.LiveBytes();
        if (bytes + bytes / 4 >= cap) return cap;
    }
    return bytes + bytes / 4;
}

}  // namespace qor::store

#endif
