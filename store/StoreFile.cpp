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
#include <new>

#include "platform/Platform.h"
#include "store/KeyMap.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "store/StoreLimits.h"
#include "store/StoreLock.h"
#include "store/StoreFile.h"
#include "store/TextEdit.h"
#include "CStoreFileLock.h"

using qor::store::KeyMap;
using qor::store::TextOf;

namespace {

constexpr std::string_view kMarkerLine = "[CINICHECKFILEVALID]";
// The key whose section line would be the marker line (an import makes it
// from a section of that name). It is written with one more leading "[":
// readers strip every leading "[", so it loads back as the same key instead
// of being skipped as the marker with its values falling to the key before.
constexpr std::string_view kMarkerKey = kMarkerLine.substr(1, kMarkerLine.size() - 2);

// The file goes to the platform in pieces of about this size, so that a
// large store is never held a second time as one text.
constexpr std::size_t kPieceSize = 1 << 20;

bool WriteStoreFileText(const KeyMap& keys, std::string_view excludedPrefix, const qor::platform::PieceWriter& write) {
    const auto kept = [excludedPrefix](std::string_view key) {
        return excludedPrefix.empty() || !key.starts_with(excludedPrefix);
    };
    // A small store asks for what it needs, not for the whole piece.
    qor::store::LineWriter piece(qor::store::WrittenSizeEstimate(keys, kept, kPieceSize + kPieceSize / 2));
    piece.Append("REGEDIT4\r\n");
    for (const auto& [key, values] : keys) {
        if (!kept(key)) continue;
        // A key that one section line cannot hold is left out with its values.
        if (key == kMarkerKey) {
            piece.Append("[");
            piece.SectionLine(key);
        } else if (!piece.SectionLineIfFits(key)) {
            continue;
        }
        values.ForEach([&](const qor::store::ValueList::Entry& entry) {
            piece.ValueLine(entry.name, entry.text, qor::store::DwordField::StoreFile);
        });
        if (piece.Size() >= kPieceSize) {
            if (!write(piece.Text())) return false;
            piece.Clear();
        }
    }
    piece.Append(kMarkerLine);
    piece.Append("\r\n");
    return write(piece.Text());
}

}  // namespace

int CIniClass::SaveFile(const char* path, const char* excludedPrefix) {
    if (path == nullptr) return 0;
    try {
        const KeyMap& keys = qor::store::KeysOf(*this);
        const std::string_view excluded = TextOf(excludedPrefix);
        const qor::store::StoreLock lock(path, false, CStoreFileLock::kLibraryWaitMilliseconds);
        if (!lock.MayWrite()) return 0;
        const bool written = qor::platform::ReplaceFileAtomicallyFrom(
            path, [&](const qor::platform::PieceWriter& write) { return WriteStoreFileText(keys, excluded, write); });
        return written ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CIniClass::LoadFile(const char* path) {
    if (path == nullptr) return 0;
    try {
        // The whole file goes into a staging map first, so that a failed
        // load leaves the store exactly as it was. It is read in pieces, so
        // the file's bytes are never held whole beside the store.
        KeyMap staging;
        KeyMap& keys = qor::store::KeysOf(*this);
        qor::store::RegLineReader reader(qor::store::kStoreFileRules, staging, &keys);
        // A file larger than the bound is refused before it is read, and
        // one that grows past it while read stops the read; either way
        // nothing of it is merged.
        const auto read = [&reader](std::string_view piece) { return reader.Read(piece); };
        if (!qor::platform::ReadFileInPieces(path, read, store::kMaxFileBytes)) {
            return 0;
        }
        reader.Finish();
        if (keys.empty()) {
            keys.swap(staging);
        } else {
            keys.merge(staging);
        }
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
