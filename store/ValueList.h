// The values of one key, packed to keep a large store small.
//
// Every name and text lives in one byte buffer of records:
//
//   record = name length (LEB128) | text length (LEB128) | name | text
//
// and an index of record offsets is kept in ascending name order (unsigned
// bytes), so a lookup is a binary search. A replaced or removed record stays
// behind as unused bytes until they outweigh the live ones; then the buffer
// is rewritten. One key's buffer holds at most 4 GiB.
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

    std::size_t Size() const { return index_.size(); }
    bool Empty() const { return index_.empty(); }
    // The value at position i in name order.
    Entry At(std::size_t i) const { return Decode(index_[i]); }
    // Bytes held by live records (names, texts and their lengths).
    std::size_t LiveBytes() const { return records_.size() - unused_; }

    // Bulk filling: Append adds a value without keeping order; until Finish
    // runs, only Append may be called. Finish restores name order (of two
    // values of one name the later one stays) and gives back spare memory.
    void Append(std::string_view name, std::string_view text);
    void Finish() noexcept;
    bool Unfinished() const { return unfinished_; }

private:
    Entry Decode(std::uint32_t offset) const;
    std::size_t RecordSize(std::uint32_t offset) const;
    std::vector<std::uint32_t>::iterator LowerBound(std::string_view name);
    std::vector<std::uint32_t>::const_iterator LowerBound(std::string_view name) const;
    std::uint32_t AppendRecord(std::string_view name, std::string_view text);
    void DropRecord(std::uint32_t offset);
    void CompactIfWasteful();
    void Compact();
    bool InNameOrder() const;
    void KeepLastOfEachName();

    std::string records_;
    std::vector<std::uint32_t> index_;
    std::uint32_t unused_ = 0;
    bool unfinished_ = false;
};

}  // namespace qor::store

#endif
