// A hash index over the entries of an ordered map with text keys, so that
// finding one key costs a hash and about one probe instead of a descent
// through the whole tree.
//
// Open addressing with linear probing in a table of 2^k slots, never more
// than four fifths full: a found key then costs about three probes, most of
// them in one cache line, where a table kept half full cost a large store
// twice the memory for about the same one line. A slot holds the entry's
// hash (with its lowest bit set, so that 0 marks an empty slot) and the
// entry's map iterator. Removal shifts
// later slots of the same run back, so no tombstones are left behind.
#ifndef QOR_STORE_KEYINDEX_H
#define QOR_STORE_KEYINDEX_H

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "store/ByteArena.h"
#include "store/ByteScan.h"

namespace qor::store {

// Eight bytes a step in four lanes: a lane takes a word by an exclusive or,
// a rotation and a multiply, each a one-to-one map of the lane (so two keys
// of one length that differ in one word never meet), and the lanes do not
// wait for each other, so the key path of a typed read (about 64 bytes) is
// two steps deep, not eight: every typed call hashes a whole key path. The
// last step folds the lanes together and mixes the high bits down, since
// the table takes its slot from the low bits. With fold set, bit 0x20 of
// every byte is left out: a key and its upper-cased form (which differ only
// there) then hash alike, at one operation a word, and so do a few other
// pairs of bytes ("\\" and "|" among them), which a search tells apart by
// comparing the keys.
template <bool fold>
std::uint64_t KeyHash(std::string_view key) {
    constexpr std::uint64_t kMix = 0xff51afd7ed558ccdull;
    const std::size_t size = key.size();
    std::uint64_t first = 0x9e3779b97f4a7c15ull, second = 0x2545f4914f6cdd1dull, third = 0xc2b2ae3d27d4eb4full,
                  fourth = 0x165667b19e3779f9ull;
    const auto mixIn = [](std::uint64_t& lane, std::uint64_t word) {
        if constexpr (fold) word &= ~(0x20 * byte_scan::kOnes<std::uint64_t>);
        lane = std::rotl(lane ^ word, 29) * kMix;
    };
    const char* data = key.data();
    std::size_t at = 0;
    for (; at + 32 <= size; at += 32) {
        mixIn(first, LoadWord(data + at));
        mixIn(second, LoadWord(data + at + 8));
        mixIn(third, LoadWord(data + at + 16));
        mixIn(fourth, LoadWord(data + at + 24));
    }
    // The whole words left, then the last eight bytes of the key (some of
    // them hashed already), or a shorter key's bytes.
    const std::size_t left = size - at;
    if (left >= 8) mixIn(first, LoadWord(data + at));
    if (left >= 16) mixIn(second, LoadWord(data + at + 8));
    if (left >= 24) mixIn(third, LoadWord(data + at + 16));
    if (left % 8 != 0) mixIn(fourth, size >= 8 ? LoadWord(data + size - 8) : LoadShort(data, size));
    std::uint64_t hash = first ^ std::rotl(second, 16) ^ std::rotl(third, 32) ^ std::rotl(fourth, 48);
    // The length joins here, spread over the whole word: where it joined a
    // lane beside the first word, a key one byte longer met a key whose
    // first byte differed in just the bits the two lengths differ in.
    hash ^= size * 0x9e3779b97f4a7c15ull;
    hash ^= hash >> 29;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 32;
    return hash | 1;
}

template <typename Iterator>
class KeyIndex {
public:
    // The entry whose key is key, or none. With anyCase, the entry whose
    // key is key upper-cased (the keys indexed hold no letter from a to z).
    bool Find(std::string_view key, Iterator& entry, bool anyCase = false) const {
        if (slots_.empty()) return false;
        const std::uint64_t hash = HashOf(key);
        for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
            const Slot& slot = slots_[at];
            if (slot.hash == 0) return false;
            if (slot.hash == hash &&
                (slot.entry->first == key || (anyCase && SameUpperCased(slot.entry->first, key)))) {
                entry = slot.entry;
                return true;
            }
        }
    }

    // Adds an entry whose key the index does not hold yet. After Reserve(n)
    // the first n entries are added without allocating.
    void Add(Iterator entry) {
        if (!Fits(used_ + 1, slots_.size())) Resize(slots_.empty() ? kMinSlots : slots_.size() * 2);
        Place(Slot{HashOf(entry->first), entry});
        ++used_;
    }

