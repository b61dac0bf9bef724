// The files a store loaded or saved and its changes since (store/KnownFiles.h).
#include "store/KnownFiles.h"

#include <algorithm>

#include "store/KeyMap.h"

namespace qor::store {
namespace {

bool IsExcluded(std::string_view key, std::string_view excluded) {
    return !excluded.empty() && key.starts_with(excluded);
}

// Removes key and every entry below it from an ordered map of key texts.
template <typename Map>
void EraseKeyAndBelow(Map& map, std::string_view key) {
    const auto [first, last] = KeysBelow(map, key);
    map.erase(first, last);
    if (!key.empty()) {
        const auto it = map.find(key);
        if (it != map.end()) map.erase(it, std::next(it));
    }
}

void InsertSorted(std::vector<std::string>& names, std::string_view name) {
    const auto at = std::lower_bound(names.begin(), names.end(), name);
    if (at == names.end() || *at != name) names.emplace(at, name);
}

ValueList& ValuesAt(KeyMap& keys, std::string_view key) {
    auto it = keys.find(key);
    if (it == keys.end()) it = keys.emplace(key, ValueList()).first;
    return it->second;
}

// One changed key of memory applied to the file's state in staging. held:
// the file held the key at the last load or save; a key it did not hold
// that this store did not make came from elsewhere and is written whole.
void ApplyKey(std::string_view key, const KeyChange& change, bool held, const ValueList& mine, KeyMap& staging) {
    if (change.whole || (!held && !change.added)) {
        ValuesAt(staging, key) = mine;
        return;
    }
    auto it = staging.find(key);
    if (it == staging.end()) {
        // Made again when this store made it or set a value in it; a key
        // that only lost values here stays deleted.
        const bool sets = std::any_of(change.names.begin(), change.names.end(),
                                      [&mine](const std::string& name) { return mine.Find(name).has_value(); });
        if (!change.added && !sets) return;
        it = staging.emplace(key, ValueList()).first;
    }
    for (const std::string& name : change.names) {
        if (const auto text = mine.Find(name)) {
            it->second.Set(name, text->Joined());
        } else {
            it->second.Remove(name);
        }
    }
}

}  // namespace

void EraseSubtree(KeyMap& keys, std::string_view key) { EraseKeyAndBelow(keys, key); }

void StoreChanges::Clear() noexcept {
    removedAll = false;
    deletedSubtrees.clear();
    keys.clear();
}

void KnownFiles::RecordKey(std::string_view key, bool whole) {
    for (KnownFile& file : files_) {
        auto& keys = file.changes.keys;
        auto it = keys.find(key);
        if (it == keys.end()) it = keys.emplace(std::string(key), KeyChange()).first;
        if (whole) {
            it->second.whole = true;
            it->second.names.clear();
        } else {
            it->second.added = true;
        }
    }
}

void KnownFiles::RecordValue(std::string_view key, std::string_view name) {
    for (KnownFile& file : files_) {
        auto& keys = file.changes.keys;
        auto it = keys.find(key);
        if (it == keys.end()) it = keys.emplace(std::string(key), KeyChange()).first;
        if (!it->second.whole) InsertSorted(it->second.names, name);
    }
}

void KnownFiles::SubtreeDeleted(std::string_view key) {
    for (KnownFile& file : files_) {
        StoreChanges& changes = file.changes;
        EraseKeyAndBelow(changes.keys, key);
        auto& deleted = changes.deletedSubtrees;
        // A subtree already deleted that holds this one covers it.
        const auto covers = [key](const std::string& other) {
            return key == other || (key.starts_with(other) && key[other.size()] == '\\');
        };
        if (std::any_of(deleted.begin(), deleted.end(), covers)) continue;
        const std::string below = std::string(key) + '\\';
        std::erase_if(deleted, [&](const std::string& other) { return other.starts_with(below); });
        InsertSorted(deleted, key);
    }
}

void KnownFiles::AllRemoved() noexcept {
    for (KnownFile& file : files_) {
        file.changes.Clear();
        file.changes.removedAll = true;
    }
}

void KnownFiles::KeysJoined(const KeyMap& keys, bool whole) {
    if (files_.empty()) return;
    for (const auto& entry : keys) {
        const std::string_view key = entry.first;
        RecordKey(key, whole);
        if (whole) continue;
        entry.second.ForEach([&](const ValueList::Entry& value) { RecordValue(key, value.name); });
    }
}

KnownFile* KnownFiles::Find(std::string_view path) {
    for (KnownFile& file : files_) {
        if (file.path == path) return &file;
    }
    return nullptr;
}

void KnownFiles::Remember(KnownFile&& file) noexcept {
    file.changes.Clear();
    if (KnownFile* known = Find(file.path)) {
        *known = std::move(file);
        return;
    }
    if (files_.size() >= kMostFiles) files_.erase(files_.begin());
    files_.push_back(std::move(file));
}

void KnownFiles::ForgetAllBut(std::string_view path) noexcept {
    std::erase_if(files_, [path](const KnownFile& file) { return file.path != path; });
}

std::size_t KnownFiles::HeldBytes() const {
    // A map node costs about its key, its value and four words.
    constexpr std::size_t kNode = sizeof(std::string) + sizeof(KeyChange) + 4 * sizeof(void*);
    std::size_t bytes = files_.capacity() * sizeof(KnownFile);
    for (const KnownFile& file : files_) {
        bytes += file.path.capacity() + file.leftOut.capacity() + file.otherKeys.capacity() * sizeof(std::uint64_t);
        for (const std::string& key : file.changes.deletedSubtrees) bytes += sizeof(std::string) + key.capacity();
        for (const auto& [key, change] : file.changes.keys) {
            bytes += kNode + key.capacity() + change.names.capacity() * sizeof(std::string);
            for (const std::string& name : change.names) bytes += name.capacity();
        }
    }
    return bytes;
}

void ApplyChanges(const KnownFile& file, const KeyMap& memory, std::string_view excluded, KeyMap& staging) {
    const StoreChanges& changes = file.changes;
    if (changes.removedAll) staging.clear();
    for (const std::string& key : changes.deletedSubtrees) EraseSubtree(staging, key);
    const auto heldByFile = [&file](std::string_view key) {
        return !IsExcluded(key, file.leftOut) &&
               !std::binary_search(file.otherKeys.begin(), file.otherKeys.end(), KeyMap::HashOf(key));
    };
    for (const auto& [key, change] : changes.keys) {
        if (IsExcluded(key, excluded)) continue;
        const auto mine = memory.find(key);
        if (mine != memory.end()) ApplyKey(key, change, heldByFile(key), mine->second, staging);
    }
    // The keys the file did not hold and this store did not change lie
    // only where the last load or save left them.
    const auto writeFromMemory = [&](KeyMap::const_iterator first, KeyMap::const_iterator last) {
        for (auto it = first; it != last; ++it) {
            const std::string_view key = it->first;
            if (IsExcluded(key, excluded) || changes.keys.contains(key) || heldByFile(key)) continue;
            ValuesAt(staging, key) = it->second;
        }
    };
    if (!file.otherKeys.empty()) {
        writeFromMemory(memory.begin(), memory.end());
    } else if (!file.leftOut.empty() && file.leftOut != excluded) {
        auto last = memory.lower_bound(file.leftOut);
        const auto first = last;
        while (last != memory.end() && last->first.starts_with(file.leftOut)) ++last;
        writeFromMemory(first, last);
    }
    if (excluded.empty()) return;
    // What this save leaves out stays in memory as memory has it.
    auto first = staging.lower_bound(excluded);
    auto last = first;
    while (last != staging.end() && last->first.starts_with(excluded)) ++last;
    staging.erase(first, last);
    for (auto it = memory.lower_bound(excluded); it != memory.end() && it->first.starts_with(excluded); ++it) {
        staging.emplace(it->first, it->second);
    }
}

}  // namespace qor::store
