// What the store file reader and the file check share about the end marker.
#ifndef QOR_STORE_STOREFILE_H
#define QOR_STORE_STOREFILE_H

#include <cstddef>
#include <string_view>

namespace qor::store {

// The marker counts only within this many bytes of the file's end.
inline constexpr std::size_t kMarkerWindow = 260;

// True when the marker line [CINICHECKFILEVALID] stands as a whole line,
// with a line end before it, within the last kMarkerWindow bytes of bytes
// (which may be just the file's end). IsFileValid's rule.
bool EndsWithMarkerLine(std::string_view bytes);

}  // namespace qor::store

#endif
