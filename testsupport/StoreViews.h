// A store seen as plain texts, for tests of every room: a value's text,
// the key list, the whole store as lines or as a comparable map.
#ifndef QOR_TESTSUPPORT_STOREVIEWS_H
#define QOR_TESTSUPPORT_STOREVIEWS_H

#include <map>
#include <string>
#include <vector>

#include "CIniClass.h"
#include "store/KeyMap.h"

namespace qor::testkit {

// The value's stored text, or "(missing)".
inline std::string ValueOf(CIniClass& store, const char* key, const char* name) {
    CString out;
    return store.GetValue(key, name, out) ? out.str() : std::string("(missing)");
}

inline std::vector<std::string> TextsOf(const CStringArray& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetSize(); ++i) texts.push_back(list[i].str());
    return texts;
}

inline std::vector<std::string> AllKeysOf(CIniClass& store) {
    CStringArray list;
    store.GetAllKeys(list);
    return TextsOf(list);
}

// Every key in store order followed by its value lines ("NAME = text").
inline std::vector<std::string> StoreLines(CIniClass& store) {
    CStringArray list;
    for (const std::string& key : AllKeysOf(store)) {
        list.Add(CString("[" + key + "]"));
        store.GetValueLines(key.c_str(), list);
    }
    return TextsOf(list);
}

// Key -> (value name -> stored text): the whole store, comparable with ==.
using Snapshot = std::map<std::string, std::map<std::string, std::string>>;

inline Snapshot SnapshotOf(const CIniClass& store) {
    Snapshot snapshot;
    for (const auto& [key, values] : store::KeysOf(store)) {
        auto& names = snapshot[std::string(key)];
        for (std::size_t i = 0; i < values.Size(); ++i) {
            const auto entry = values.At(i);
            names[std::string(entry.name)] = std::string(entry.text);
        }
    }
    return snapshot;
}

}  // namespace qor::testkit

#endif
