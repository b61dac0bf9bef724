// REGEDIT4 export and import.
//
// The TWAIN export, every line ending in CR LF, no marker line:
//
//   REGEDIT4
//   [TWAIN Export]
//   TWAIN_EXPORT=dword:00000001
//   [KEY]                  each key whose text contains the filter
//   "NAME"=FIELD           FIELD as RegWriter.h writes it for the export
//
// The application export, appended to its file, no header and no marker:
//
//   [RELATIVE KEY]         the key text with B removed wherever it occurs,
//                          B being the filter up to its last backslash
//   "NAME"=TEXT            the stored text less its prefix, as it stands
//
// The import reads REGEDIT4 lines by RegLines.cpp with the import's rules
// and merges them into the store: all of it, or none of it when the text
// cannot be read to its end (memory runs out). A text that starts with the
// UTF-16LE byte-order mark (what Windows' registry tools write by default)
// is first converted to the store's 8-bit text; one that cannot be converted imports
// nothing. A leading UTF-8 byte-order mark is skipped.
#include "platform/Platform.h"
#include "store/IniClassInternal.h"
#include "store/KeyMap.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"
#include "store/StoreFile.h"
#include "store/StoreLock.h"
#include "store/TextEdit.h"
#include "CStoreFileLock.h"
#include "store/ValueText.h"
#include "util/SmallText.h"

#include <limits>
#include <new>

using qor::TextOrEmpty;
using qor::store::KeyMap;

namespace {

// A key the export writes: its text contains the filter, and one section
// line holds it.
bool Exported(std::string_view key, std::string_view filter) {
    return qor::store::Contains(key, filter) && qor::store::FitsSectionLine(key);
}

std::size_t ExportSize(const KeyMap& keys, std::string_view filter) {
    const auto wanted = [filter](std::string_view key) { return Exported(key, filter); };
    return qor::store::WrittenSizeEstimate(keys, wanted, std::numeric_limits<std::size_t>::max());
}

std::string TwainExportText(const KeyMap& keys, std::string_view filter) {
    constexpr std::string_view kHeader = "\r\n[TWAIN Export]\r\nTWAIN_EXPORT=dword:00000001\r\n";
    qor::store::LineWriter text(qor::store::kRegedit4Header.size() + kHeader.size() + ExportSize(keys, filter));
    text.Append(qor::store::kRegedit4Header);
    text.Append(kHeader);
    for (const auto& [key, values] : keys) {
        if (qor::store::Contains(key, filter)) text.KeyLines(key, values, qor::store::DwordField::TwainExport);
    }
    return text.Release();
}

std::string AppExportText(const KeyMap& keys, std::string_view filter) {
    const std::size_t lastBackslash = filter.rfind('\\');
    const std::string_view base =
        lastBackslash == std::string_view::npos ? std::string_view() : filter.substr(0, lastBackslash + 1);
    std::string text, relative;
    text.reserve(ExportSize(keys, filter));
    for (const auto& [key, values] : keys) {
        if (!Exported(key, filter)) continue;
        relative.assign(key);
        if (!base.empty()) qor::store::ReplaceEvery(relative, base, "");
        qor::store::AppendSectionLine(text, relative);
        for (std::size_t i = 0; i < values.Size(); ++i) {
            const auto entry = values.At(i);
            text.append("\"").append(entry.name).append("\"=");
            text.append(entry.text.body).append("\r\n");
        }
    }
    return text;
}

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Imports bytes into keys: 1, or 0 when a UTF-16 text cannot be converted
// or memory runs out. The text is read into a staging map first and merged
// only when all of it was read, so a failed import changes nothing.
int ImportBytes(CIniClass& store, std::string_view bytes) {
    try {
        std::string converted;
        if (bytes.starts_with(kUtf16LeMark)) {
            if (!qor::platform::Utf16LeToNarrow(bytes.substr(kUtf16LeMark.size()), converted)) return 0;
            bytes = converted;
        } else if (bytes.starts_with(kUtf8Mark)) {
            bytes.remove_prefix(kUtf8Mark.size());
        }
        KeyMap staging;
        qor::store::ReadRegLines(bytes, qor::store::kImportRules, staging, nullptr);
        qor::store::Internal(store).files.KeysJoined(staging, false);
        qor::store::KeysOf(store).MergeReplacing(staging);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace

int CIniClass::ExportText(const char* filter, CString& out) {
    out = CString(TwainExportText(qor::store::KeysOf(*this), TextOrEmpty(filter)));
    return 1;
}

int CIniClass::ExportFile(const char* filter, const char* path) {
    if (path == nullptr) return 0;
    const std::string text = TwainExportText(qor::store::KeysOf(*this), TextOrEmpty(filter));
    const qor::store::StoreLock lock(path, false, CStoreFileLock::kLibraryWaitMilliseconds);
    return lock.MayWrite() && qor::platform::ReplaceFileAtomically(path, text) ? 1 : 0;
}

int CIniClass::ExportAppFile(const char* filter, const char* path) {
    if (path == nullptr) return 0;
    const std::string text = AppExportText(qor::store::KeysOf(*this), TextOrEmpty(filter));
    const qor::store::StoreLock lock(path, false, CStoreFileLock::kLibraryWaitMilliseconds);
    return lock.MayWrite() && qor::platform::AppendToFile(path, text) ? 1 : 0;
}

int CIniClass::ImportText(const CString& text) {
    if (text.IsEmpty()) return 0;
    return ImportBytes(*this, text.str());
}

int CIniClass::ImportFile(const char* path) {
    if (path == nullptr) return 0;
    try {
        std::string bytes;
        // A file larger than the bound is refused before it is read.
        if (!qor::platform::ReadWholeFile(path, bytes, CIniClass::kMaxFileBytes)) return 0;
        return ImportBytes(*this, bytes);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
