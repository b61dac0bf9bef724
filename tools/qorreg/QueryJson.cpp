// query --json: a key, its values and its sub-keys as one JSON object on one
// line, for scripts:
//
//   {"key":"HKEY_CURRENT_USER\\SOFTWARE\\X",
//    "values":[{"name":"GAMMA","type":"REG_DWORD","data":3}, ...],
//    "subkeys":[{"key":...}, ...]}
//
// data is a number for a DWORD, lower-case hexadecimal digits for a byte
// list and for a raw text (a typed byte list as another program wrote it:
// its bytes; any other raw text: the bytes of the text), else the text.
// Without -s each sub-key is an object with its "key" only; with -s it
// holds its own values and sub-keys, down to the last key.
#include <sstream>

#include "Format.h"
#include "Json.h"
#include "Verbs.h"

namespace qorreg {
namespace {

void WriteJsonText(std::ostream& out, const std::string& text) { out << JsonString(text); }

// The data member's value for one stored value.
void WriteJsonData(std::ostream& out, CRegExt& handle, const StoredValue& value) {
    const ValueData data = ReadValueData(handle, value);
    unsigned typeNumber = 0;
    std::string byteList;
    if (data.type == ValueType::Dword) {
        out << data.number;
    } else if (data.type == ValueType::Binary) {
        WriteJsonText(out, FormatBytes(data.bytes));
    } else if (data.type == ValueType::String) {
        WriteJsonText(out, data.text);
    } else if (SplitTypedByteList(value.text, typeNumber, byteList)) {
        std::string digits;
        for (char c : byteList) {
            if (c != ',' && c != ' ') digits += (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        WriteJsonText(out, digits);
    } else {
        WriteJsonText(out, FormatBytes(std::vector<BYTE>(value.text.begin(), value.text.end())));
    }
}

struct JsonQuery {
    CIniClass& store;
    const KeyTree& tree;
    const std::string* onlyName;
    bool subtree;
    bool anyValue = false;

    void WriteKey(std::ostream& out, const std::string& key, bool withContents) {
        out << "{\"key\":";
        WriteJsonText(out, key);
        if (!withContents) {
            out << '}';
            return;
        }
        CRegExt handle;
        CRegExt noParent;
        handle.OpenReadOnly(key.c_str(), &noParent);
        out << ",\"values\":[";
        bool first = true;
        for (const StoredValue& value : ReadValues(store, key)) {
            if (onlyName != nullptr && value.name != *onlyName) continue;
            out << (first ? "" : ",") << "{\"name\":";
            WriteJsonText(out, value.name);
            out << ",\"type\":";
            WriteJsonText(out, TypeNameOf(value.text));
            out << ",\"data\":";
            WriteJsonData(out, handle, value);
            out << '}';
            first = false;
            anyValue = true;
        }
        out << "],\"subkeys\":[";
        first = true;
        for (const std::string& child : ChildPaths(tree, key)) {
            out << (first ? "" : ",");
            WriteKey(out, child, subtree);
            first = false;
        }
        out << "]}";
    }
};

}  // namespace

int QueryJson(const Options& options, CIniClass& store, const KeyTree& tree, const std::string& key, Io& io) {
    const std::string name = UpperAscii(options.value);
    JsonQuery query{store, tree, options.Has(kOptValue) ? &name : nullptr, options.Has(kOptSubtree)};
    std::ostringstream text;
    query.WriteKey(text, key, true);
    if (query.onlyName != nullptr && !query.anyValue) {
        return Fail(io, kExitNotFound, "value not found: " + name + (query.subtree ? " under " : " in ") + key);
    }
    io.out << text.str() << '\n';
    return kExitOk;
}

}  // namespace qorreg
