#include "store/KeyMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace qor::store {
namespace {

using Keys = std::vector<std::string>;

void Fill(KeyMap& map, const Keys& keys) {
    for (const std::string& key : keys) map.emplace(key, ValueList());
}

// The index and the tree never drift apart.
void ExpectFindsExactly(const KeyMap& map, const Keys& present, const Keys& gone) {
    Keys inOrder;
    for (auto it = map.begin(); it != map.end(); ++it) {
        inOrder.emplace_back(it->first);
        EXPECT_EQ(map.find(it->first), it) << it->first;
    }
    EXPECT_EQ(inOrder, present);
    for (const std::string& key : gone) EXPECT_FALSE(map.contains(key)) << key;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

// Runs a script of steps on the maps a to f, each step a map's letter, an
// operation and its key or other map: +K emplace, >K emplace_hint at the
// end, ~K AppendUnindexed, -K erase (one key), !K erase (none), /K erase
// KeysBelow, <m merge m, ^m swap with m, C clear, R Reindex; =P|G checks
// that the map finds exactly the keys P (in order) and none of G.
void RunScript(const std::string& script) {
    KeyMap maps[6];
    for (const std::string& step : Split(script, ' ')) {
        SCOPED_TRACE(step);
        KeyMap& map = maps[step[0] - 'a'];
        const std::string key = step.substr(2);
        const char op = step[1];
        if (op == '+') map.emplace(key, ValueList());
        if (op == '>') map.emplace_hint(map.end(), key, ValueList());
        if (op == '~') map.AppendUnindexed(map.end(), key, ValueList());
        if (op == '-' || op == '!') {
            EXPECT_EQ(map.erase(key), op == '-' ? 1u : 0u);
        }
        if (op == '/') map.erase(KeysBelow(map, key).first, KeysBelow(map, key).second);
        if (op == '<') map.merge(maps[key[0] - 'a']);
        if (op == '^') map.swap(maps[key[0] - 'a']);
        if (op == 'C') map.clear();
        if (op == 'R') map.Reindex();
        if (op == '=') {
            const std::vector<std::string> lists = Split(key, '|');
            ExpectFindsExactly(map, Split(lists[0], ','), lists.size() > 1 ? Split(lists[1], ',') : Keys());
        }
    }
}

// Every change keeps the index in step with the tree; so does every change
// made to a map filled without its index (whose keys are hashed as they come,
// so a change in between, one keeping the count included, must leave no entry
// that is gone), before it is indexed and after.
TEST(KeyMapTest, EveryChangeKeepsTheIndexInStepWithTheTree) {
    const char* const scripts[] = {
        R"(a+A a+A\B a+A\B\C a+A\D a+AB a+Z a>ZZ a+A a=A,AB,A\B,A\B\C,A\D,Z,ZZ|B a/A a-Z a!Z a=A,AB,ZZ|A\B,A\B\C,A\D,Z)"
        R"( b+AB b+M b+N a<b a=A,AB,M,N,ZZ b=AB|M,N a^b a=AB|A,M b=A,AB,M,N,ZZ bC b=|A,AB b+A b=A|AB)",
        "a~A a~B a~C a~D a~B a+AA a-C a=A,AA,B,D|C b+B b+E a<b a=A,AA,B,D,E|C b=B|E aR a=A,AA,B,D,E|C a-A a+C "
        "a=AA,B,C,D,E|A",
        "a~A a~B a~C a-B a+D aR a=A,C,D|B",
        "c~E c~F b^c b~G c~H bR cR b=E,F,G|H c=H|E,G",
        "d+I e~I e~J e~K d<e e~L eR e=I,L|J,K d=I,J,K|L",
        "f~M f~N fC f~O fR f=O|M,N",
    };
    for (const char* script : scripts) RunScript(script);
}

// A map filled as a reader fills it: each key's values built into its arena.
void Load(KeyMap& map, const Keys& keys) {
    ValueListBuilder builder;
    for (const std::string& key : keys) {
        const auto entry = map.AppendUnindexed(map.end(), key, ValueList());
        builder.Add("NAME", "<string>" + key + std::string(60, '-'));
        builder.Add("NUMBER", "<dword>7");
        map.FillValues(builder, entry->second);
    }
    map.Reindex();
}

std::string NameOf(const KeyMap& map, const std::string& key) {
    const auto entry = map.find(key);
    if (entry == map.end()) return "(no key)";
    const auto text = entry->second.Find("NAME");
    return text ? text->Joined() : "(no value)";
}

// Keys and value blocks live in the map's arena: once removals leave most
// of it unused, what is used is copied into a fresh one; merges copy what
// they move out of the other map's arena, so every key and value stays
// right however the maps change and whichever of them goes first.
TEST(KeyMapTest, KeysAndValuesInTheArenaSurviveRemovalsMergesAndChanges) {
    Keys keys;
    for (int i = 0; i < 4000; ++i) keys.push_back("PRODUCT\\DEVICE\\" + std::to_string(100000 + i));
    KeyMap map;
    Load(map, keys);
    map.find(keys[1])->second.Set("NAME", "<string>grown out of the arena " + std::string(100, 'x'));
    map.find(keys[4])->second.Remove("NAME");
    const char* const before = map.find(keys[1])->first.data();
    Keys kept;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i % 4 < 1 || i == 1) kept.push_back(keys[i]);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i % 4 >= 1 && i != 1) {
            EXPECT_EQ(map.erase(keys[i]), 1u);
        }
    }
    EXPECT_EQ(map.find(keys[1])->first.data(), before);  // removals alone move nothing
    map.CompactIfWasteful();
    EXPECT_NE(map.find(keys[1])->first.data(), before);  // copied into a fresh arena
    ExpectFindsExactly(map, kept, {keys[2]});
    EXPECT_EQ(NameOf(map, keys[0]), "<string>" + keys[0] + std::string(60, '-'));
    EXPECT_EQ(NameOf(map, keys[1]), "<string>grown out of the arena " + std::string(100, 'x'));
    EXPECT_EQ(NameOf(map, keys[4]), "(no value)");

    KeyMap merged, replaced;
    Fill(merged, {kept[0]});
    Fill(replaced, {kept[2]});
    {
        KeyMap source, other;
        Load(source, kept);
        Load(other, kept);
        merged.merge(source);
        replaced.MergeReplacing(other);
    }
    for (const KeyMap* target : {&merged, &replaced}) {
        ExpectFindsExactly(*target, kept, {keys[2]});
        for (const std::string& key : {kept[2], kept.back()}) {
            EXPECT_EQ(NameOf(*target, key), "<string>" + key + std::string(60, '-'));
        }
    }
    EXPECT_EQ(NameOf(merged, kept[0]), "(no value)");  // merge keeps this map's key as it was
}

