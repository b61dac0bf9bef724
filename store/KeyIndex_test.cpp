#include "store/KeyIndex.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace qor::store {
namespace {

using Tree = std::map<std::string, int, std::less<>>;

// Every key of the tree is found at its own entry, and the probes say no to
// keys that are not there.
void ExpectIndexMatches(const KeyIndex<Tree::iterator>& index, Tree& tree, const std::vector<std::string>& absent) {
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        Tree::iterator found;
        ASSERT_TRUE(index.Find(it->first, found)) << it->first;
        EXPECT_EQ(found, it) << it->first;
    }
    for (const std::string& key : absent) {
        Tree::iterator found;
        EXPECT_FALSE(index.Find(key, found)) << key;
    }
}

TEST(KeyIndex, FindsEveryKeyThroughGrowthAndRemovalsInAnyOrder) {
    // Removals in the middle of probe runs are where a hash table with
    // linear probing goes wrong: many keys, many runs, random removals.
    std::mt19937 random(7);
    Tree tree;
    KeyIndex<Tree::iterator> index;
    std::vector<std::string> removed;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 3000; ++i) {
            const std::string key = "HKEY_CURRENT_USER\\K" + std::to_string(random() % 20000);
            const auto placed = tree.emplace(key, i);
            if (placed.second) index.Add(placed.first);
        }
        for (auto it = tree.begin(); it != tree.end();) {
            if (random() % 3 != 0) {
                ++it;
                continue;
            }
            removed.push_back(it->first);
            index.Remove(it->first);
            it = tree.erase(it);
        }
        std::erase_if(removed, [&tree](const std::string& key) { return tree.contains(key); });
        ExpectIndexMatches(index, tree, removed);
    }
}

TEST(KeyIndex, RemovingAnAbsentKeyOrClearingLeavesAUsableIndex) {
    Tree tree;
    KeyIndex<Tree::iterator> index;
    Tree::iterator found;
    index.Remove("NOTHING");
    EXPECT_FALSE(index.Find("NOTHING", found));
    index.Reserve(100);
    for (const char* key : {"A", "B", "C"}) index.Add(tree.emplace(key, 0).first);
    index.Remove("D");
    ExpectIndexMatches(index, tree, {"D", ""});
    index.Clear();
    EXPECT_FALSE(index.Find("A", found));
    index.Add(tree.find("B"));
    EXPECT_TRUE(index.Find("B", found));
    EXPECT_FALSE(index.Find("A", found));
}

}  // namespace
}  // namespace qor::store
