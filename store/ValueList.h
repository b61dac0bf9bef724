// The values of one key, packed into one heap block to keep a large store
// small:
//
//   block   = count (4) | unused bytes (4) | used bytes (4) | capacity (4)
//             | offset (4) per value | records
//   record  = name length * 4 + prefix code (LEB128) | body length (LEB128)
//             | name | body
//
// A stored text that begins with one of the three type prefixes ("<string>",
// "<dword>", "<hex>") keeps the prefix as a code of two bits beside the name
// length instead of its bytes; any other text is kept whole with code 0. So
// the record holds the text's body, and the text is the prefix plus the body.
//
// The offsets, relative to the first record, are kept in ascending name
// order (unsigned bytes), so a lookup is a binary search. A replaced or
// removed record stays behind as unused bytes until they outweigh the live
// ones; then the block is rewritten. An empty list holds no block at all.
// One key's block holds at most 4 GiB.
//
// The top bit of the unused bytes field marks a plain block: every value's
// line is its name and body as they stand (see Plain). A reader's block is
// made so; any change to the list drops the mark.
//
// A block built by a reader may lie in its map's arena (ByteArena.h)
// instead of an allocation of its own; its capacity field is then 0. Such a
// block is changed in place while its size allows and copied into an
// allocation of its own once it must grow; it is never freed by the list,
// and the list must not outlive the arena.
#ifndef QOR_STORE_VALUELIST_H
#define QOR_STORE_VALUELIST_H

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ByteArena.h"
#include "store/ByteScan.h"

namespace qor::store {

// The block's layout, read inline on the path of every typed read.
namespace value_block {

// Header fields, each 4 bytes.
inline constexpr std::size_t kCount = 0, kUnused = 4, kUsed = 8, kCapacity = 12;
inline constexpr std::size_t kHeaderSize = 16;
// In the unused bytes field: the block is plain. A plain block has no
// unused bytes.
inline constexpr std::uint32_t kPlainBit = 0x80000000u;
inline constexpr std::size_t kOffsetSize = 4;

// The prefix of each code; code 0 is a text kept whole.
inline constexpr std::string_view kPrefixOfCode[4] = {std::string_view(), "<string>", "<dword>", "<hex>"};

inline std::uint32_t Read32(const char* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline std::uint64_t ReadLength(const char*& in) {
    auto byte = static_cast<unsigned char>(*in++);
    if (byte < 0x80) return byte;
    std::uint64_t length = byte & 0x7F;
    for (unsigned shift = 7;; shift += 7) {
        byte = static_cast<unsigned char>(*in++);
        length |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return length;
    }
}

// Writes a length (LEB128) at out; returns the position after it.
inline char* WriteLength(char* out, std::uint64_t length) {
    for (; length >= 0x80; length >>= 7) *out++ = static_cast<char>((length & 0x7F) | 0x80);
    *out++ = static_cast<char>(length);
    return out;
}

// The code of a stored text's prefix: one of the three or empty, which
// differ in length (kPrefixOfCode).
inline unsigned CodeOf(std::string_view prefix) {
    static_assert(kPrefixOfCode[1].size() != kPrefixOfCode[2].size() &&
                  kPrefixOfCode[2].size() != kPrefixOfCode[3].size() &&
                  kPrefixOfCode[3].size() != kPrefixOfCode[1].size());
    switch (prefix.size()) {
        case kPrefixOfCode[1].size():
            return 1;
        case kPrefixOfCode[2].size():
            return 2;
        case kPrefixOfCode[3].size():
            return 3;
        default:
            return 0;
    }
}

// Copies size bytes (from sizeof(Word) to twice that) as two overlapping words.
template <class Word>
void CopyTwoWords(char* to, const char* from, std::size_t size) {
    Word first, last;
    std::memcpy(&first, from, sizeof first);
    std::memcpy(&last, from + size - sizeof last, sizeof last);
    std::memcpy(to, &first, sizeof first);
    std::memcpy(to + size - sizeof last, &last, sizeof last);
}

// Copies size bytes. The short texts of a store (names, numbers, most
// strings and paths) go in overlapping words or halves, inline, instead of a
// library call each; nothing outside the text is read or written.
inline void CopyBytes(char* to, const char* from, std::size_t size) {
    if (size > 32) {
        std::memcpy(to, from, size);
    } else if (size > 16) {
        // A path or a longer string: its first and its last sixteen bytes.
        CopyTwoWords<std::uint64_t>(to, from, 16);
        CopyTwoWords<std::uint64_t>(to + size - 16, from + size - 16, 16);
    } else if (size >= 8) {
        CopyTwoWords<std::uint64_t>(to, from, size);
    } else if (size >= 4) {
        CopyTwoWords<std::uint32_t>(to, from, size);
    } else {
        for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
    }
}

// Unsigned byte order of two names, compared in place: names are short,
// and a library call per step of a search cost more than the bytes.
inline bool NameBefore(std::string_view a, std::string_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
    }
    return a.size() < b.size();
}

// A name sought among names of its own size: up to 16 bytes are read as
// two words once (upper-cased for a search in any case), and each stored
// name of that size is then two loads and a comparison.
struct ShortName {
    ShortName(std::string_view name, bool upperCase) : size(name.size()), fits(name.size() <= 16) {
        if (!fits) return;
        first = size <= 8 ? LoadShort(name.data(), size) : LoadWord(name.data());
        last = size <= 8 ? 0 : LoadWord(name.data() + size - 8);
        if (upperCase) {
            first -= LowerLetterBits(first) >> 2;  // 0x80 >> 2: the 0x20 between a letter's two cases
            last -= LowerLetterBits(last) >> 2;
        }
    }
    // Whether the stored name at `at`, of this name's size, is this name.
    bool Matches(const char* at) const {
        if (size <= 8) return LoadShort(at, size) == first;
        return ((LoadWord(at) ^ first) | (LoadWord(at + size - 8) ^ last)) == 0;
    }

