// What a store remembers of each store file it loaded or saved, so that a
// save can keep what other programs saved to that file meanwhile.
//
// For each file (by its resolved path, as the writers' lock names it): the
// file's identity at this store's last load or save of it, which keys of the
// store it did not hold then (usually none, or those below the prefix the
// save left out), and the changes this store made since, kept as a set: a
// program that sets one value a million times holds one entry.
//
// When the file's identity changed by the time of a save, the save reads the
// file as it is now, compared key by key with the store as it is read (only
// the keys that differ are kept), and applies the changes to it
// (ApplyChanges):
//   - RemoveAll empties it and deleted subtrees are deleted from it first,
//     other writers' additions there included;
//   - then each key this store changed gets its changed values as memory
//     holds them (set, or removed when memory has them no more); a key this
//     store changed a value in but another writer deleted is made again with
//     those values only;
//   - a key of the store that the file did not hold then (keys the save
//     left out, keys there before the load) is written from memory, whole;
//   - every other key keeps the state the other writers gave it.
// The result is held as its difference from the store, written through the
// store, and taken into the store only once the new file is in place.
#ifndef QOR_STORE_KNOWNFILES_H
#define QOR_STORE_KNOWNFILES_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "store/KeyMap.h"
#include "store/RegLines.h"

namespace qor::store {

// What this store did to one key since the file's last load or save.
struct KeyChange {
    bool added = false;              // the key was made
    bool whole = false;              // all its values count as changed (it came from another file)
    std::vector<std::string> names;  // the values set or removed, ascending, each once
};

struct StoreChanges {
    bool removedAll = false;
    std::vector<std::string> deletedSubtrees;  // ascending; none lies below another
    std::map<std::string, KeyChange, std::less<>> keys;
    void Clear() noexcept;
};

struct KnownFile {
    std::string path;                 // resolved, as the lock resolves it
    platform::FileIdentity identity;  // exists false: the file was missing
    // The keys the store then held that the file did not: those below the
    // prefix the save left out, and the others (keys in the store before
    // the load, keys too long for a section line) by their hashes
    // (KeyMap::HashOf), ascending. Every key the store made since is among
    // the changes, so the file held every other key of the store.
    std::string leftOut;
    std::vector<std::uint64_t> otherKeys;
    StoreChanges changes;
};

class KnownFiles {
public:
    // The changes, each recorded for every file known. Keys and names are
    // upper-case.
    void ValueChanged(std::string_view key, std::string_view name) {
        if (!files_.empty()) RecordValue(key, name);
    }
    void KeyAdded(std::string_view key) {
        if (!files_.empty()) RecordKey(key, false);
    }
    void SubtreeDeleted(std::string_view key);
    void AllRemoved() noexcept;
    // Keys that joined the store from a load of another file (whole) or an
    // import (the values they bring).
    void KeysJoined(const KeyMap& keys, bool whole);

    KnownFile* Find(std::string_view path);
    // A store saved to ever new files (dated copies) would record each change
    // once per file; beyond this many, the file known longest is forgotten
    // (its next save writes as a first one).
    static constexpr std::size_t kMostFiles = 8;

    // Makes room for one more file, so that Remember cannot fail.
    void Reserve() { files_.reserve(files_.size() + 1); }
    // The file as loaded or saved now: its changes start empty. After Reserve.
    void Remember(KnownFile&& file) noexcept;
    // Forgets every file but path: the store took in changes that they did
    // not see, so their next save writes as a first one.
    void ForgetAllBut(std::string_view path) noexcept;
    // Bytes held for the files (the texts, the hash lists, the changes).
    std::size_t HeldBytes() const;

private:
    void RecordValue(std::string_view key, std::string_view name);
    void RecordKey(std::string_view key, bool whole);

