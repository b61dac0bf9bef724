// The store's keys: an ordered map from key text to the key's values.
// Ordered by unsigned bytes, so the keys below a key K (texts that begin
// with K + "\") are one contiguous range.
#ifndef QOR_STORE_KEYMAP_H
#define QOR_STORE_KEYMAP_H

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CIniClass.h"
#include "store/ByteArena.h"
#include "store/KeyIndex.h"
#include "store/ValueList.h"

namespace qor::store {

// The keys in ascending byte order, with a hash index beside them so that
// finding one key costs a hash, not a descent through the whole tree.
// Every change goes through the members below, which keep the two in step;
// the index makes its room before the tree changes, so a failed allocation
// leaves both as they were.
//
// The key texts live in the map's own arena, not in an allocation each:
// the tree's entries view them. So do the value blocks a reader built
// (ValueList.h), and the tree's nodes (NodeAllocator): a node that moves to
// another map is made again in that map's arena. The arena is held apart
// from the map, so that a swap hands it over with the nodes in it. A removed
// key's text and node, and a block that was removed or had
// to grow, stay there until the arena holds more than twice what is still
// used in it when CompactIfWasteful looks (at the end of a merge, and after
// a store removes keys); it then copies what is used into a fresh arena. So
// the space left behind is bounded by what the store held in the arena at
// its last load or copy, and a view of a key's text, like an iterator, is
// valid only until the next CompactIfWasteful.
class KeyMap {
public:
    using Tree =
        std::map<std::string_view, ValueList, std::less<>, NodeAllocator<std::pair<const std::string_view, ValueList>>>;
    using iterator = Tree::iterator;
    using const_iterator = Tree::const_iterator;

    KeyMap() = default;
    KeyMap(const KeyMap&) = delete;
    KeyMap& operator=(const KeyMap&) = delete;

    iterator begin() { return tree_.begin(); }
    iterator end() { return tree_.end(); }
    const_iterator begin() const { return tree_.begin(); }
    const_iterator end() const { return tree_.end(); }
    std::size_t size() const { return tree_.size(); }
    bool empty() const { return tree_.empty(); }

    iterator find(std::string_view key) {
        if (unindexed_ != 0) return tree_.find(key);
        iterator entry;
        return index_.Find(key, entry) ? entry : tree_.end();
    }
    const_iterator find(std::string_view key) const {
        if (unindexed_ != 0) return tree_.find(key);
        iterator entry;
        return index_.Find(key, entry) ? const_iterator(entry) : tree_.end();
    }
    bool contains(std::string_view key) const { return find(key) != tree_.end(); }
    // The entry whose key is key upper-cased: the keys of a store hold no
    // letter from a to z. A search of the index needs no upper-cased copy.
    // Small enough to be inlined into every typed read.
    const_iterator FindAnyCase(std::string_view key) const {
        if (unindexed_ != 0) return FindUpperCasedInTree(key);
        iterator entry;
        return index_.Find(key, entry, true) ? const_iterator(entry) : tree_.end();
    }
    iterator lower_bound(std::string_view key) { return tree_.lower_bound(key); }
    const_iterator lower_bound(std::string_view key) const { return tree_.lower_bound(key); }

