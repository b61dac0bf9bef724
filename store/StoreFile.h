// The texts that mark the files this store reads and writes, and what the
// store file reader and the file check share about the end marker.
#ifndef QOR_STORE_STOREFILE_H
#define QOR_STORE_STOREFILE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace qor::store {

// The first line of a store file and of a REGEDIT4 export.
inline constexpr std::string_view kRegedit4Header = "REGEDIT4";
// The first line of a regedit file of version 5 (written in UTF-16LE).
inline constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
// The last line of a store file written to its end, and the key it names.
inline constexpr std::string_view kMarkerLine = "[CINICHECKFILEVALID]";
inline constexpr std::string_view kMarkerKey = kMarkerLine.substr(1, kMarkerLine.size() - 2);

// The marker counts only within this many bytes of the file's end.
inline constexpr std::size_t kMarkerWindow = 260;

// True when the marker line [CINICHECKFILEVALID] stands as a whole line,
// with a line end before it, within the last kMarkerWindow bytes of bytes
// (which may be just the file's end). IsFileValid's rule.
bool EndsWithMarkerLine(std::string_view bytes);

// Reads the text of value name of key (both upper-case) from the store file
// at path, as a load of that file into an empty store and a read of the
// value would give it: by the same rules and limits (a file that names a key
// twice or is too large gives nothing), but keeping no other key's values.
// False when there is no such value.
bool ReadOneStoredValue(const std::string& path, std::string_view key, std::string_view name, std::string& text);

}  // namespace qor::store

#endif
