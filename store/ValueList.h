// The values of one key, packed into one block of bytes to keep a large
// store small:
//
//   block   = count (4 bytes) | unused bytes (4) | offset (4) per value | records
//   record  = name length (LEB128) | text length (LEB128) | name | text
//
// The offsets, relative to the first record, are kept in ascending name
// order (unsigned bytes), so a lookup is a binary search. A replaced or
// removed record stays behind as unused bytes until they outweigh the live
// ones; then the block is rewritten. An empty list holds no block at all.
// One key's block holds at most 4 GiB.
#ifndef QOR_STORE_VALUE_LIST_H
#define QOR_STORE_VALUE_LIST_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::store {

class ValueList {
public:
    struct Entry {
        std::string_view name;
        std::string_view text;
    };

    // The text stored under name; valid until the list changes.
    std::optional<std::string_view> Find(std::string_view name) const;
    // Inserts the value or replaces its text.
    void Set(std::string_view name, std::string_view text);
    // True when a value of that name was removed.
    bool Remove(std::string_view name);

    std::size_t Size() const;
    bool Empty() const { return block_.empty(); }
    // The value at position i in name order.
    Entry At(std::size_t i) const;
    // Appends every value to entries in name order: one pass over the
    // block, for writers that go through all values of a key.
    void AppendEntries(std::vector<Entry>& entries) const;
    // Bytes of the block that live values use.
    std::size_t LiveBytes() const;

    // Adds many values at once; sorted must be in strictly ascending name
    // order. A value replaces the list's value of the same name.
    void Merge(const std::vector<Entry>& sorted);

private:
    std::size_t FirstRecord() const;
    std::uint32_t OffsetAt(std::size_t i) const;
    Entry Decode(std::uint32_t offset) const;
    std::size_t LowerBound(std::string_view name) const;
    std::uint32_t AppendRecord(std::string_view name, std::string_view text);
    void AddUnused(std::size_t bytes);
    void CompactIfWasteful();
    std::vector<Entry> Entries() const;

    std::string block_;
};

// Collects the values of one section as they are read, then hands them to
// a list in one step, so that each list is built once at its final size.
class ValueListBuilder {
public:
    void Add(std::string_view name, std::string_view text);
    bool Empty() const { return pieces_.empty(); }
    // Moves the collected values into list: of two values of one name the
    // later one stays, and it replaces the list's value of that name. The
    // builder is then empty and keeps its memory for the next section.
    void MoveInto(ValueList& list);

private:
    struct Piece {
        std::size_t at;
        std::size_t nameSize;
        std::size_t textSize;
    };
    std::string bytes_;
    std::vector<Piece> pieces_;
    std::vector<ValueList::Entry> entries_;
};

}  // namespace qor::store

#endif