    std::pair<iterator, bool> emplace(std::string_view key, ValueList values) {
        const auto at = tree_.lower_bound(key);
        if (at != tree_.end() && at->first == key) return {at, false};
        return {emplace_hint(at, key, std::move(values)), true};
    }
    iterator emplace_hint(const_iterator hint, std::string_view key, ValueList values) {
        const iterator found = find(key);
        if (found != tree_.end()) return found;
        index_.Reserve(tree_.size() + 1);
        const iterator entry = Insert(hint, key, std::move(values));
        index_.Add(entry);
        return entry;
    }
    // Fills the map without indexing: a reader filling a fresh map adds
    // every key of a file, and a hash table that grows while it is filled
    // places each key about twice, each time at a random place in memory.
    // Searches stay correct meanwhile (they use the tree); Reindex() then
    // indexes every key at once, in a table made at its final size.
    //
    // Into an empty map, each key is hashed as it is added, while its text is
    // in the cache: at the end of a large load the tree's nodes lie far
    // apart in memory, and walking them all again to hash the keys cost
    // about a tenth of the load.
    iterator AppendUnindexed(const_iterator hint, std::string_view key, ValueList values) {
        if (tree_.empty()) StartPending();
        // Room first, so that a key is never in the tree but not in the list.
        // The list grows table by table: its memory becomes the index's.
        if (pendingComplete_ && !Index::Fits(pending_.size() + 1, pending_.capacity())) {
            pending_.reserve(Index::TableSize(pending_.size() + 1));
        }
        const std::size_t before = tree_.size();
        const iterator entry = Insert(hint, key, std::move(values));
        if (tree_.size() != before) {
            ++unindexed_;
            if (pendingComplete_) pending_.push_back(Slot{Index::HashOf(entry->first), entry});
        }
        return entry;
    }
    // Told by a reader filling a fresh map that its keys and values will
    // take about bytes in the map's arena.
    void ExpectArenaBytes(std::size_t bytes) { texts_->Expect(bytes); }
    // Told by that reader that about keys keys will come in all: the list
    // of keys to index is made that large at once (at most maxBytes),
    // instead of doubling as keys come, each time into a fresh allocation
    // whose pages are touched anew. Only a hint: should the room not be
    // had, the list grows as keys come.
    void ExpectKeys(std::size_t keys, std::uint64_t maxBytes) {
        const std::uint64_t maxSlots = maxBytes / sizeof(Slot);
        if (!pendingComplete_ || keys > maxSlots) return;
        const std::size_t slots = Index::TableSize(keys);
        if (slots <= pending_.capacity() || slots > maxSlots) return;
        try {
            pending_.reserve(slots);
        } catch (const std::bad_alloc&) {
        }
    }
    // Makes room in the index for keys keys in all, so that adding keys up
    // to that many (merge included) allocates nothing.
    void Reserve(std::size_t keys) { index_.Reserve(keys); }
    // Makes room in the arena for what a merge of other moves in, so that
    // the merge takes nothing from the host.
    void ReserveArenaFor(const KeyMap& other) { ReserveTextsOf(other); }
    // Moves the values builder collected into values, an entry's values
    // of this map: a new block is taken from this map's arena.
    void FillValues(ValueListBuilder& builder, ValueList& values) { builder.MoveInto(values, texts_.get()); }
    // A hash of key that tells apart every two keys but by chance (the
    // index's own hash leaves some bits out), for lists of keys by hash.
    static std::uint64_t HashOf(std::string_view key) { return KeyHash<false>(key); }
    // Every key's hash (HashOf), ascending.
    std::vector<std::uint64_t> SortedHashes() const {
        std::vector<std::uint64_t> hashes;
        hashes.reserve(tree_.size());
        for (const auto& entry : tree_) hashes.push_back(HashOf(entry.first));
        std::sort(hashes.begin(), hashes.end());
        return hashes;
    }

    void Reindex() {
        if (unindexed_ != 0) {
            Index index;
            if (pendingComplete_ && pending_.size() == tree_.size()) {
                index.AdoptAll(pending_);
            } else {
                index.AddAll(tree_.begin(), tree_.end(), tree_.size());
            }
            index_.Swap(index);
            unindexed_ = 0;
        }
        DropPending();
    }

    iterator erase(iterator first, iterator last) {
        DropPending();
        for (auto it = first; it != last; ++it) {
            index_.Remove(it->first);
            arenaUsed_ -= std::min(arenaUsed_, ArenaBytesOf(*it));
        }
        return tree_.erase(first, last);
    }
    std::size_t erase(std::string_view key) {
        const auto entry = find(key);
        if (entry == tree_.end()) return 0;
        erase(entry, std::next(entry));
        return 1;
    }
    // Makes the map empty. Its arena goes with its tree, unless a fresh one
    // cannot be had: it then stays until the next CompactIfWasteful.
    void clear() noexcept {
        try {
            KeyMap empty;
            swap(empty);
            return;
        } catch (const std::bad_alloc&) {
        }
        DropPending();
        index_.Clear();
        tree_.clear();
        arenaUsed_ = 0;
        unindexed_ = 0;
    }
    void swap(KeyMap& other) noexcept {
        tree_.swap(other.tree_);  // the allocators, and so the arenas' users, swap too
        texts_.swap(other.texts_);
        std::swap(arenaUsed_, other.arenaUsed_);
        index_.Swap(other.index_);
        std::swap(unindexed_, other.unindexed_);
        pending_.swap(other.pending_);
        std::swap(pendingComplete_, other.pendingComplete_);
    }
    // Moves every entry of other whose key this map does not hold into this map.
    void merge(KeyMap& other) {
        DropPending();
        other.DropPending();
        index_.Reserve(size() + other.size());
        ReserveTextsOf(other);
        for (auto it = other.tree_.begin(); it != other.tree_.end();) {
            const auto next = std::next(it);
            if (!contains(it->first)) MoveEntry(other, it);
            it = next;
        }
        CompactIfWasteful();
    }

    // Moves every entry of other into this map; where this map holds the
    // key already, other's values join its values and replace those of the
    // same name. All or nothing: should an allocation fail, this map is as it
    // was (and other unspecified).
    void MergeReplacing(KeyMap& other) {
        // The combined values of keys both maps hold are made first, in
        // other's entries; nothing of this map changes until all are made.
        std::vector<ValueList::Entry> entries;
        for (auto& [key, values] : other.tree_) {
            const auto mine = find(key);
            if (mine == end() || values.Empty()) continue;
            entries.clear();
            for (std::size_t i = 0; i < values.Size(); ++i) entries.push_back(values.At(i));
            ValueList combined = mine->second;
            combined.Merge(entries);
            values = std::move(combined);
        }
        index_.Reserve(size() + other.size());
        ReserveTextsOf(other);
        // From here on nothing allocates.
        DropPending();
        other.DropPending();
        for (auto it = other.tree_.begin(); it != other.tree_.end();) {
            const auto next = std::next(it);
            const auto mine = find(it->first);
            if (mine != end()) {
                if (!it->second.Empty()) {
                    std::swap(mine->second, it->second);
                    it->second = ValueList();  // may lie in this map's arena
                }
            } else {
                MoveEntry(other, it);
            }
            it = next;
        }
        CompactIfWasteful();
    }

