// compare: two store files, each loaded into a store of its own, key by key.
//
// The text report marks what only the first file (A) holds with "<" and
// what only the second (B) holds with ">", as diff does. A key held by both
// is shown on a line of its own when its values differ; a key held by one
// side only is shown after its mark, with its values. Each value is shown
// as query shows it, with the mark in place of the first indenting space;
// a value whose text differs gets both lines.
#include <set>
#include <sstream>

#include "Format.h"
#include "Json.h"
#include "Text.h"
#include "Session.h"
#include "Verbs.h"

namespace qor::qorreg {
namespace {

struct ValueDifference {
    std::string name;
    const StoredValue* a;  // null: only in B
    const StoredValue* b;  // null: only in A
};

struct KeyDifference {
    std::string key;
    bool inA, inB;
    std::vector<StoredValue> valuesA, valuesB;  // own the values the differences point to
    std::vector<ValueDifference> values;
};

void AddKeys(CIniClass& store, const std::string* key, bool subtree, std::set<std::string>& keys) {
    CStringArray list;
    if (key == nullptr) {
        store.GetAllKeys(list);
    } else if (subtree) {
        store.GetSubKeys(key->c_str(), list);
    } else if (store.KeyExists(key->c_str())) {
        keys.insert(*key);
    }
    for (CStringArray::INT_PTR i = 0; i < list.GetSize(); ++i) keys.insert(list[i].GetString());
}

// The key's differences; false when both sides hold it with the same values.
bool Differ(CIniClass& a, CIniClass& b, const std::string& key, KeyDifference& difference) {
    difference = {
        key, a.KeyExists(key.c_str()) == 1, b.KeyExists(key.c_str()) == 1, ReadValues(a, key), ReadValues(b, key), {}};
    auto inA = difference.valuesA.begin(), inB = difference.valuesB.begin();
    const auto endA = difference.valuesA.end(), endB = difference.valuesB.end();
    while (inA != endA || inB != endB) {
        if (inB == endB || (inA != endA && inA->name < inB->name)) {
            difference.values.push_back({inA->name, &*inA, nullptr});
            ++inA;
        } else if (inA == endA || inB->name < inA->name) {
            difference.values.push_back({inB->name, nullptr, &*inB});
            ++inB;
        } else {
            if (inA->text != inB->text) difference.values.push_back({inA->name, &*inA, &*inB});
            ++inA;
            ++inB;
        }
    }
    return !(difference.inA && difference.inB && difference.values.empty());
}

void WriteMarkedValue(std::ostream& out, char mark, CIniClass& store, const std::string& key,
                      const StoredValue& value) {
    std::ostringstream line;
    WriteValueLine(line, value.name, TypeOfStoredText(value.text), ShowValueData(store, key, value));
    out << mark << line.str().substr(1);
}

std::size_t ValueCount(const std::vector<KeyDifference>& differences) {
    std::size_t values = 0;
    for (const KeyDifference& difference : differences) values += difference.values.size();
    return values;
}

std::string Summary(const std::vector<KeyDifference>& differences) {
    if (differences.empty()) return "identical";
    const std::size_t values = ValueCount(differences);
    return "different: " + std::to_string(differences.size()) + (differences.size() == 1 ? " key, " : " keys, ") +
           std::to_string(values) + (values == 1 ? " value" : " values");
}

void WriteText(std::ostream& out, const std::string (&sides)[2], CIniClass& a, CIniClass& b,
               const std::vector<KeyDifference>& differences) {
    out << "< " << Printable(sides[0]) << "\n> " << Printable(sides[1]) << '\n';
    for (const KeyDifference& difference : differences) {
        out << '\n'
            << (difference.inA && difference.inB ? ""
                : difference.inA                 ? "< "
                                                 : "> ")
            << Shown(difference.key) << '\n';
        for (const ValueDifference& value : difference.values) {
            if (value.a != nullptr) WriteMarkedValue(out, '<', a, difference.key, *value.a);
            if (value.b != nullptr) WriteMarkedValue(out, '>', b, difference.key, *value.b);
        }
    }
    out << '\n' << Summary(differences) << '\n';
}

Json SideJson(CIniClass& store, const std::string& key, const StoredValue* value) {
    return value == nullptr ? Json(nullptr) : ValueJson(store, key, *value);
}

void WriteJsonReport(std::ostream& out, const std::string (&sides)[2], CIniClass& a, CIniClass& b,
                     const std::vector<KeyDifference>& differences) {
    Json keys = Json::array();
    for (const KeyDifference& difference : differences) {
        Json values = Json::array();
        for (const ValueDifference& value : difference.values) {
            values.push_back({{"name", Utf8Of(value.name)},
                              {"a", SideJson(a, difference.key, value.a)},
                              {"b", SideJson(b, difference.key, value.b)}});
        }
        keys.push_back({{"key", Utf8Of(difference.key)},
                        {"in", difference.inA && difference.inB ? "both"
                               : difference.inA                 ? "a"
                                                                : "b"},
                        {"values", std::move(values)}});
    }
    WriteJson(out, {{"a", sides[0]},
                    {"b", sides[1]},
                    {"identical", differences.empty()},
                    {"keys", std::move(keys)},
                    {"message", Summary(differences)}});
}

}  // namespace

int CompareVerb(const Options& options, Io& io) {
    std::string key;
    const bool withKey = options.operands.size() == 3;
    if (withKey && ReadKeyOperand(options.operands[2], key, io) != kExitOk) return kExitCompareFailed;
    if (!withKey && options.Has(kOptSubtree)) {
        return Fail(io, kExitCompareFailed, "-s needs a KEY (see qorreg compare --help)");
    }
    Session first(io);
    if (first.Open(options.operands[0], FileUse::Read) != kExitOk) return kExitCompareFailed;
    Session second(io);
    if (second.Open(options.operands[1], FileUse::Read) != kExitOk) return kExitCompareFailed;
    CIniClass& a = first.Store();
    CIniClass& b = second.Store();
    if (withKey && !KeyIsPresent(a, key) && !KeyIsPresent(b, key)) {
        return Fail(io, kExitCompareFailed, "key in neither file: " + key);
    }

    std::set<std::string> keys;
    AddKeys(a, withKey ? &key : nullptr, options.Has(kOptSubtree), keys);
    AddKeys(b, withKey ? &key : nullptr, options.Has(kOptSubtree), keys);
    std::vector<KeyDifference> differences;
    for (const std::string& each : keys) {
        KeyDifference difference;
        if (Differ(a, b, each, difference)) differences.push_back(std::move(difference));
    }
    const std::string sides[2] = {Named(io, options.operands[0]), Named(io, options.operands[1])};
    if (options.Has(kOptJson)) {
        WriteJsonReport(io.out, sides, a, b, differences);
    } else {
        WriteText(io.out, sides, a, b, differences);
    }
    return differences.empty() ? kExitOk : kExitDifferent;
}

}  // namespace qor::qorreg
