// query --json: a key, its values and its sub-keys as one JSON object on one
// line, for scripts:
//
//   {"key":"HKEY_CURRENT_USER\\SOFTWARE\\X",
//    "values":[{"name":"GAMMA","type":"REG_DWORD","data":3,"raw":"dword:00000003"}, ...],
//    "subkeys":[{"key":...}, ...]}
//
// Each value is the value object of Json.h. Without -s each sub-key is an
// object with its "key" only; with -s it holds its own values and sub-keys,
// down to the last key.
#include "Json.h"
#include "Text.h"
#include "Verbs.h"

namespace qor::qorreg {
namespace {

struct JsonQuery {
    CIniClass& store;
    const KeyTree& tree;
    const std::string* onlyName;
    bool subtree;
    bool anyValue = false;

    Json Key(const std::string& key, bool withContents) {
        Json object{{"key", Utf8Of(key)}};
        if (!withContents) return object;
        Json values = Json::array();
        for (const StoredValue& value : ReadValues(store, key)) {
            if (onlyName != nullptr && value.name != *onlyName) continue;
            values.push_back(ValueJson(store, key, value));
            anyValue = true;
        }
        Json subkeys = Json::array();
        for (const std::string& child : ChildPaths(tree, key)) subkeys.push_back(Key(child, subtree));
        object["values"] = std::move(values);
        object["subkeys"] = std::move(subkeys);
        return object;
    }
};

}  // namespace

int QueryJson(const Options& options, CIniClass& store, const KeyTree& tree, const std::string& key, Io& io) {
    const std::string name = UpperAscii(options.value);
    JsonQuery query{store, tree, options.Has(kOptValue) ? &name : nullptr, options.Has(kOptSubtree)};
    const Json result = query.Key(key, true);
    if (query.onlyName != nullptr && !query.anyValue) {
        return Fail(io, kExitNotFound, "value not found: " + name + (query.subtree ? " under " : " in ") + key);
    }
    WriteJson(io.out, result);
    return kExitOk;
}

}  // namespace qor::qorreg
