// The store file: REGEDIT4 lines, each ending in CR LF.
//
//   REGEDIT4
//   [KEY]                  one section per key, keys in ascending byte order
//                          (the key CINICHECKFILEVALID as [[CINICHECKFILEVALID])
//   "NAME"=FIELD           the key's values in ascending name order; FIELD
//                          as RegWriter.h writes it for the store file
//   [CINICHECKFILEVALID]   the marker: the file was written to its end
//
// Reading follows RegLines.cpp with the store file's rules: the marker line
// is skipped, a key named twice (or already in the store) fails the load,
// and a string that begins with a backslash pair keeps all its pairs.
#include <algorithm>
#include <new>
#include <vector>

#include "platform/Platform.h"
#include "store/IniClassInternal.h"
#include "store/KeyMap.h"
#include "store/KnownFiles.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "store/StoreLock.h"
#include "store/StoreFile.h"
#include "store/TextEdit.h"
#include "util/SmallText.h"
#include "CStoreFileLock.h"

using qor::TextOrEmpty;
using qor::store::KeyMap;

namespace {

using qor::store::kMarkerKey;
using qor::store::kMarkerLine;
// kMarkerKey's section line would be the marker line (an import makes that
// key from a section of that name). It is written with one more leading "[":
// readers strip every leading "[", so it loads back as the same key instead
// of being skipped as the marker with its values falling to the key before.

// The file goes to the platform in pieces of about this size, so that a
// large store is never held a second time as one text.
constexpr std::size_t kPieceSize = 1 << 20;

// Writes keys (memory as difference changes it) as a store file. unfit
// receives the hash of each key left out for its length (KeyMap::HashOf),
// ascending.
bool WriteStoreFileText(const KeyMap& keys, const qor::store::KeyDifference& difference,
                        std::string_view excludedPrefix, const qor::platform::PieceWriter& write,
                        std::vector<std::uint64_t>& unfit) {
    const auto kept = [excludedPrefix](std::string_view key) {
        return excludedPrefix.empty() || !key.starts_with(excludedPrefix);
    };
    // A small store asks for what it needs, not for the whole piece. A
    // piece is written once it holds kPieceSize bytes, so room for a few
    // keys' lines more covers all but a very large key (which grows the
    // buffer): every page asked for is a fresh page the save touches.
    qor::store::LineWriter piece(qor::store::WrittenSizeEstimate(keys, kept, kPieceSize + kPieceSize / 16));
    piece.Append(qor::store::kRegedit4Header);
    piece.Append("\r\n");
    const bool written =
        qor::store::ForEachKeyWith(keys, difference, [&](std::string_view key, const qor::store::ValueList& values) {
            if (!kept(key)) return true;
            // A key that one section line cannot hold is left out with its values.
            if (key == kMarkerKey) piece.Append("[");
            if (!piece.KeyLines(key, values, qor::store::DwordField::StoreFile)) {
                unfit.push_back(KeyMap::HashOf(key));
                return true;
            }
            if (piece.Size() < kPieceSize) return true;
            if (!write(piece.Text())) return false;
            piece.Clear();
            return true;
        });
    if (!written) return false;
    piece.Append(kMarkerLine);
    piece.Append("\r\n");
    std::sort(unfit.begin(), unfit.end());
    return write(piece.Text());
}

// Reads the store file at path into an empty map by the store file's rules
// and limits, with the identity of the file read. onlyKey, when given:
// only that key's values are kept; sink, when given: only the sections it
// keeps.
bool ReadStoreFile(const std::string& path, KeyMap& target, const KeyMap* taken, qor::platform::FileIdentity& identity,
                   const std::string_view* onlyKey = nullptr, qor::store::RegSectionSink* sink = nullptr) {
    qor::store::RegLineReader reader(qor::store::kStoreFileRules, target, taken);
    if (onlyKey != nullptr) reader.KeepValuesOf(*onlyKey);
    if (sink != nullptr) reader.OfferSectionsTo(*sink);
    // A file larger than the bound is refused before it is read, and one
    // that grows past it while read stops the read.
    // The length of the file, known once it is open, sizes a whole load's blocks.
    const bool whole = onlyKey == nullptr && sink == nullptr;
    bool first = true;
    const auto read = [&](std::string_view piece) {
        if (first && whole) reader.ExpectFileBytes(identity.size);
        first = false;
        return reader.Read(piece);
    };
    if (!qor::platform::ReadFileInPieces(path, read, CIniClass::kMaxFileBytes, &identity)) return false;
    reader.Finish();
    return true;
}

// Reads the store file at path as ReadStoreFile does, as its difference
// from memory: the keys that differ, not a second copy of the store. A file
// whose keys are out of order is read again whole and then compared. On
// false the difference is empty.
bool ReadDifference(const std::string& path, const KeyMap& memory, qor::store::KeyDifference& difference,
                    qor::platform::FileIdentity& identity) {
    qor::store::FileComparison comparison(memory, difference);
    bool read = ReadStoreFile(path, difference.changed, nullptr, identity, nullptr, &comparison);
    if (read && !comparison.Finish()) {
        difference.changed.clear();
        read = ReadStoreFile(path, difference.changed, nullptr, identity);
        if (read) comparison.CompareWhole();
    }
    if (!read) {
        difference.changed.clear();
        difference.gone.clear();
    }
    return read;
}

}  // namespace