    // Removes the entry of key, if the index holds it.
    void Remove(std::string_view key) {
        if (slots_.empty()) return;
        const std::uint64_t hash = HashOf(key);
        std::size_t hole = hash & Mask();
        while (slots_[hole].hash != hash || slots_[hole].entry->first != key) {
            if (slots_[hole].hash == 0) return;
            hole = (hole + 1) & Mask();
        }
        // Later slots of the run move back into the hole unless their own
        // home lies after the hole (cyclically), where a search starts past it.
        for (std::size_t at = (hole + 1) & Mask(); slots_[at].hash != 0; at = (at + 1) & Mask()) {
            const std::size_t home = slots_[at].hash & Mask();
            if (((at - home) & Mask()) >= ((at - hole) & Mask())) {
                slots_[hole] = slots_[at];
                hole = at;
            }
        }
        slots_[hole] = Slot{};
        --used_;
    }

    // An entry with its key's hash (HashOf), worked out while the key was
    // at hand.
    struct Slot {
        std::uint64_t hash = 0;  // 0: empty
        Iterator entry{};
    };
    // A list of slots; a large table's in the host's large blocks.
    using Slots = std::vector<Slot, LargeBlockAllocator<Slot>>;

    // The index's own hash: a key and its upper-cased form hash alike.
    static std::uint64_t HashOf(std::string_view key) { return KeyHash<true>(key); }

    // Indexes the entries from first to last (none of them indexed yet) at
    // once.
    template <typename Entries>
    void AddAll(Entries first, Entries last, std::size_t count) {
        Slots pending;
        pending.reserve(count);
        for (auto it = first; it != last; ++it) pending.push_back(Slot{HashOf(it->first), it});
        AddAll(pending);
    }

    // Indexes the hashed entries (none of them indexed yet) at once, in the
    // order of their home slots, so that the table is written front to back
    // instead of at a random place per entry. The list is reordered.
    void AddAll(Slots& pending) {
        if (pending.empty()) return;
        Reserve(used_ + pending.size());
        GroupByHome(pending, Mask(), 6);
        for (const Slot& slot : pending) Place(slot);
        used_ += pending.size();
    }

    // Makes room for count entries at once, so that filling does not resize.
    void Reserve(std::size_t count) {
        if (Fits(count, slots_.size())) return;
        Resize(TableSize(count));
    }

    // The slots a table of count entries has.
    static std::size_t TableSize(std::size_t count) {
        std::size_t size = kMinSlots;
        while (!Fits(count, size)) size *= 2;
        return size;
    }
    // Whether count entries fit into a table of size slots.
    static bool Fits(std::size_t count, std::size_t size) { return count * 5 <= size * 4; }

    // Indexes the hashed entries of an empty index in the list's own memory,
    // where the list's capacity is a table size (a power of two) that they
    // fit in: TableSize(its size), or larger where the list was made for
    // more entries than came. Otherwise as AddAll. At the end of a large
    // load the store's memory is at its height: this way the table and the
    // list are never held side by side. The list is left empty (or, should
    // an allocation fail, reordered).
    void AdoptAll(Slots& pending) {
        const std::size_t count = pending.size();
        const std::size_t size = pending.capacity();
        if (!slots_.empty() || !std::has_single_bit(size) || size < TableSize(count) || size > UINT32_MAX) {
            AddAll(pending);
            Slots().swap(pending);
            return;
        }
        // All that allocates comes first, on the list: should it fail, the
        // index is still empty and the list holds every entry.
        GroupByHome(pending, size - 1, 3);
        // Within each group of eight slots the few entries are put in
        // order of their home slot; the list is then in home order.
        const auto homeOf = [size](const Slot& slot) { return static_cast<std::size_t>(slot.hash & (size - 1)); };
        for (std::size_t i = 1; i < count; ++i) {
            const Slot slot = pending[i];
            std::size_t at = i;
            for (; at > 0 && homeOf(pending[at - 1]) > homeOf(slot); --at) pending[at] = pending[at - 1];
            pending[at] = slot;
        }
        // Entry i of the list lands at the first free slot from its home on,
        // just past entry i - 1: never before slot i, so moving the entries
        // from the last one back never overwrites one not moved yet. Those
        // that would run past the end wrap to the front, placed at the end.
        std::vector<std::uint32_t> places(count);
        std::size_t placed = 0;
        for (std::size_t next = 0; placed < count; ++placed) {
            const std::size_t at = std::max(homeOf(pending[placed]), next);
            if (at >= size) break;
            places[placed] = static_cast<std::uint32_t>(at);
            next = at + 1;
        }
        const Slots wrapped(pending.begin() + static_cast<std::ptrdiff_t>(placed), pending.end());
        slots_.swap(pending);
        slots_.resize(size);  // within the capacity: no copy
        for (std::size_t i = placed; i < count; ++i) slots_[i] = Slot{};
        for (std::size_t i = placed; i-- > 0;) {
            const Slot slot = slots_[i];
            slots_[i] = Slot{};
            slots_[places[i]] = slot;
        }
        for (const Slot& slot : wrapped) Place(slot);
        used_ = count;
    }

