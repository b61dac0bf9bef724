// Small in-place text edits shared by the store's readers and writers.
#ifndef QOR_STORE_TEXTEDIT_H
#define QOR_STORE_TEXTEDIT_H

#include <cstdint>
#include <string>
#include <string_view>

namespace qor::store {

inline bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Replaces every occurrence of from (not empty) by to, which must not be
// longer, scanning left to right; a replacement is never scanned again.
void ReplaceEvery(std::string& text, std::string_view from, std::string_view to);

// Appends the number in decimal ("%d", "%u").
void AppendDecimal(std::string& out, std::int32_t value);
void AppendDecimal(std::string& out, std::uint32_t value);
}  // namespace qor::store

#endif