    std::size_t size;
    bool fits;
    std::uint64_t first = 0, last = 0;
};

}  // namespace value_block

// A stored text as the list keeps it: its type prefix (empty for a text
// without one) and the text after it.
struct StoredText {
    std::string_view prefix;
    std::string_view body;

    // The split of a whole text: the prefix it begins with, if any.
    static StoredText Of(std::string_view text);

    std::size_t size() const { return prefix.size() + body.size(); }
    std::string Joined() const;
    void AppendTo(std::string& out) const;
    explicit operator std::string() const { return Joined(); }
    bool operator==(std::string_view text) const {
        return text.size() == size() && text.starts_with(prefix) && text.substr(prefix.size()) == body;
    }
};

class ValueList {
public:
    struct Entry {
        std::string_view name;
        StoredText text;
    };

    ValueList() = default;
    ValueList(const ValueList& other);
    ValueList(ValueList&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    ValueList& operator=(const ValueList& other);
    ValueList& operator=(ValueList&& other) noexcept;
    ~ValueList();
    friend void swap(ValueList& a, ValueList& b) noexcept { std::swap(a.block_, b.block_); }

    // The text stored under name; valid until the list changes.
    std::optional<StoredText> Find(std::string_view name) const { return FindIn<false>(name); }
    // The same for a name in any case: the names of a store's values hold
    // no letter from a to z, and name is compared as if upper-cased, with
    // no upper-cased copy made.
    std::optional<StoredText> FindAnyCase(std::string_view name) const { return FindIn<true>(name); }
    // Inserts the value or replaces its text.
    void Set(std::string_view name, std::string_view text);
    // True when a value of that name was removed.
    bool Remove(std::string_view name);

    std::size_t Size() const { return block_ == nullptr ? 0 : value_block::Read32(block_ + value_block::kCount); }
    bool Empty() const { return block_ == nullptr; }
    // The value at position i in name order.
    Entry At(std::size_t i) const {
        return Decode(value_block::Read32(block_ + value_block::kHeaderSize + value_block::kOffsetSize * i));
    }
    // Calls visit(entry) for every value in name order: one pass over the
    // block, for writers that go through all values of a key.
    template <typename Visit>
    void ForEach(Visit visit) const {
        const std::size_t count = Size();
        if (count == 0) return;  // no block to look into
        // The block's places held in locals: a visitor that writes bytes
        // might, as far as the compiler can tell, write into the block, and
        // each value would read the header again.
        const char* const offsets = block_ + value_block::kHeaderSize;
        const char* const records = offsets + value_block::kOffsetSize * count;
        for (std::size_t i = 0; i < count; ++i) {
            visit(DecodeAt(records, value_block::Read32(offsets + value_block::kOffsetSize * i)));
        }
    }
    // Asks for the block's first three cache lines ahead of a visit
    // (PrefetchForRead). A hint never faults, even past a short block's
    // end; the addresses are formed as numbers, since a pointer may not
    // point there.
    void Prefetch() const {
        const auto at = reinterpret_cast<std::uintptr_t>(block_);
        if (at == 0) return;
        for (const std::uintptr_t line : {0u, 64u, 128u}) PrefetchForRead(reinterpret_cast<const void*>(at + line));
    }
    // Whether the list is plain: no name or body holds CR or LF, and no
    // body but a "<string>" one holds "<" or a backslash. Every value's
    // line is then written as its bytes stand, with nothing to check. Only
    // a reader's block is plain (its values come from lines, split at CR
    // and LF); a change to the list makes it not plain.
    bool Plain() const {
        return block_ != nullptr && value_block::Read32(block_ + value_block::kUnused) == value_block::kPlainBit;
    }
    // Bytes of the block that live values use.
    std::size_t LiveBytes() const {
        if (block_ == nullptr) return 0;
        return value_block::Read32(block_ + value_block::kUsed) -
               (value_block::Read32(block_ + value_block::kUnused) & ~value_block::kPlainBit);
    }
    // Whether the block lies in an arena, and the bytes it spans there.
    bool InArena() const { return block_ != nullptr && Field(value_block::kCapacity) == 0; }
    std::size_t BlockBytes() const { return block_ == nullptr ? 0 : value_block::Read32(block_ + value_block::kUsed); }
    // Copies a block that lies in an arena into arena; the caller has
    // reserved BlockBytes() there.
    void MoveInto(ByteArena& arena);

    // Adds many values at once; sorted must be in strictly ascending name
    // order. A value replaces the list's value of the same name.
    void Merge(const std::vector<Entry>& sorted);

private:
    // The search of every typed read, small enough to be inlined: a key's
    // few values are looked at in turn, each by the length of its name
    // first. A name shorter than 32 bytes has its length in the first byte
    // of its record, beside the prefix code, and most records differ there;
    // a name of up to 16 bytes is then compared as two words, the name
    // sought read (and upper-cased) once. Longer names and lists go to
    // FindElsewhere.
    template <bool anyCase>
    std::optional<StoredText> FindIn(std::string_view name) const {
        const std::size_t count = Size();
        if (count == 0) return std::nullopt;  // no block to look into
        if (count > 16 || name.size() >= 32) return FindElsewhere(name, anyCase);
        const value_block::ShortName sought(name, anyCase);
        const char* offsets = block_ + value_block::kHeaderSize;
        const char* records = offsets + value_block::kOffsetSize * count;
        const unsigned wanted = static_cast<unsigned>(name.size()) << 2;
        for (std::size_t i = 0; i < count; ++i) {
            const char* at = records + value_block::Read32(offsets + value_block::kOffsetSize * i);
            const auto first = static_cast<unsigned char>(at[0]);
            if ((first & ~3u) != wanted) continue;  // a longer name's first byte has its top bit set
            const char* stored = at + 1;            // the body's length, then the name
            const auto bodySize = static_cast<std::size_t>(value_block::ReadLength(stored));
            if (sought.fits ? !sought.Matches(stored) : !SameStoredName({stored, name.size()}, name, anyCase)) continue;
            return StoredText{value_block::kPrefixOfCode[first & 3], std::string_view(stored + name.size(), bodySize)};
        }
        return std::nullopt;
    }
    // Find for a list of more than 16 values or a name of 32 bytes or more.
    std::optional<StoredText> FindElsewhere(std::string_view name, bool anyCase) const;
    // Whether a stored name is name (in any case, when anyCase).
    static bool SameStoredName(std::string_view stored, std::string_view name, bool anyCase) {
        return anyCase ? SameUpperCased(stored, name) : stored == name;
    }
    std::uint32_t Field(std::size_t at) const;
    void SetField(std::size_t at, std::size_t value);
    const char* Records() const { return block_ + value_block::kHeaderSize + value_block::kOffsetSize * Size(); }
    Entry Decode(std::uint32_t offset) const { return DecodeAt(Records(), offset); }
    static Entry DecodeAt(const char* records, std::uint32_t offset) {
        const char* at = records + offset;
        const auto first = static_cast<unsigned char>(at[0]);
        const auto second = static_cast<unsigned char>(at[1]);
        if ((first | second) < 0x80) {
            // Both lengths in one byte each: the common record.
            return Entry{
                std::string_view(at + 2, first >> 2),
                StoredText{value_block::kPrefixOfCode[first & 3], std::string_view(at + 2 + (first >> 2), second)}};
        }
        const std::uint64_t nameField = value_block::ReadLength(at);
        const std::uint64_t bodySize = value_block::ReadLength(at);
        const auto nameSize = static_cast<std::size_t>(nameField >> 2);
        return Entry{std::string_view(at, nameSize),
                     StoredText{value_block::kPrefixOfCode[nameField & 3],
                                std::string_view(at + nameSize, static_cast<std::size_t>(bodySize))}};
    }
    std::size_t LowerBound(std::string_view name) const {
        using value_block::NameBefore;
        std::size_t low = 0, high = Size();
        if (high == 0) return 0;  // no block to look into
        const char* offsets = block_ + value_block::kHeaderSize;
        const char* records = Records();
        const auto nameAt = [&](std::size_t i) {
            const char* at = records + value_block::Read32(offsets + value_block::kOffsetSize * i);
            const auto nameSize = static_cast<std::size_t>(value_block::ReadLength(at) >> 2);
            value_block::ReadLength(at);
            return std::string_view(at, nameSize);
        };
        // A key's few values are walked in order: shorter than the halving,
        // and the walk's one wrong guess is where it stops.
        if (high <= 16) {
            while (low < high && NameBefore(nameAt(low), name)) ++low;
            return low;
        }
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (NameBefore(nameAt(middle), name)) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        return low;
    }
    bool NameAt(std::size_t i, std::string_view name) const;
    void Reserve(std::size_t used);
    std::uint32_t AppendRecord(const Entry& entry);
    void CompactIfWasteful();
    void Adopt(char* block);
    std::vector<Entry> Entries() const;

    friend class ValueListBuilder;
    char* block_ = nullptr;
};

// Collects the values of one section as they are read, then hands them to
// a list in one step, so that each list is built once at its final size.
// The values are laid out as the list's records as they come; a section
// whose names arrive in ascending order (as a store file lists them)
// becomes a new list's block with one copy.
class ValueListBuilder {
public:
    void Add(std::string_view name, std::string_view text);
    // Adds a value whose text is prefix + body; the name is upper-cased as
    // it is added. The reader's shortcut for the shapes a store file holds,
    // inline in the reader's loop: a call per value cost a tenth of a load.
    // The reader's texts hold no CR or LF; of the three shapes, only a byte
    // list may hold a "<" (none holds a backslash), which keeps the values
    // from being plain (ValueList::Plain).
    [[gnu::always_inline]] void AddUpperName(std::string_view name, std::string_view prefix, std::string_view body) {
        if (prefix.size() != value_block::kPrefixOfCode[1].size() && body.find('<') != std::string_view::npos)
            plain_ = false;
        char* at = StartRecord<true>(name, value_block::CodeOf(prefix), body.size(), body.size());
        value_block::CopyBytes(at, body.data(), body.size());
    }
    // Adds a value whose text is prefix + the decimal form of number,
    // written where the record's body goes.
    [[gnu::always_inline]] void AddUpperName(std::string_view name, std::string_view prefix, std::int32_t number) {
        char digits[kDigitsRoom];
        const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, number);
        const auto size = static_cast<std::size_t>(written.ptr - digits);
        // The room holds all of digits: one copy of a known size.
        std::memcpy(StartRecord<true>(name, value_block::CodeOf(prefix), size, sizeof digits), digits, sizeof digits);
    }
    // Adds a value as a list holds it (its name upper-case), from a plain
    // list: the values stay plain as they were.
    void AddEntry(const ValueList::Entry& entry) {
        char* at = StartRecord<false>(entry.name, value_block::CodeOf(entry.text.prefix), entry.text.body.size(),
                                      entry.text.body.size());
        value_block::CopyBytes(at, entry.text.body.data(), entry.text.body.size());
    }
    bool Empty() const { return offsets_.empty(); }
    // True when list's block is, byte for byte, the block that MoveInto
    // would make of the collected values for an empty list, so that list
    // holds the same values. A list laid out otherwise may still hold them.
    bool SameBlockAs(const ValueList& list) const;
    // Drops the collected values; the builder keeps its memory.
    void Clear();
    // Moves the collected values into list: of two values of one name the
    // later one stays, and it replaces the list's value of that name. The
    // builder is then empty and keeps its memory for the next section.
    // A new list's block is taken from arena, when given.
    void MoveInto(ValueList& list, ByteArena* arena = nullptr);

private:
    static constexpr std::size_t kDigitsRoom = 16;  // an int32's at most eleven, rounded up

