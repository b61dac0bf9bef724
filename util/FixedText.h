// The one checked copy into a fixed-size text field (szKey, sub-key node
// names, path buffers). A text that does not fit with its terminator is
// refused and the field is left unchanged.
#ifndef QOR_UTIL_FIXEDTEXT_H
#define QOR_UTIL_FIXEDTEXT_H

#include <cstddef>
#include <cstring>
#include <string_view>

namespace qor {

// Copies text and a terminator into field of capacity bytes. Returns false,
// changing nothing, when it does not fit (or the field is null / empty).
inline bool CopyFixed(char* field, std::size_t capacity, std::string_view text) {
    if (field == nullptr || capacity == 0 || text.size() >= capacity) return false;
    if (!text.empty()) std::memmove(field, text.data(), text.size());
    field[text.size()] = '\0';
    return true;
}

template <std::size_t N>
inline bool CopyFixed(char (&field)[N], std::string_view text) {
    return CopyFixed(field, N, text);
}

// The text of a fixed field up to its terminator, never past its capacity.
template <std::size_t N>
inline std::string_view FixedView(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

}  // namespace qor

#endif