bool qor::store::ReadOneStoredValue(const std::string& path, std::string_view key, std::string_view name,
                                    std::string& text) {
    try {
        KeyMap keys;
        qor::platform::FileIdentity identity;
        if (!ReadStoreFile(path, keys, nullptr, identity, &key)) return false;
        const auto it = keys.find(key);
        if (it == keys.end()) return false;
        const auto found = it->second.Find(name);
        if (!found) return false;
        text.clear();
        found->AppendTo(text);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// A file that another writer changed since this store last loaded or saved
// it is read again and this store's changes are applied to it
// (store/KnownFiles.h); otherwise the store is written as it stands. Either
// way under the writers' lock, which holds off every other writer from the
// read to the rename. Nothing of the store, the file or what is remembered
// changes unless the new file is in place.
int CIniClass::SaveFile(const char* path, const char* excludedPrefix) {
    if (path == nullptr) return 0;
    try {
        KeyMap& keys = qor::store::KeysOf(*this);
        qor::store::KnownFiles& known = m_impl->files;
        const std::string_view excluded = TextOrEmpty(excludedPrefix);
        const qor::store::StoreLock lock(path, true, CStoreFileLock::kLibraryWaitMilliseconds);
        if (!lock.Held()) return 0;
        qor::store::KnownFile saved{lock.StoreFile(), {}, std::string(excluded), {}, {}};
        const qor::store::KnownFile* before = known.Find(saved.path);
        // The merged keys are held as their difference from the store, which
        // the store takes in only once the new file is in place. A file that
        // cannot be read as a store is written over, as always.
        qor::store::KeyDifference difference;
        const bool merging = before != nullptr && qor::platform::IdentityOf(saved.path) != before->identity &&
                             ReadDifference(saved.path, keys, difference, saved.identity);
        if (merging) {
            qor::store::ApplyChanges(*before, keys, excluded, difference);
            qor::store::PrepareToTake(keys, difference);
        }
        known.Reserve();
        const bool replaced =
            qor::platform::ReplaceFileAtomicallyFrom(path, [&](const qor::platform::PieceWriter& write) {
                saved.otherKeys.clear();
                return WriteStoreFileText(keys, difference, excluded, write, saved.otherKeys);
            });
        if (!replaced) return 0;
        // The rename gave the file a new identity; the lock still holds off
        // every other writer.
        saved.identity = qor::platform::IdentityOf(saved.path);
        if (merging) {
            qor::store::TakeDifference(keys, difference);
            known.ForgetAllBut(saved.path);
        }
        known.Remember(std::move(saved));
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CIniClass::LoadFile(const char* path) {
    if (path == nullptr) return 0;
    qor::store::KnownFiles& known = m_impl->files;
    try {
        // The whole file goes into a staging map first, so that a failed
        // load leaves the store exactly as it was. It is read in pieces, so
        // the file's bytes are never held whole beside the store.
        KeyMap staging;
        KeyMap& keys = qor::store::KeysOf(*this);
        // The keys the store holds already are not the file's.
        qor::store::KnownFile loaded{qor::store::ResolvedStorePath(path), {}, {}, keys.SortedHashes(), {}};
        if (!ReadStoreFile(path, staging, &keys, loaded.identity)) {
            // A missing file is remembered as such: should it exist at the
            // next save, another writer made it.
            if (!loaded.path.empty() && !qor::platform::IdentityOf(loaded.path).exists) {
                loaded.identity = {};
                known.Reserve();
                known.Remember(std::move(loaded));
            }
            return 0;
        }
        known.KeysJoined(staging, true);
        known.Reserve();
        if (keys.empty()) {
            keys.swap(staging);
        } else {
            keys.merge(staging);
        }
        known.Remember(std::move(loaded));
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

// Walks back from the last byte over at most the last 260 bytes, never the
// first byte of the file: the marker counts only as a whole line with a
// line end before it inside that window.
bool qor::store::EndsWithMarkerLine(std::string_view bytes) {
    const std::size_t lowest = bytes.size() > kMarkerWindow ? bytes.size() - kMarkerWindow : 1;
    std::size_t lineEnd = bytes.size();
    for (std::size_t at = bytes.size(); at-- > lowest;) {
        if (!qor::store::IsLineEnd(bytes[at])) continue;
        if (bytes.substr(at + 1, lineEnd - at - 1) == kMarkerLine) return true;
        lineEnd = at;
    }
    return false;
}

int CIniClass::IsFileValid(const char* path) {
    if (path == nullptr) return 0;
    // Only the end of the file counts, so only the end is read, whatever the
    // file's length. One byte more than the window lets EndsWithMarkerLine
    // tell a longer file (the window's first byte may be a line end) from a
    // file that short (its first byte never is).
    std::string tail;
    if (!qor::platform::ReadFileTail(path, qor::store::kMarkerWindow + 1, tail) || tail.empty()) return 0;
    return qor::store::EndsWithMarkerLine(tail) ? 1 : 0;
}
