// The few pieces of JSON that qorreg writes: strings, escaped as JSON
// requires; bytes that are not valid UTF-8 are written as \u00XX of the byte.
#ifndef QORREG_JSON_H
#define QORREG_JSON_H

#include <string>
#include <string_view>

namespace qorreg {

// text as a JSON string, quotes included.
std::string JsonString(std::string_view text);

}  // namespace qorreg

#endif
