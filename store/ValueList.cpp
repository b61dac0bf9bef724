#include "store/ValueList.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "store/ByteScan.h"
#include "store/TextEdit.h"
#include "store/ValueText.h"

namespace qor::store {
namespace {

using Entry = ValueList::Entry;

using namespace value_block;

constexpr std::uint64_t kMaxBlock = std::numeric_limits<std::uint32_t>::max();
static_assert(kPrefixOfCode[1] == kStringPrefix && kPrefixOfCode[2] == kDwordPrefix && kPrefixOfCode[3] == kHexPrefix);

void Write32(char* at, std::size_t value) {
    const auto narrow = static_cast<std::uint32_t>(value);
    std::memcpy(at, &narrow, sizeof narrow);
}

std::size_t LengthSize(std::uint64_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7) ++bytes;
    return bytes;
}

void CheckBlockSize(std::uint64_t size) {
    if (size > kMaxBlock) throw std::length_error("the values of one key exceed 4 GiB");
}

// The first field of a record: the name's length and the prefix code.
std::uint64_t NameField(const Entry& entry) {
    CheckBlockSize(entry.name.size());
    return static_cast<std::uint64_t>(entry.name.size()) * 4 + CodeOf(entry.text.prefix);
}

std::size_t RecordSize(const Entry& entry) {
    return LengthSize(NameField(entry)) + LengthSize(entry.text.body.size()) + entry.name.size() +
           entry.text.body.size();
}

char* WriteRecord(char* out, const Entry& entry) {
    out = WriteLength(out, NameField(entry));
    out = WriteLength(out, entry.text.body.size());
    std::memcpy(out, entry.name.data(), entry.name.size());
    out += entry.name.size();
    std::memcpy(out, entry.text.body.data(), entry.text.body.size());
    return out + entry.text.body.size();
}

// A block in an arena (capacity 0) is its arena's to free.
void FreeBlock(char* block) {
    if (block != nullptr && Read32(block + kCapacity) != 0) std::free(block);
}

char* Allocate(std::size_t bytes) {
    void* block = std::malloc(bytes);
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<char*>(block);
}

// A block that holds exactly these entries, in their order; null for none.
char* BuildBlock(const std::vector<Entry>& entries) {
    const std::size_t count = entries.size();
    const auto entryAt = [&entries](std::size_t i) -> const Entry& { return entries[i]; };
    if (count == 0) return nullptr;
    std::uint64_t recordBytes = 0;
    for (std::size_t i = 0; i < count; ++i) recordBytes += RecordSize(entryAt(i));
    const std::uint64_t total = kHeaderSize + kOffsetSize * static_cast<std::uint64_t>(count) + recordBytes;
    CheckBlockSize(total);
    char* block = Allocate(static_cast<std::size_t>(total));
    Write32(block + kCount, count);
    Write32(block + kUnused, 0);
    Write32(block + kUsed, total);
    Write32(block + kCapacity, total);
    char* offsets = block + kHeaderSize;
    char* const records = offsets + kOffsetSize * count;
    char* out = records;
    for (std::size_t i = 0; i < count; ++i) {
        Write32(offsets, static_cast<std::size_t>(out - records));
        offsets += kOffsetSize;
        out = WriteRecord(out, entryAt(i));
    }
    return block;
}

bool ByName(const Entry& a, const Entry& b) { return NameBefore(a.name, b.name); }

}  // namespace

// ---- StoredText

StoredText StoredText::Of(std::string_view text) {
    if (!text.empty() && text.front() == '<') {
        for (unsigned code = 1; code < 4; ++code) {
            if (text.starts_with(kPrefixOfCode[code])) {
                return StoredText{kPrefixOfCode[code], text.substr(kPrefixOfCode[code].size())};
            }
        }
    }
    return StoredText{std::string_view(), text};
}

std::string StoredText::Joined() const {
    std::string text;
    AppendTo(text);
    return text;
}

void StoredText::AppendTo(std::string& out) const {
    out.reserve(out.size() + size());
    out.append(prefix).append(body);
}

// ---- ValueList

ValueList::ValueList(const ValueList& other) {
    if (other.block_ == nullptr) return;
    const std::size_t used = other.Field(kUsed);
    block_ = Allocate(used);
    std::memcpy(block_, other.block_, used);
    SetField(kCapacity, used);
}

ValueList& ValueList::operator=(const ValueList& other) {
    if (this != &other) {
        ValueList copy(other);
        swap(*this, copy);
    }
    return *this;
}

