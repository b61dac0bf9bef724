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
// file as it is now and applies the changes to it (ApplyChanges):
//   - RemoveAll empties it and deleted subtrees are deleted from it first,
//     other writers' additions there included;
//   - then each key this store changed gets its changed values as memory
//     holds them (set, or removed when memory has them no more); a key this
//     store changed a value in but another writer deleted is made again with
//     those values only;
//   - a key of the store that the file did not hold then (keys the save
//     left out, keys there before the load) is written from memory, whole;
//   - every other key keeps the state the other writers gave it.
#ifndef QOR_STORE_KNOWNFILES_H
#define QOR_STORE_KNOWNFILES_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace qor::store {

class KeyMap;

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

// Applies file's changes to staging, the file as it is now, as said at the
// top; memory is this store. Keys beginning with excluded (when not empty)
// are not written: staging gets memory's keys of that prefix as they are.
void ApplyChanges(const KnownFile& file, const KeyMap& memory, std::string_view excluded, KeyMap& staging);

// Removes key and every key below it; the empty key text itself stays.
void EraseSubtree(KeyMap& keys, std::string_view key);

}  // namespace qor::store

#endif
