// Every verb's --json output, written with nlohmann-json. A value has one
// shape wherever it appears:
//
//   {"name": "GAMMA", "type": "REG_DWORD", "data": 3, "raw": "dword:00000003"}
//
// data is a number for a DWORD, lower-case hexadecimal digits for a byte
// list and for a raw text (a typed byte list as another program wrote it:
// its bytes; any other raw text: the bytes of the text), else the text; raw
// is the text as the file holds it. Human sentences appear only in a
// "message" member. JSON texts are UTF-8: a byte that is not UTF-8 (a file
// in another code page read without --codepage) is written as U+FFFD.
#ifndef QOR_TOOLS_QORREG_JSON_H
#define QOR_TOOLS_QORREG_JSON_H

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "StoreView.h"

namespace qor::qorreg {

using Json = nlohmann::ordered_json;

// The value object of value, stored under key in store.
Json ValueJson(CIniClass& store, const std::string& key, const StoredValue& value);
// json on one line, then a line end.
void WriteJson(std::ostream& out, const Json& json);

}  // namespace qor::qorreg

#endif
