// Read-only views of a store that the verbs share: a key's values sorted by
// name, the key tree below a key, and a snapshot of every key and value.
// Names and keys are compared and sorted by their bytes (unsigned), the
// order in which the store enumerates sub-keys.
#ifndef QOR_TOOLS_QORREG_STOREVIEW_H
#define QOR_TOOLS_QORREG_STOREVIEW_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include <QorCommonLib.h>

#include "Format.h"

namespace qor::qorreg {

struct StoredValue {
    std::string name;  // as stored: upper case
    std::string text;  // encoded text with its type prefix
};

// The values of key (exact stored text), sorted by name.
std::vector<StoredValue> ReadValues(CIniClass& store, const std::string& key);

// True when the store holds key or any key below it.
bool KeyIsPresent(CIniClass& store, const std::string& key);

// Every path at or below key mapped to the names of the keys directly below
// it. Paths that exist only as parts of deeper keys are included, as the
// store's sub-key enumeration includes them.
using KeyTree = std::map<std::string, std::set<std::string>>;
KeyTree BuildKeyTree(CIniClass& store, const std::string& key);

// Full paths of the keys directly below key, in order.
std::vector<std::string> ChildPaths(const KeyTree& tree, const std::string& key);
// key, then depth first every path below it, children in order.
std::vector<std::string> SubtreePaths(const KeyTree& tree, const std::string& key);

// What a value holds, read back through the library's typed getters: the
// number of a DWORD, the bytes of a byte list, the text of anything else
// (the stored text itself when the key cannot be opened, such as a key path
// too long for a handle; then type is Untyped).
struct ValueData {
    ValueType type;
    DWORD number = 0;
    std::vector<BYTE> bytes;
    std::string text;
};
// handle is the value's key opened read-only.
ValueData ReadValueData(CRegExt& handle, const StoredValue& value);

// Every key with its values by name.
using Snapshot = std::map<std::string, std::map<std::string, std::string>>;
Snapshot TakeSnapshot(CIniClass& store);

// True when a value's text in before and in after read the same: the same
// text, or two DWORD texts of one number (4294967295 and -1).
bool ReadsTheSame(CIniClass& before, CIniClass& after, const std::string& key, const std::string& name,
                  const std::string& textBefore, const std::string& textAfter);
// The keys ("key K") and values ("value N of K") of wanted, taken from
// store, that back does not hold as they are.
std::vector<std::string> NotReadBack(CIniClass& store, const Snapshot& wanted, CIniClass& back);
// Adds every key and value of source to target, replacing values of the same name.
void MergeInto(CIniClass& target, CIniClass& source);

}  // namespace qor::qorreg

#endif
