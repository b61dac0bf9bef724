#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "store/SubKeyListing.h"

namespace qor::store {
namespace {

using Names = std::vector<std::string>;

CIniClass& StoreWith(CIniClass& store, std::initializer_list<const char*> keys) {
    for (const char* key : keys) store.AddKey(key);
    return store;
}

TEST(SubKeyListingTest, ListsEachDirectSubKeyOnceSortedWithTheLongestLength) {
    CIniClass store;
    // Names sort by their bytes ("_" after "A"). "A\B.X" sorts between "A\B" and "A\B\C": names repeat apart in key
    // order.
    StoreWith(store, {"A", "A\\D", "A\\B\\C", "A\\B", "A\\B.X", "A\\B\\E", "A\\KEY_2", "A\\KEYA", "A\\A B",
                      "A\\10\\X\\Y", "A\\9", "AB\\LONGER"});
    for (const char* asked : {"A", "a", "A\\\\"}) {
        const SubKeyListing listing = ListDirectSubKeys(&store, asked);
        EXPECT_EQ(listing.result, ListingResult::Found) << asked;
        EXPECT_EQ(listing.names, (Names{"10", "9", "A B", "B", "B.X", "D", "KEYA", "KEY_2"})) << asked;
        EXPECT_EQ(listing.longest, 5u) << asked;
    }
}

TEST(SubKeyListingTest, SkippedSubtreesKeepTheSiblingsThatSortAroundThem) {
    CIniClass store;
    // "]" ends the subtree of B; "B]Y", "B^" and "B_X" sort after it, "B-1" before "B\\".
    StoreWith(store, {"A\\B\\C", "A\\B\\C\\D", "A\\B\\E\\F", "A\\B-1", "A\\B]Y", "A\\B^", "A\\B_X\\Z", "A\\C"});
    EXPECT_EQ(ListDirectSubKeys(&store, "A").names, (Names{"B", "B-1", "B]Y", "B^", "B_X", "C"}));
    EXPECT_EQ(ListDirectSubKeys(&store, "A\\B").names, (Names{"C", "E"}));
}

TEST(SubKeyListingTest, IntermediatePartsCountAndLengthsAreUtf16Units) {
    CIniClass store;
    const std::string name = "\xC3\x84\xC3\x84\xC3\x84";  // three letters in UTF-8, six bytes
    StoreWith(store, {("A\\" + name + "\\X\\Y").c_str(), "A\\AB"});
    const SubKeyListing listing = ListDirectSubKeys(&store, "A");
    EXPECT_EQ(listing.names, (Names{"AB", name}));
    EXPECT_EQ(listing.longest, platform::Utf16LengthWithTerminator(name) - 1);
}

TEST(SubKeyListingTest, DepthCountsEveryBackslashOfTheKey) {
    CIniClass store;
    StoreWith(store, {"A\\\\B\\C\\D", "A\\\\B\\E", "\\F\\G", "\\H"});
    EXPECT_EQ(ListDirectSubKeys(&store, "A\\\\B").names, (Names{"C", "E"}));
    EXPECT_EQ(ListDirectSubKeys(&store, "A\\").names, Names{""});
    EXPECT_EQ(ListDirectSubKeys(&store, "\\\\").names, (Names{"F", "H"}));
    EXPECT_EQ(ListDirectSubKeys(nullptr, "A").result, ListingResult::NoKey);
}

}  // namespace
}  // namespace qor::store