    std::vector<KnownFile> files_;
};

// Keys told as their difference from a store's keys: the keys whose values
// differ from the store's (or that the store lacks), with their values, and
// the store's keys that are gone, ascending.
struct KeyDifference {
    KeyMap changed;
    std::vector<std::string> gone;
};

// Compares the sections of a file, offered in the file's order, with memory:
// a section that memory holds with the same values is dropped, and the keys
// of memory that the file passes over are gone. It follows keys in
// ascending order only (as the store file lists them).
class FileComparison final : public RegSectionSink {
public:
    // difference receives the file's difference from memory; both must
    // outlive the comparison, and memory must not change meanwhile.
    FileComparison(const KeyMap& memory, KeyDifference& difference);
    bool Keep(std::string_view key, ValueListBuilder& values, ValueList& list) override;
    // Memory's values of key when they are a plain list: a section of the
    // file that this store wrote and nobody changed holds their lines.
    const ValueList* Expected(std::string_view key) const override;
    // A section alike: passed, as Keep passes one that memory holds alike.
    void Matched(std::string_view key) override;
    // After the last section: false when the keys came out of ascending
    // order, so that the difference cannot be trusted.
    bool Finish();
    // Compares a file read whole into difference.changed, in any order; the
    // difference then is complete.
    void CompareWhole();

private:
    // Passes the file's next key: false when the keys came out of order;
    // held is memory's values of key, or null when memory lacks it.
    bool Pass(std::string_view key, const ValueList*& held);

    const KeyMap& memory_;
    KeyDifference& difference_;
    KeyMap::const_iterator next_;  // memory's first key not yet passed
    std::string last_;             // the key offered last
    bool started_ = false, ordered_ = true;
};

// Turns difference, the file as it is now against memory (this store), into
// the merged keys against memory by applying file's changes as said at the
// top. Keys beginning with excluded (when not empty) keep memory's values.
void ApplyChanges(const KnownFile& file, const KeyMap& memory, std::string_view excluded, KeyDifference& difference);

// Calls visit(key, values) for each key of memory as difference changes it,
// in ascending order, until visit returns false; false then.
template <class Visit>
bool ForEachKeyWith(const KeyMap& memory, const KeyDifference& difference, Visit visit) {
    auto changed = difference.changed.begin();
    auto gone = difference.gone.begin();
    // The tree is walked a node at a time, each found from the one before,
    // and a key's lines are too much work for the processor to look past
    // them to the next node by itself: without help every step waited for
    // memory, for the node, then for the key's text and its values. So the
    // walk runs kAhead keys ahead of the visits, asks for each node as it
    // passes it, and halfway, when the node is at hand, for the key's text
    // and values; the nodes in between wait in a ring.
    constexpr std::size_t kAhead = 8;
    KeyMap::const_iterator ring[kAhead];
    std::size_t queued = 0, taken = 0;
    auto lead = memory.begin();
    const auto queue = [&] {
        PrefetchForRead(&*lead);
        ring[queued++ % kAhead] = lead++;
    };
    while (queued < kAhead && lead != memory.end()) queue();
    while (taken < queued) {
        const auto mine = ring[taken++ % kAhead];
        if (lead != memory.end()) queue();
        if (queued - taken >= kAhead / 2) {
            const auto& half = *ring[(taken + kAhead / 2 - 1) % kAhead];
            PrefetchForRead(half.first.data());
            half.second.Prefetch();
        }
        for (; changed != difference.changed.end() && changed->first < mine->first; ++changed) {
            if (!visit(changed->first, changed->second)) return false;
        }
        if (gone != difference.gone.end() && *gone == mine->first) {
            ++gone;
            continue;
        }
        const bool replaced = changed != difference.changed.end() && changed->first == mine->first;
        if (!visit(mine->first, replaced ? changed->second : mine->second)) return false;
        if (replaced) ++changed;
    }
    for (; changed != difference.changed.end(); ++changed) {
        if (!visit(changed->first, changed->second)) return false;
    }
    return true;
}

// Makes the room that TakeDifference needs; memory is otherwise unchanged.
void PrepareToTake(KeyMap& memory, const KeyDifference& difference);
// Makes memory hold the keys as difference tells them (after
// PrepareToTake); difference is left empty.
void TakeDifference(KeyMap& memory, KeyDifference& difference) noexcept;

// Removes key and every key below it; the empty key text itself stays.
void EraseSubtree(KeyMap& keys, std::string_view key);

}  // namespace qor::store

#endif