// The index hashes a key and its upper-cased form alike (and so some other
// pairs that differ in the same bit): a search in any case finds the stored
// upper-case key, and keys whose hashes meet are still told apart.
TEST(KeyMapTest, SearchesInAnyCaseFindTheUpperCaseKeyAndNoKeyWhoseHashMeetsIt) {
    KeyMap map;
    Fill(map, {"A\\B", "A|B", "SOFTWARE\\PRODUCT\\DEVICE1", "SOFTWARE\\PRODUCT\\DEVICE1|", "X"});
    const std::pair<const char*, const char*> cases[] = {
        {"a\\b", "A\\B"},
        {"A|B", "A|B"},
        {"a|b", "A|B"},
        {"a\\B\\", nullptr},
        {"Software\\Product\\Device1", "SOFTWARE\\PRODUCT\\DEVICE1"},
        {"software\\product\\device1|", "SOFTWARE\\PRODUCT\\DEVICE1|"},
        {"software\\product\\device1\\", nullptr},
        {"x", "X"},
        {"A{B", nullptr},
        {"", nullptr},
    };
    for (const auto& [sought, found] : cases) {
        const auto it = map.FindAnyCase(sought);
        const std::string_view got = it == map.end() ? std::string_view("(none)") : it->first;
        EXPECT_EQ(got, found == nullptr ? "(none)" : found) << sought;
    }
    EXPECT_EQ(map.find("a\\b"), map.end());  // an exact search stays exact
    EXPECT_NE(KeyMap::HashOf("A\\B"), KeyMap::HashOf("A|B"));
    KeyMap filling;  // not indexed yet: searched through the tree
    filling.AppendUnindexed(filling.end(), "A\\B", ValueList());
    EXPECT_EQ(filling.FindAnyCase("a\\b"), filling.begin());
}

// A map indexed at once: the bulk build groups the entries by their home
// slots in the memory of the list it was given, and every one of them must
// land where a search looks, also at a table's fullest (6553 keys in 8192
// slots), where runs wrap past the table's end, and through removals, which
// rely on every run being unbroken.
TEST(KeyMapTest, ABulkIndexFindsEveryKeyOfAMapOfAnySize) {
    for (const int count : {1, 12, 13, 5000, 6553, 6554}) {
        SCOPED_TRACE(count);
        KeyMap map;
        Keys present;
        for (int i = 0; i < count; ++i) present.push_back("K\\" + std::to_string(i * 7919 % 100003));
        std::sort(present.begin(), present.end());
        for (const std::string& key : present) map.AppendUnindexed(map.end(), key, ValueList());
        map.Reindex();
        ExpectFindsExactly(map, present, {"K\\100003", "K"});
        for (std::size_t i = 0; i < present.size(); i += 2) EXPECT_EQ(map.erase(present[i]), 1u);
        Keys kept;
        for (std::size_t i = 1; i < present.size(); i += 2) kept.push_back(present[i]);
        ExpectFindsExactly(map, kept, {present[0]});
    }
}

}  // namespace
}  // namespace qor::store
