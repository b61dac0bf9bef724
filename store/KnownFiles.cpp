// The files a store loaded or saved and its changes since (store/KnownFiles.h).
#include "store/KnownFiles.h"

#include <algorithm>
#include <optional>

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

// The bytes of an entry's name and body as one text, when the body follows
// the name in memory (as a list lays out its records); else empty.
std::string_view NameAndBody(const ValueList::Entry& entry) {
    if (entry.name.data() + entry.name.size() != entry.text.body.data()) return {};
    return std::string_view(entry.name.data(), entry.name.size() + entry.text.body.size());
}

// The same values in the same order (a stored text split the same way). A
// save compares every value of the file this way, so name and body are
// compared as one text where they lie side by side.
bool SameValues(const ValueList& a, const ValueList& b) {
    const std::size_t count = a.Size();
    if (count != b.Size()) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const ValueList::Entry x = a.At(i), y = b.At(i);
        // The prefix is one of the prefix words or empty: its length tells which.
        if (x.name.size() != y.name.size() || x.text.prefix.size() != y.text.prefix.size()) return false;
        const std::string_view xs = NameAndBody(x), ys = NameAndBody(y);
        if (!xs.empty() && !ys.empty() ? xs != ys : x.name != y.name || x.text.body != y.text.body) return false;
    }
    return true;
}

// The values a key this store changed ends with, applied to base, the file's
// values (null when the file holds none, or this store removed them): none
// when the key stays deleted. held: the file held the key at the last load
// or save; a key it did not hold that this store did not make came from
// elsewhere and is written whole.
std::optional<ValueList> MergedKey(const KeyChange& change, bool held, const ValueList& mine, const ValueList* base) {
    if (change.whole || (!held && !change.added)) return mine;
    if (base == nullptr) {
        // Made again when this store made it or set a value in it; a key
        // that only lost values here stays deleted.
        const bool sets = std::any_of(change.names.begin(), change.names.end(),
                                      [&mine](const std::string& name) { return mine.Find(name).has_value(); });
        if (!change.added && !sets) return std::nullopt;
    }
    ValueList merged = base != nullptr ? *base : ValueList();
    for (const std::string& name : change.names) {
        if (const auto text = mine.Find(name)) {
            merged.Set(name, text->Joined());
        } else {
            merged.Remove(name);
        }
    }
    return merged;
}