    // Indexes again the entries from first to last, the same entries the
    // index holds (their iterators changed), in the table it has.
    template <typename Entries>
    void Refill(Entries first, Entries last) noexcept {
        std::fill(slots_.begin(), slots_.end(), Slot{});
        for (auto it = first; it != last; ++it) Place(Slot{HashOf(it->first), it});
    }

    void Clear() {
        slots_.clear();
        slots_.shrink_to_fit();
        used_ = 0;
    }

    void Swap(KeyIndex& other) noexcept {
        slots_.swap(other.slots_);
        std::swap(used_, other.used_);
    }

private:
    static constexpr std::size_t kMinSlots = 16;

    std::size_t Mask() const { return slots_.size() - 1; }

    // Reorders the list by its entries' home slots' upper bits (groups of
    // 2^groupBits slots, each then written while it is in the cache), in
    // place: nothing but the list and a few counts on the stack is held.
    // The home slot of an entry is its hash & mask (mask + 1 a power of 2).
    static void GroupByHome(Slots& pending, std::size_t mask, unsigned groupBits) {
        unsigned homeBits = 0;
        while ((std::size_t{1} << homeBits) <= mask) ++homeBits;
        if (homeBits > groupBits)
            SortByBits(pending.data(), pending.data() + pending.size(), mask, groupBits, homeBits);
    }

    // Sorts the entries from first to last by bits low to high of their
    // home slots, at most eight bits a pass from the top, each pass
    // swapping entries straight into their part of the range: a pass over
    // the whole list has 256 places to write to, which the cache holds,
    // where one pass over all bits had one per group, spread over the list.
    static void SortByBits(Slot* first, Slot* last, std::size_t mask, unsigned low, unsigned high) {
        const unsigned bits = std::min(8u, high - low);
        const unsigned shift = high - bits;
        const std::size_t parts = std::size_t{1} << bits;
        const auto partOf = [mask, shift, parts](const Slot& slot) {
            return static_cast<std::size_t>(((slot.hash & mask) >> shift) & (parts - 1));
        };
        std::size_t next[256] = {}, ends[256] = {};
        for (const Slot* it = first; it != last; ++it) ++ends[partOf(*it)];
        for (std::size_t part = 0, sum = 0; part < parts; ++part) {
            next[part] = sum;
            sum += ends[part];
            ends[part] = sum;
        }
        for (std::size_t part = 0; part < parts; ++part) {
            while (next[part] < ends[part]) {
                const std::size_t home = partOf(first[next[part]]);
                if (home == part) {
                    ++next[part];
                } else {
                    std::swap(first[next[part]], first[next[home]++]);
                }
            }
        }
        if (shift <= low) return;
        for (std::size_t part = 0, begin = 0; part < parts; begin = ends[part++]) {
            if (ends[part] - begin > 1) SortByBits(first + begin, first + ends[part], mask, low, shift);
        }
    }

    void Place(const Slot& slot) {
        std::size_t at = slot.hash & Mask();
        while (slots_[at].hash != 0) at = (at + 1) & Mask();
        slots_[at] = slot;
    }

    void Resize(std::size_t size) {
        Slots old(size);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.hash != 0) Place(slot);
        }
    }

    Slots slots_;
    std::size_t used_ = 0;
};

}  // namespace qor::store

#endif
