#include "store/KeyMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qor::store {
namespace {

using Keys = std::vector<std::string>;

void Fill(KeyMap& map, const Keys& keys) {
    for (const std::string& key : keys) map.emplace(key, ValueList());
}

// Every key of the tree is found at its own entry through the index, and
// none of the gone keys is found: the two never drift apart.
void ExpectFindsExactly(const KeyMap& map, const Keys& present, const Keys& gone) {
    Keys inOrder;
    for (auto it = map.begin(); it != map.end(); ++it) {
        inOrder.emplace_back(it->first);
        EXPECT_EQ(map.find(it->first), it) << it->first;
    }
    EXPECT_EQ(inOrder, present);
    for (const std::string& key : gone) EXPECT_FALSE(map.contains(key)) << key;
}

TEST(KeyMapTest, EveryChangeKeepsTheIndexInStepWithTheTree) {
    KeyMap map;
    Fill(map, {"A", "A\\B", "A\\B\\C", "A\\D", "AB", "Z"});
    map.emplace_hint(map.end(), "ZZ", ValueList());
    map.emplace("A", ValueList());  // already there: nothing changes
    ExpectFindsExactly(map, {"A", "AB", "A\\B", "A\\B\\C", "A\\D", "Z", "ZZ"}, {"B"});

    const auto [first, last] = KeysBelow(map, "A");
    map.erase(first, last);
    EXPECT_EQ(map.erase("Z"), 1u);
    EXPECT_EQ(map.erase("Z"), 0u);
    ExpectFindsExactly(map, {"A", "AB", "ZZ"}, {"A\\B", "A\\B\\C", "A\\D", "Z"});

    // A merge moves only the keys this map lacks; the rest stay behind.
    KeyMap other;
    Fill(other, {"AB", "M", "N"});
    map.merge(other);
    ExpectFindsExactly(map, {"A", "AB", "M", "N", "ZZ"}, {});
    ExpectFindsExactly(other, {"AB"}, {"M", "N"});

    map.swap(other);
    ExpectFindsExactly(map, {"AB"}, {"A", "M"});
    ExpectFindsExactly(other, {"A", "AB", "M", "N", "ZZ"}, {});
    other.clear();
    ExpectFindsExactly(other, {}, {"A", "AB"});
    other.emplace("A", ValueList());
    ExpectFindsExactly(other, {"A"}, {"AB"});
}

// A map filled without its index finds every key all the same, through
// every kind of change made before the index is built, and after it.
TEST(KeyMapTest, KeysAddedUnindexedAreFoundBeforeAndAfterReindexing) {
    KeyMap map;
    for (const char* key : {"A", "B", "C", "D"}) map.AppendUnindexed(map.end(), key, ValueList());
    map.AppendUnindexed(map.end(), "B", ValueList());  // already there: nothing changes
    map.emplace("AA", ValueList());
    EXPECT_EQ(map.erase("C"), 1u);
    ExpectFindsExactly(map, {"A", "AA", "B", "D"}, {"C"});

    KeyMap other;
    Fill(other, {"B", "E"});
    map.merge(other);
    ExpectFindsExactly(map, {"A", "AA", "B", "D", "E"}, {"C"});
    ExpectFindsExactly(other, {"B"}, {"E"});

    map.Reindex();
    ExpectFindsExactly(map, {"A", "AA", "B", "D", "E"}, {"C"});
    map.erase("A");
    map.emplace("C", ValueList());
    ExpectFindsExactly(map, {"AA", "B", "C", "D", "E"}, {"A"});
}

// Keys added unindexed into an empty map are hashed as they come; any
// other change in between (one that keeps the count the same included)
// must not leave the index with an entry that is gone, or without one.
TEST(KeyMapTest, KeysHashedAsTheyAreAddedStayRightThroughChangesInBetween) {
    KeyMap erased;
    for (const char* key : {"A", "B", "C"}) erased.AppendUnindexed(erased.end(), key, ValueList());
    erased.erase("B");
    erased.emplace("D", ValueList());  // three keys again
    erased.Reindex();
    ExpectFindsExactly(erased, {"A", "C", "D"}, {"B"});

    KeyMap swapped;
    KeyMap filling;
    for (const char* key : {"E", "F"}) filling.AppendUnindexed(filling.end(), key, ValueList());
    swapped.swap(filling);
    swapped.AppendUnindexed(swapped.end(), "G", ValueList());
    filling.AppendUnindexed(filling.end(), "H", ValueList());
    swapped.Reindex();
    filling.Reindex();
    ExpectFindsExactly(swapped, {"E", "F", "G"}, {"H"});
    ExpectFindsExactly(filling, {"H"}, {"E", "G"});

    // A merge takes keys out of a map still filling; both go on.
    KeyMap taken;
    Fill(taken, {"I"});
    KeyMap source;
    for (const char* key : {"I", "J", "K"}) source.AppendUnindexed(source.end(), key, ValueList());
    taken.merge(source);
    source.AppendUnindexed(source.end(), "L", ValueList());
    source.Reindex();
    ExpectFindsExactly(source, {"I", "L"}, {"J", "K"});
    ExpectFindsExactly(taken, {"I", "J", "K"}, {"L"});

    // Cleared and filled anew: only the new keys.
    KeyMap cleared;
    for (const char* key : {"M", "N"}) cleared.AppendUnindexed(cleared.end(), key, ValueList());
    cleared.clear();
    cleared.AppendUnindexed(cleared.end(), "O", ValueList());
    cleared.Reindex();
    ExpectFindsExactly(cleared, {"O"}, {"M", "N"});
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
    const struct {
        const char* sought;
        const char* found;  // null: none
    } cases[] = {
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
    for (const auto& c : cases) {
        const auto it = map.FindAnyCase(c.sought);
        const std::string_view got = it == map.end() ? std::string_view("(none)") : it->first;
        EXPECT_EQ(got, c.found == nullptr ? "(none)" : c.found) << c.sought;
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
