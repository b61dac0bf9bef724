#include "store/ValueList.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace qor::store {
namespace {

using Entry = ValueList::Entry;

constexpr std::size_t kHeaderSize = 8;  // count, unused bytes
constexpr std::size_t kOffsetSize = 4;
constexpr std::size_t kMaxBlock = std::numeric_limits<std::uint32_t>::max();

std::uint32_t Read32(const std::string& block, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, block.data() + at, sizeof value);
    return value;
}

void Write32(std::string& block, std::size_t at, std::size_t value) {
    const auto narrow = static_cast<std::uint32_t>(value);
    std::memcpy(block.data() + at, &narrow, sizeof narrow);
}

void Append32(std::string& block, std::size_t value) {
    char raw[kOffsetSize];
    const auto narrow = static_cast<std::uint32_t>(value);
    std::memcpy(raw, &narrow, sizeof raw);
    block.append(raw, sizeof raw);
}

void AppendLength(std::string& out, std::size_t length) {
    for (; length >= 0x80; length >>= 7) out += static_cast<char>((length & 0x7F) | 0x80);
    out += static_cast<char>(length);
}

std::size_t ReadLength(std::string_view in, std::size_t& at) {
    std::size_t length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(in[at++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return length;
    }
}

std::size_t LengthSize(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) ++bytes;
    return bytes;
}

std::size_t RecordSize(const Entry& entry) {
    return LengthSize(entry.name.size()) + LengthSize(entry.text.size()) + entry.name.size() + entry.text.size();
}

void WriteRecord(std::string& block, const Entry& entry) {
    AppendLength(block, entry.name.size());
    AppendLength(block, entry.text.size());
    block.append(entry.name).append(entry.text);
}

void CheckBlockSize(std::size_t size) {
    if (size > kMaxBlock) throw std::length_error("the values of one key exceed 4 GiB");
}

// A block that holds exactly these entries, in their order.
std::string BuildBlock(const std::vector<Entry>& entries) {
    if (entries.empty()) return std::string();
    std::size_t recordBytes = 0;
    for (const Entry& entry : entries) recordBytes += RecordSize(entry);
    const std::size_t total = kHeaderSize + kOffsetSize * entries.size() + recordBytes;
    CheckBlockSize(total);
    std::string block;
    block.reserve(total);
    Append32(block, entries.size());
    Append32(block, 0);
    std::size_t offset = 0;
    for (const Entry& entry : entries) {
        Append32(block, offset);
        offset += RecordSize(entry);
    }
    for (const Entry& entry : entries) WriteRecord(block, entry);
    return block;
}

bool Overlaps(std::string_view part, const std::string& block) {
    return part.data() >= block.data() && part.data() < block.data() + block.size();
}

bool ByName(const Entry& a, const Entry& b) { return a.name < b.name; }

}  // namespace

std::size_t ValueList::Size() const { return block_.empty() ? 0 : Read32(block_, 0); }

std::size_t ValueList::FirstRecord() const { return kHeaderSize + kOffsetSize * Size(); }

std::uint32_t ValueList::OffsetAt(std::size_t i) const { return Read32(block_, kHeaderSize + kOffsetSize * i); }

ValueList::Entry ValueList::Decode(std::uint32_t offset) const {
    const std::string_view all(block_);
    std::size_t at = FirstRecord() + offset;
    const std::size_t nameSize = ReadLength(all, at);
    const std::size_t textSize = ReadLength(all, at);
    return Entry{all.substr(at, nameSize), all.substr(at + nameSize, textSize)};
}

ValueList::Entry ValueList::At(std::size_t i) const { return Decode(OffsetAt(i)); }

void ValueList::AppendEntries(std::vector<Entry>& entries) const {
    const std::size_t count = Size();
    if (count == 0) return;
    const std::size_t first = entries.size();
    entries.resize(first + count);
    const std::string_view records = std::string_view(block_).substr(FirstRecord());
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = OffsetAt(i);
        const std::size_t nameSize = ReadLength(records, at);
        const std::size_t textSize = ReadLength(records, at);
        entries[first + i] = Entry{records.substr(at, nameSize), records.substr(at + nameSize, textSize)};
    }
}

std::size_t ValueList::LiveBytes() const { return block_.empty() ? 0 : block_.size() - Read32(block_, 4); }

