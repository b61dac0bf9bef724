#include "store/KeyIndex.h"

#include <gtest/gtest.h>

#include <map>
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