ValueList& ValueList::operator=(ValueList&& other) noexcept {
    if (this != &other) {
        FreeBlock(block_);
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

ValueList::~ValueList() { FreeBlock(block_); }

std::uint32_t ValueList::Field(std::size_t at) const { return Read32(block_ + at); }

void ValueList::SetField(std::size_t at, std::size_t value) { Write32(block_ + at, value); }

std::optional<StoredText> ValueList::FindElsewhere(std::string_view name, bool anyCase) const {
    if (anyCase) {
        std::string upper(name);
        UpperBytes(upper.data(), upper.data(), upper.size());
        return FindElsewhere(upper, false);
    }
    if (Size() <= 16) {
        for (std::size_t i = 0; i < Size(); ++i) {
            const Entry entry = At(i);
            if (entry.name == name) return entry.text;
        }
        return std::nullopt;
    }
    const std::size_t i = LowerBound(name);
    if (i == Size()) return std::nullopt;
    const Entry entry = At(i);
    if (entry.name != name) return std::nullopt;
    return entry.text;
}

bool ValueList::NameAt(std::size_t i, std::string_view name) const { return i < Size() && At(i).name == name; }

void ValueList::Reserve(std::size_t used) {
    CheckBlockSize(used);
    const std::size_t capacity = Field(kCapacity);
    if (used <= capacity) return;
    const std::size_t grown = static_cast<std::size_t>(std::min<std::uint64_t>(kMaxBlock, capacity + capacity / 2));
    const std::size_t wanted = std::max(used, grown);
    if (capacity == 0) {
        char* own = Allocate(wanted);
        std::memcpy(own, block_, Field(kUsed));
        block_ = own;
    } else {
        void* moved = std::realloc(block_, wanted);
        if (moved == nullptr) throw std::bad_alloc();
        block_ = static_cast<char*>(moved);
    }
    SetField(kCapacity, wanted);
}

std::uint32_t ValueList::AppendRecord(const Entry& entry) {
    const std::size_t used = Field(kUsed);
    Reserve(used + kOffsetSize + RecordSize(entry));
    const std::size_t offset = used - (Records() - block_);
    char* end = WriteRecord(block_ + used, entry);
    SetField(kUsed, static_cast<std::size_t>(end - block_));
    return static_cast<std::uint32_t>(offset);
}

void ValueList::Set(std::string_view name, std::string_view text) {
    // The texts may point into this block (a value copied within its key);
    // growing the block would move them, so such texts are copied first.
    const auto inBlock = [this](std::string_view part) {
        return block_ != nullptr && part.data() >= block_ && part.data() < block_ + Field(kUsed);
    };
    if (inBlock(name) || inBlock(text)) {
        const std::string nameCopy(name), textCopy(text);
        Set(nameCopy, textCopy);
        return;
    }
    if (Plain()) SetField(kUnused, 0);
    const Entry entry{name, StoredText::Of(text)};
    const std::size_t i = LowerBound(name);
    if (NameAt(i, name)) {
        const Entry old = At(i);
        if (old.text.prefix.data() == entry.text.prefix.data() && old.text.body.size() == entry.text.body.size()) {
            std::memcpy(block_ + (old.text.body.data() - block_), entry.text.body.data(), entry.text.body.size());
            return;
        }
        const std::size_t oldSize = RecordSize(old);
        const std::uint32_t offset = AppendRecord(entry);
        Write32(block_ + kHeaderSize + kOffsetSize * i, offset);
        SetField(kUnused, Field(kUnused) + oldSize);
        CompactIfWasteful();
        return;
    }
    if (block_ == nullptr) {
        block_ = Allocate(kHeaderSize);
        std::memset(block_, 0, kHeaderSize);
        SetField(kUsed, kHeaderSize);
        SetField(kCapacity, kHeaderSize);
    }
    const std::uint32_t offset = AppendRecord(entry);
    // Offsets count from the first record, so moving the records to make
    // room for one more offset changes none of them.
    const std::size_t used = Field(kUsed);
    char* slot = block_ + kHeaderSize + kOffsetSize * i;
    std::memmove(slot + kOffsetSize, slot, used - (slot - block_));
    Write32(slot, offset);
    SetField(kUsed, used + kOffsetSize);
    SetField(kCount, Field(kCount) + 1);
}

bool ValueList::Remove(std::string_view name) {
    const std::size_t i = LowerBound(name);
    if (!NameAt(i, name)) return false;
    const std::size_t count = Size() - 1;
    if (count == 0) {
        FreeBlock(block_);
        block_ = nullptr;
        return true;
    }
    if (Plain()) SetField(kUnused, 0);
    const std::size_t recordSize = RecordSize(At(i));
    const std::size_t used = Field(kUsed);
    char* slot = block_ + kHeaderSize + kOffsetSize * i;
    std::memmove(slot, slot + kOffsetSize, used - (slot - block_) - kOffsetSize);
    SetField(kUsed, used - kOffsetSize);
    SetField(kCount, count);
    SetField(kUnused, Field(kUnused) + recordSize);
    CompactIfWasteful();
    return true;
}

std::vector<ValueList::Entry> ValueList::Entries() const {
    std::vector<Entry> entries;
    entries.reserve(Size());
    for (std::size_t i = 0; i < Size(); ++i) entries.push_back(At(i));
    return entries;
}

void ValueList::Adopt(char* block) {
    FreeBlock(block_);
    block_ = block;
}

void ValueList::MoveInto(ByteArena& arena) {
    if (!InArena()) return;
    const std::size_t used = Field(kUsed);
    char* copy = arena.Take(used);
    std::memcpy(copy, block_, used);
    block_ = copy;
}

void ValueList::CompactIfWasteful() {
    // Small blocks are left alone: rewriting them would save next to nothing.
    const std::size_t unused = Field(kUnused);
    if (unused >= 256 && unused > Field(kUsed) / 2) Adopt(BuildBlock(Entries()));
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
        for (; old < Size() && NameBefore(At(old).name, entry.name); ++old) merged.push_back(At(old));
        if (old < Size() && At(old).name == entry.name) ++old;
        merged.push_back(entry);
    }
    for (; old < Size(); ++old) merged.push_back(At(old));
    Adopt(BuildBlock(merged));
}

// ---- ValueListBuilder

void ValueListBuilder::Grow(std::size_t most) {
    CheckBlockSize(used_);
    // The storage only grows; used_ counts the bytes of this section.
    records_.resize(std::max(used_ + most, 2 * records_.size()));
}

void ValueListBuilder::Add(std::string_view name, std::string_view text) {
    // Not weighed: a text that takes no shortcut makes the values not plain.
    plain_ = false;
    const StoredText stored = StoredText::Of(text);
    char* at = StartRecord<false>(name, CodeOf(stored.prefix), stored.body.size(), stored.body.size());
    CopyBytes(at, stored.body.data(), stored.body.size());
}

void ValueListBuilder::Clear() {
    used_ = 0;
    offsets_.clear();
    ascending_ = true;
    plain_ = true;
}

bool ValueListBuilder::SameBlockAs(const ValueList& list) const {
    if (offsets_.empty() || list.Empty()) return offsets_.empty() && list.Empty();
    // Only names in strictly ascending order go into a block as they came.
    if (!ascending_ || list.Size() != offsets_.size()) return false;
    const std::size_t offsetBytes = kOffsetSize * offsets_.size();
    if (list.Field(kUsed) != kHeaderSize + offsetBytes + used_) return false;
    // Equal offsets and records decode to equal values.
    const char* const offsets = list.block_ + kHeaderSize;
    return std::memcmp(offsets, offsets_.data(), offsetBytes) == 0 &&
           std::memcmp(offsets + offsetBytes, records_.data(), used_) == 0;
}

void ValueListBuilder::MoveInto(ValueList& list, ByteArena* arena) {
    if (offsets_.empty()) return;
    if (ascending_ && list.Empty()) {
        const std::uint64_t total = kHeaderSize + kOffsetSize * static_cast<std::uint64_t>(offsets_.size()) + used_;
        CheckBlockSize(total);
        char* block = arena != nullptr ? arena->Take(total) : Allocate(static_cast<std::size_t>(total));
        Write32(block + kCount, offsets_.size());
        Write32(block + kUnused, plain_ ? kPlainBit : 0);
        Write32(block + kUsed, total);
        Write32(block + kCapacity, arena != nullptr ? 0 : total);
        static_assert(sizeof(std::uint32_t) == kOffsetSize);
        std::memcpy(block + kHeaderSize, offsets_.data(), kOffsetSize * offsets_.size());
        std::memcpy(block + kHeaderSize + kOffsetSize * offsets_.size(), records_.data(), used_);
        list.block_ = block;
        Clear();
        return;
    }
    for (const std::uint32_t offset : offsets_) {
        const char* at = records_.data() + offset;
        const std::uint64_t nameField = ReadLength(at);
        const std::uint64_t bodySize = ReadLength(at);
        const auto nameSize = static_cast<std::size_t>(nameField >> 2);
        entries_.push_back(Entry{std::string_view(at, nameSize),
                                 StoredText{kPrefixOfCode[nameField & 3],
                                            std::string_view(at + nameSize, static_cast<std::size_t>(bodySize))}});
    }
    // Stable, so that of two values of one name the later stays last.
    if (!std::is_sorted(entries_.begin(), entries_.end(), ByName))
        std::stable_sort(entries_.begin(), entries_.end(), ByName);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const bool replacedLater = i + 1 < entries_.size() && entries_[i].name == entries_[i + 1].name;
        if (!replacedLater) entries_[kept++] = entries_[i];
    }
    entries_.resize(kept);
    list.Merge(entries_);
    entries_.clear();
    Clear();
}

}  // namespace qor::store