std::size_t ValueList::LowerBound(std::string_view name) const {
    std::size_t low = 0, high = Size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (At(middle).name < name) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::optional<std::string_view> ValueList::Find(std::string_view name) const {
    const std::size_t i = LowerBound(name);
    if (i == Size() || At(i).name != name) return std::nullopt;
    return At(i).text;
}

std::uint32_t ValueList::AppendRecord(std::string_view name, std::string_view text) {
    const Entry entry{name, text};
    CheckBlockSize(block_.size() + kOffsetSize + RecordSize(entry));
    const std::size_t offset = block_.size() - FirstRecord();
    WriteRecord(block_, entry);
    return static_cast<std::uint32_t>(offset);
}

void ValueList::AddUnused(std::size_t bytes) { Write32(block_, 4, Read32(block_, 4) + bytes); }

void ValueList::Set(std::string_view name, std::string_view text) {
    // The texts may point into this block (a value copied within its key);
    // growing the block would move them, so such texts are copied first.
    if (Overlaps(name, block_) || Overlaps(text, block_)) {
        const std::string nameCopy(name), textCopy(text);
        Set(nameCopy, textCopy);
        return;
    }
    const std::size_t i = LowerBound(name);
    if (i < Size() && At(i).name == name) {
        const Entry old = At(i);
        if (old.text.size() == text.size()) {
            std::memcpy(block_.data() + (old.text.data() - block_.data()), text.data(), text.size());
            return;
        }
        const std::size_t oldSize = RecordSize(old);
        const std::uint32_t offset = AppendRecord(name, text);
        Write32(block_, kHeaderSize + kOffsetSize * i, offset);
        AddUnused(oldSize);
        CompactIfWasteful();
        return;
    }
    if (block_.empty()) block_.assign(kHeaderSize, '\0');
    const std::uint32_t offset = AppendRecord(name, text);
    // Offsets count from the first record, so moving the records to make
    // room for one more offset changes none of them.
    char raw[kOffsetSize];
    std::memcpy(raw, &offset, sizeof raw);
    block_.insert(kHeaderSize + kOffsetSize * i, raw, sizeof raw);
    Write32(block_, 0, Read32(block_, 0) + 1);
}

bool ValueList::Remove(std::string_view name) {
    const std::size_t i = LowerBound(name);
    if (i == Size() || At(i).name != name) return false;
    const std::size_t count = Size() - 1;
    if (count == 0) {
        std::string().swap(block_);
        return true;
    }
    const std::size_t recordSize = RecordSize(At(i));
    block_.erase(kHeaderSize + kOffsetSize * i, kOffsetSize);
    Write32(block_, 0, count);
    AddUnused(recordSize);
    CompactIfWasteful();
    return true;
}

std::vector<ValueList::Entry> ValueList::Entries() const {
    std::vector<Entry> entries;
    entries.reserve(Size());
    for (std::size_t i = 0; i < Size(); ++i) entries.push_back(At(i));
    return entries;
}

void ValueList::CompactIfWasteful() {
    // Small blocks are left alone: rewriting them would save next to nothing.
    const std::size_t unused = Read32(block_, 4);
    if (unused >= 256 && unused > block_.size() / 2) block_ = BuildBlock(Entries());
}

void ValueList::Merge(const std::vector<Entry>& sorted) {
    if (sorted.empty()) return;
    if (Empty()) {
        block_ = BuildBlock(sorted);
        return;
    }
    std::vector<Entry> merged;
    merged.reserve(Size() + sorted.size());
    std::size_t old = 0;
    for (const Entry& entry : sorted) {
        for (; old < Size() && At(old).name < entry.name; ++old) merged.push_back(At(old));
        if (old < Size() && At(old).name == entry.name) ++old;
        merged.push_back(entry);
    }
    for (; old < Size(); ++old) merged.push_back(At(old));
    block_ = BuildBlock(merged);
}

void ValueListBuilder::Add(std::string_view name, std::string_view text) {
    pieces_.push_back(Piece{bytes_.size(), name.size(), text.size()});
    bytes_.append(name).append(text);
}

void ValueListBuilder::MoveInto(ValueList& list) {
    if (pieces_.empty()) return;
    const std::string_view bytes(bytes_);
    for (const Piece& piece : pieces_) {
        entries_.push_back(Entry{bytes.substr(piece.at, piece.nameSize), bytes.substr(piece.at + piece.nameSize, piece.textSize)});
    }
    // Stable, so that of two values of one name the later stays last.
    if (!std::is_sorted(entries_.begin(), entries_.end(), ByName)) std::stable_sort(entries_.begin(), entries_.end(), ByName);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const bool replacedLater = i + 1 < entries_.size() && entries_[i].name == entries_[i + 1].name;
        if (!replacedLater) entries_[kept++] = entries_[i];
    }
    entries_.resize(kept);
    list.Merge(entries_);
    bytes_.clear();
    pieces_.clear();
    entries_.clear();
}

}  // namespace qor::store