    // Appends a record: its two lengths and its name (upper-cased when
    // Upper), with room for a body of bodySize bytes after them, and
    // bodyRoom bytes may be written there; returns where the body goes.
    template <bool Upper>
    [[gnu::always_inline]] char* StartRecord(std::string_view name, unsigned prefixCode, std::size_t bodySize,
                                             std::size_t bodyRoom) {
        const std::size_t start = used_;
        // Each length takes at most ten bytes.
        const std::size_t most = 20 + name.size() + bodyRoom;
        if (records_.size() - start < most) Grow(most);
        char* const records = records_.data();
        char* at = value_block::WriteLength(records + start, std::uint64_t{name.size()} * 4 + prefixCode);
        at = value_block::WriteLength(at, bodySize);
        if constexpr (Upper) {
            UpperBytes(name.data(), at, name.size());
        } else {
            value_block::CopyBytes(at, name.data(), name.size());
        }
        const std::string_view written(at, name.size());
        if (ascending_ && !offsets_.empty())
            ascending_ = value_block::NameBefore(std::string_view(records + lastNameAt_, lastNameSize_), written);
        lastNameAt_ = static_cast<std::size_t>(at - records);
        lastNameSize_ = name.size();
        used_ = lastNameAt_ + name.size() + bodySize;
        offsets_.push_back(static_cast<std::uint32_t>(start));
        return at + name.size();
    }
    // Makes room for most more bytes; a section's records beyond 4 GiB are refused.
    void Grow(std::size_t most);

    std::string records_;  // the records, in the block's layout: the first used_ bytes
    std::size_t used_ = 0;
    std::vector<std::uint32_t> offsets_;             // where each record starts, in the order added
    bool ascending_ = true;                          // each name sorts after the one before
    bool plain_ = true;                              // the values make a plain list
    std::size_t lastNameAt_ = 0, lastNameSize_ = 0;  // the name added last, in records_
    std::vector<ValueList::Entry> entries_;
};

}  // namespace qor::store

#endif
