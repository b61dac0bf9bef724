// The texts that mark the files this store reads and writes, and what the
// store file reader and the file check share about the end marker.
#ifndef QOR_STORE_STOREFILE_H
#define QOR_STORE_STOREFILE_H

#include <cstddef>
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

}  // namespace qor::store

#endif