// Whether key lies in the subtree that EraseSubtree(subtree) removes.
bool InSubtree(std::string_view key, std::string_view subtree) {
    if (!key.starts_with(subtree)) return false;
    return key.size() == subtree.size() ? !subtree.empty() : key[subtree.size()] == '\\';
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

FileComparison::FileComparison(const KeyMap& memory, KeyDifference& difference)
    : memory_(memory), difference_(difference), next_(memory.begin()) {}

bool FileComparison::Pass(std::string_view key, const ValueList*& held) {
    held = nullptr;
    if (started_ && !(last_ < key)) ordered_ = false;
    // Out of order, the file is read again whole: nothing more is kept.
    if (!ordered_) return false;
    started_ = true;
    last_.assign(key);
    for (; next_ != memory_.end() && next_->first < key; ++next_) difference_.gone.emplace_back(next_->first);
    if (next_ == memory_.end() || next_->first != key) return true;
    held = &next_->second;
    ++next_;
    return true;
}

bool FileComparison::Keep(std::string_view key, ValueListBuilder& values, ValueList& list) {
    const ValueList* held = nullptr;
    if (!Pass(key, held)) return false;
    if (held == nullptr) return true;
    // A key this store loaded from the file and left alone holds the very
    // block the file's section makes: one comparison of its bytes, and no
    // list is built. Otherwise the values are compared one by one.
    if (values.SameBlockAs(*held)) return false;
    values.MoveInto(list);
    return !SameValues(*held, list);
}

const ValueList* FileComparison::Expected(std::string_view key) const {
    // Looked for from memory's next key on, as Pass will pass it: the keys
    // come in order, and a walk of a step or two costs less than a search
    // of the index in a far part of memory.
    if (!ordered_) return nullptr;
    auto held = next_;
    while (held != memory_.end() && held->first < key) ++held;
    return held != memory_.end() && held->first == key && held->second.Plain() ? &held->second : nullptr;
}

void FileComparison::Matched(std::string_view key) {
    const ValueList* held = nullptr;
    Pass(key, held);
}

bool FileComparison::Finish() {
    for (; next_ != memory_.end(); ++next_) difference_.gone.emplace_back(next_->first);
    return ordered_;
}

void FileComparison::CompareWhole() {
    difference_.gone.clear();
    next_ = memory_.begin();
    started_ = false;
    ordered_ = true;
    KeyMap& keys = difference_.changed;
    for (auto it = keys.begin(); it != keys.end();) {
        const ValueList* held = nullptr;
        const bool keep = Pass(it->first, held) && (held == nullptr || !SameValues(*held, it->second));
        it = keep ? std::next(it) : keys.erase(it, std::next(it));
    }
    Finish();
}

void ApplyChanges(const KnownFile& file, const KeyMap& memory, std::string_view excluded, KeyDifference& difference) {
    const StoreChanges& changes = file.changes;
    KeyMap& changed = difference.changed;
    const auto removedHere = [&changes](std::string_view key) {
        return changes.removedAll || std::any_of(changes.deletedSubtrees.begin(), changes.deletedSubtrees.end(),
                                                 [key](const std::string& subtree) { return InSubtree(key, subtree); });
    };
    const auto heldByFile = [&file](std::string_view key) {
        return !IsExcluded(key, file.leftOut) &&
               !std::binary_search(file.otherKeys.begin(), file.otherKeys.end(), KeyMap::HashOf(key));
    };
    // Every other key ends as memory holds it: the file holds it as memory
    // does, and neither this store's changes nor its removals touch it.
    const std::vector<std::string> goneFromFile = std::move(difference.gone);
    difference.gone.clear();
    std::vector<std::string> keys(goneFromFile);
    for (const auto& entry : changed) keys.emplace_back(entry.first);
    for (const auto& entry : changes.keys) keys.push_back(entry.first);
    if (changes.removedAll) {
        for (const auto& entry : memory) keys.emplace_back(entry.first);
    }
    for (const std::string& subtree : changes.deletedSubtrees) {
        const auto [first, last] = KeysBelow(memory, subtree);
        for (auto it = first; it != last; ++it) keys.emplace_back(it->first);
        if (memory.contains(subtree)) keys.push_back(subtree);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    // What the file holds now of each of these keys is in changed, or it
    // lacks the key (goneFromFile), or it holds the key as memory does.
    for (const std::string& key : keys) {
        const auto mine = memory.find(key);
        const bool inMemory = mine != memory.end();
        const auto change = changes.keys.find(key);
        const auto theirs = changed.find(key);
        // Kept as memory holds it: the keys this save leaves out, and the keys
        // the file did not hold that this store did not change.
        if (IsExcluded(key, excluded) || (inMemory && change == changes.keys.end() && !heldByFile(key))) {
            if (theirs != changed.end()) changed.erase(key);
            continue;
        }
        const ValueList* base = nullptr;
        if (!removedHere(key)) {
            if (theirs != changed.end()) {
                base = &theirs->second;
            } else if (inMemory && !std::binary_search(goneFromFile.begin(), goneFromFile.end(), key)) {
                base = &mine->second;
            }
        }
        std::optional<ValueList> result;
        if (inMemory && change != changes.keys.end()) {
            result = MergedKey(change->second, heldByFile(key), mine->second, base);
        } else if (base != nullptr) {
            result = *base;
        }
        if (!result) {
            if (theirs != changed.end()) changed.erase(key);
            if (inMemory) difference.gone.push_back(key);
        } else if (inMemory && SameValues(*result, mine->second)) {
            if (theirs != changed.end()) changed.erase(key);
        } else if (theirs != changed.end()) {
            theirs->second = std::move(*result);
        } else {
            changed.emplace(key, std::move(*result));
        }
    }
}

void PrepareToTake(KeyMap& memory, const KeyDifference& difference) {
    std::size_t added = 0;
    for (const auto& entry : difference.changed) added += memory.contains(entry.first) ? 0 : 1;
    memory.Reserve(memory.size() + added);
    memory.ReserveArenaFor(difference.changed);
}

void TakeDifference(KeyMap& memory, KeyDifference& difference) noexcept {
    KeyMap& changed = difference.changed;
    for (auto it = changed.begin(); it != changed.end();) {
        const auto mine = memory.find(it->first);
        if (mine == memory.end()) {
            ++it;
            continue;
        }
        swap(mine->second, it->second);
        it = changed.erase(it, std::next(it));
    }
    for (const std::string& key : difference.gone) memory.erase(key);
    difference.gone.clear();
    // Only keys memory lacks are left, and PrepareToTake made their room.
    memory.merge(changed);
}

}  // namespace qor::store