    // Once the arena has grown to twice what was used in it at the last
    // look (less what removals took since), looks again, and copies what is
    // used into a fresh arena if that is less than half. Every entry moves to a fresh tree with its new
    // text (nodes move without allocating), and the index is made again in
    // its table. Should the fresh arena not be had, the old one stays.
    // Only a fully indexed map is compacted: the index has its room. Every
    // iterator and view of a key text is invalid afterwards.
    void CompactIfWasteful() noexcept {
        if (unindexed_ != 0 || texts_->Taken() <= 2 * arenaUsed_ + ByteArena::kChunkSize) return;
        arenaUsed_ = ArenaUsed();
        if (2 * arenaUsed_ >= texts_->Taken()) return;
        std::unique_ptr<ByteArena> fresh;
        try {
            fresh = std::make_unique<ByteArena>();
            fresh->Reserve(arenaUsed_);
        } catch (const std::bad_alloc&) {
            return;
        }
        // Made after fresh, so that it goes first (with the old arena, after the swaps).
        Tree moved(Tree::allocator_type(fresh.get()));
        while (!tree_.empty()) {
            const auto first = tree_.begin();
            first->second.MoveInto(*fresh);
            moved.emplace_hint(moved.end(), fresh->Keep(first->first), std::move(first->second));
            tree_.erase(first);
        }
        tree_.swap(moved);
        texts_.swap(fresh);
        index_.Refill(tree_.begin(), tree_.end());
    }

private:
    using Index = KeyIndex<iterator>;

    // FindAnyCase while the map is filled, before Reindex.
    const_iterator FindUpperCasedInTree(std::string_view key) const;
    using Slot = Index::Slot;

    // The entry of key, added with its text kept in this map's arena
    // unless the tree holds it already.
    iterator Insert(const_iterator hint, std::string_view key, ValueList values) {
        return tree_.emplace_hint(hint, texts_->Keep(key), std::move(values));
    }
    // Room in this map's arena for everything other's arena holds (nodes
    // included), so that MoveEntry allocates nothing.
    void ReserveTextsOf(const KeyMap& other) { texts_->Reserve(other.texts_->Taken()); }
    // Moves other's entry at it (its key not in this map) into this map: a
    // node of this map's arena, with copies of its text and of a block in
    // other's arena. The index and the arena have their room.
    void MoveEntry(KeyMap& other, iterator it) {
        other.index_.Remove(it->first);
        it->second.MoveInto(*texts_);
        const iterator entry = tree_.emplace(texts_->Keep(it->first), std::move(it->second)).first;
        other.tree_.erase(it);
        index_.Add(entry);
    }
    // The bytes of the arena still used by entry: its node, its key's text
    // and a block that lies in the arena.
    std::size_t ArenaBytesOf(const Tree::value_type& entry) const {
        return texts_->NodeBytes() + entry.first.size() + (entry.second.InArena() ? entry.second.BlockBytes() : 0);
    }
    std::size_t ArenaUsed() const {
        std::size_t used = 0;
        for (const auto& entry : tree_) used += ArenaBytesOf(entry);
        return used;
    }

    void StartPending() {
        pending_.clear();
        pendingComplete_ = true;
    }
    // Any other change of the tree may leave an entry of the list behind
    // (or add one it lacks); Reindex then hashes the keys from the tree.
    void DropPending() noexcept {
        pendingComplete_ = false;
        Index::Slots().swap(pending_);
    }

    // Key texts, blocks and nodes; made before the tree that uses it.
    std::unique_ptr<ByteArena> texts_ = std::make_unique<ByteArena>();
    std::size_t arenaUsed_ = 0;  // what was used of texts_ at the last look, less what removals took
    Tree tree_{Tree::allocator_type(texts_.get())};
    Index index_;
    std::size_t unindexed_ = 0;  // keys added by AppendUnindexed since the last Reindex
    // While every key of the tree came through AppendUnindexed into an empty
    // map: each of them with its hash, for Reindex.
    Index::Slots pending_;
    bool pendingComplete_ = false;
};

// The keys strictly below key, at every depth, in ascending order.
template <typename Map>
auto KeysBelow(Map& keys, std::string_view key) {
    // Every text that begins with key + "\" sorts at or after that text and
    // before key + "]", the byte that follows the backslash.
    std::string from(key), to(key);
    from += '\\';
    to += ']';
    return std::make_pair(keys.lower_bound(from), keys.lower_bound(to));
}

// The key map of a store.
KeyMap& KeysOf(CIniClass& store);
const KeyMap& KeysOf(const CIniClass& store);

}  // namespace qor::store

#endif
