#include "store/KeyIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

// The exact hash tells keys apart (the list of a file's keys by hash relies
// on it), and the folded one tells apart all but case: on key paths of a
// store's shape, which share long beginnings, and on every key of one
// length that differs from another in one byte (each byte of every length
// through four words), no two keys hash alike, and the home slots of the
// folded hashes in a table of 2^16 spread as chance would have them.
TEST(KeyIndex, HashesTellStructuredKeysApartAndFoldOnlyCase) {
    std::vector<std::string> keys;
    for (int product = 0; product < 40; ++product) {
        const std::string path = "HKEY_CURRENT_USER\\SOFTWARE\\BENCH\\PRODUCT" + std::to_string(10000 + product);
        keys.push_back(path);
        for (int device = 0; device < 10; ++device) {
            keys.push_back(path + "\\DEVICE" + std::to_string(device));
            for (int profile = 0; profile < 20; ++profile)
                keys.push_back(path + "\\DEVICE" + std::to_string(device) + "\\PROFILE" + std::to_string(profile));
        }
    }
    for (std::size_t size = 0; size <= 33; ++size) {
        const std::string base(size, 'K');
        keys.push_back(base);
        for (std::size_t at = 0; at < size; ++at) {
            for (const char other : {'\0', 'L', '\xcb'})
                keys.push_back(base.substr(0, at) + other + base.substr(at + 1));
        }
    }
    std::vector<std::uint64_t> exact, folded;
    std::vector<int> slots(1 << 16);
    for (const std::string& key : keys) {
        exact.push_back(KeyHash<false>(key));
        folded.push_back(KeyHash<true>(key));
        ++slots[folded.back() & 0xFFFF];
        std::string lower = key;
        for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
        EXPECT_EQ(KeyHash<true>(lower), folded.back()) << key;
    }
    for (auto* hashes : {&exact, &folded}) {
        std::sort(hashes->begin(), hashes->end());
        EXPECT_EQ(std::adjacent_find(hashes->begin(), hashes->end()), hashes->end());
    }
    // About 10,000 keys in 65,536 slots: at random, no slot holds more than five or so.
    EXPECT_LE(*std::max_element(slots.begin(), slots.end()), 6);
}

}  // namespace
}  // namespace qor::store
