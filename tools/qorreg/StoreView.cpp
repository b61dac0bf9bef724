#include "StoreView.h"

#include <algorithm>

namespace qor::qorreg {
namespace {

constexpr std::string_view kLineJoint = " = ";

// GetValueLines gives "NAME = text"; a name may itself hold " = ", so the
// cut is taken where the store confirms the name and text.
bool SplitValueLine(CIniClass& store, const std::string& key, const std::string& line, StoredValue& value) {
    for (std::size_t at = line.find(kLineJoint); at != std::string::npos; at = line.find(kLineJoint, at + 1)) {
        std::string name = line.substr(0, at);
        std::string text = line.substr(at + kLineJoint.size());
        CString stored;
        if (store.GetValue(key.c_str(), name.c_str(), stored) && text == stored.GetString()) {
            value = {name, text};
            return true;
        }
    }
    return false;
}

void AppendSubtree(const KeyTree& tree, const std::string& key, std::vector<std::string>& paths) {
    paths.push_back(key);
    for (const std::string& child : ChildPaths(tree, key)) AppendSubtree(tree, child, paths);
}

// The number a value reads as through the library's DWORD getter, with
// store attached for the moment of the read.
DWORD ReadDword(CIniClass& store, const std::string& key, const std::string& name) {
    CIniClass* attached = CRegExt::m_pIni;
    CRegExt().SetObject(&store);
    CRegExt handle;
    CRegExt noParent;
    DWORD number = 0;
    if (handle.OpenReadOnly(key.c_str(), &noParent) == 1) handle.GetDWord(number, name.c_str());
    CRegExt().SetObject(attached);
    return number;
}

}  // namespace

bool ReadsTheSame(CIniClass& before, CIniClass& after, const std::string& key, const std::string& name,
                  const std::string& textBefore, const std::string& textAfter) {
    if (textBefore == textAfter) return true;
    return TypeOfStoredText(textBefore) == ValueType::Dword && TypeOfStoredText(textAfter) == ValueType::Dword &&
           ReadDword(before, key, name) == ReadDword(after, key, name);
}

std::vector<std::string> NotReadBack(CIniClass& store, const Snapshot& wanted, CIniClass& back) {
    std::vector<std::string> lost;
    const Snapshot readBack = TakeSnapshot(back);
    for (const auto& [key, values] : wanted) {
        const auto found = readBack.find(key);
        if (found == readBack.end()) {
            lost.push_back("key " + key);
            continue;
        }
        for (const auto& [name, text] : values) {
            const auto value = found->second.find(name);
            if (value == found->second.end() || !ReadsTheSame(store, back, key, name, text, value->second)) {
                lost.push_back(std::string("value ").append(name).append(" of ").append(key));
            }
        }
    }
    return lost;
}

void MergeInto(CIniClass& target, CIniClass& source) {
    for (const auto& [key, values] : TakeSnapshot(source)) {
        target.AddKey(key.c_str());
        for (const auto& [name, text] : values) target.SetValue(key.c_str(), name.c_str(), text.c_str());
    }
}

ValueData ReadValueData(CRegExt& handle, const StoredValue& value) {
    if (handle.m_fOpen != 1) return {ValueType::Untyped, 0, {}, value.text};
    const char* name = value.name.c_str();
    ValueData data{TypeOfStoredText(value.text), 0, {}, {}};
    if (data.type == ValueType::Dword) {
        handle.GetDWord(data.number, name);
        return data;
    }
    CString text;
    handle.GetString(text, name, 0);
    if (data.type != ValueType::Binary) {
        data.text = text.GetString();
    } else if (!text.IsEmpty()) {
        // One byte per comma-separated piece.
        data.bytes.resize(1 + static_cast<std::size_t>(std::count(text.str().begin(), text.str().end(), ',')));
        DWORD unused = 0;
        handle.GetBinary(data.bytes.data(), &unused, name);
    }
    return data;
}

std::vector<StoredValue> ReadValues(CIniClass& store, const std::string& key) {
    CStringArray lines;
    store.GetValueLines(key.c_str(), lines);
    std::vector<StoredValue> values;
    for (CStringArray::INT_PTR i = 0; i < lines.GetSize(); ++i) {
        StoredValue value;
        if (SplitValueLine(store, key, lines[i].GetString(), value)) values.push_back(value);
    }
    std::sort(values.begin(), values.end(), [](const StoredValue& a, const StoredValue& b) { return a.name < b.name; });
    return values;
}

bool KeyIsPresent(CIniClass& store, const std::string& key) {
    CStringArray keys;
    return store.GetSubKeys(key.c_str(), keys) > 0;
}

KeyTree BuildKeyTree(CIniClass& store, const std::string& key) {
    CStringArray keys;
    store.GetSubKeys(key.c_str(), keys);
    KeyTree tree;
    tree[key];
    for (CStringArray::INT_PTR i = 0; i < keys.GetSize(); ++i) {
        std::string path = keys[i].GetString();
        std::string parent = key;
        for (std::size_t start = key.size() + 1; start <= path.size();) {
            std::size_t end = std::min(path.find('\\', start), path.size());
            tree[parent].insert(path.substr(start, end - start));
            parent = path.substr(0, end);
            tree[parent];
            start = end + 1;
        }
    }
    return tree;
}

std::vector<std::string> ChildPaths(const KeyTree& tree, const std::string& key) {
    std::vector<std::string> paths;
    auto found = tree.find(key);
    if (found == tree.end()) return paths;
    for (const std::string& name : found->second) paths.push_back(std::string(key).append("\\").append(name));
    return paths;
}

std::vector<std::string> SubtreePaths(const KeyTree& tree, const std::string& key) {
    std::vector<std::string> paths;
    AppendSubtree(tree, key, paths);
    return paths;
}

Snapshot TakeSnapshot(CIniClass& store) {
    CStringArray keys;
    store.GetAllKeys(keys);
    Snapshot snapshot;
    for (CStringArray::INT_PTR i = 0; i < keys.GetSize(); ++i) {
        std::string key = keys[i].GetString();
        auto& values = snapshot[key];
        for (const StoredValue& value : ReadValues(store, key)) values[value.name] = value.text;
    }
    return snapshot;
}

}  // namespace qor::qorreg
