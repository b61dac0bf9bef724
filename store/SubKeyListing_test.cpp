#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/KeyStore.h"

namespace qor::store {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kA = "HKEY_CURRENT_USER\\SOFTWARE\\X";

void AddKeys(CIniClass& store, std::initializer_list<std::string> relative) {
    for (const std::string& key : relative) store.AddKey((std::string(kA) + key).c_str());
}

TEST(SubKeyListingTest, ListsEachDirectSubKeyOnceWithTheLongestNameLength) {
    CIniClass store;
    store.AddKey(kA);
    AddKeys(store, {"\\D", "\\B\\C", "\\B", "\\BBB\\X\\Y\\Z"});
    store.AddKey("HKEY_CURRENT_USER\\SOFTWARE\\XY\\LONGER_NAME");
    for (const char* asked : {kA, "hkey_current_user\\software\\x", "HKEY_CURRENT_USER\\SOFTWARE\\X\\\\"}) {
        const SubKeyListing listing = ListDirectSubKeys(&store, asked);
        EXPECT_EQ(listing.result, ListingResult::Found) << asked;
        EXPECT_EQ(listing.names, (Names{"B", "BBB", "D"})) << asked;
        EXPECT_EQ(listing.longest, 3u) << asked;
    }
}

TEST(SubKeyListingTest, KeysThatExistOnlyAsPartsOfLongerKeysCount) {
    CIniClass store;
    AddKeys(store, {"\\B\\C"});
    const SubKeyListing listing = ListDirectSubKeys(&store, kA);
    EXPECT_EQ(listing.result, ListingResult::Found);
    EXPECT_EQ(listing.names, Names{"B"});
    EXPECT_EQ(listing.longest, 1u);
}

TEST(SubKeyListingTest, NamesRepeatedApartInKeyOrderAreListedOnce) {
    CIniClass store;
    // "B.X" sorts between "B" and "B\C", so the two keys under B are not neighbours.
    AddKeys(store, {"\\B", "\\B.X", "\\B\\C", "\\B!\\Q", "\\B\\D"});
    EXPECT_EQ(ListDirectSubKeys(&store, kA).names, (Names{"B", "B!", "B.X"}));
}

TEST(SubKeyListingTest, NamesSortByUnsignedBytes) {
    CIniClass store;
    AddKeys(store, {"\\KEY_2", "\\KEYA", "\\9", "\\10", "\\\xC3\x84"});
    const SubKeyListing listing = ListDirectSubKeys(&store, kA);
    EXPECT_EQ(listing.names, (Names{"10", "9", "KEYA", "KEY_2", "\xC3\x84"}));
    EXPECT_EQ(listing.longest, 5u);
}

TEST(SubKeyListingTest, LongestCountsUtf16UnitsNotBytes) {
    CIniClass store;
    AddKeys(store, {"\\\xC3\x84\xC3\x84\xC3\x84", "\\AB"});
    EXPECT_EQ(ListDirectSubKeys(&store, kA).longest, 3u);
}

TEST(SubKeyListingTest, TellsAMissingKeyFromAKeyWithNothingBelow) {
    CIniClass store;
    store.SetValue(kA, "V", "<dword>1");
    store.AddKey("HKEY_CURRENT_USER\\SOFTWARE\\XY\\Z");
    const SubKeyListing leaf = ListDirectSubKeys(&store, kA);
    EXPECT_EQ(leaf.result, ListingResult::NoSubKeys);
    EXPECT_TRUE(leaf.names.empty());
    EXPECT_EQ(ListDirectSubKeys(&store, "HKEY_CURRENT_USER\\SOFTWARE\\X\\Y").result, ListingResult::NoKey);
    EXPECT_EQ(ListDirectSubKeys(&store, "HKEY_CURRENT_USER\\SOFTWARE\\X\\V").result, ListingResult::NoKey);
    EXPECT_EQ(ListDirectSubKeys(nullptr, kA).result, ListingResult::NoKey);
}

TEST(SubKeyListingTest, DepthCountsEveryBackslashOfTheKey) {
    CIniClass store;
    for (const char* key : {"A\\\\B\\C\\D", "A\\\\B\\E", "\\F\\G", "\\H"}) store.AddKey(key);
    EXPECT_EQ(ListDirectSubKeys(&store, "A\\\\B").names, (Names{"C", "E"}));
    EXPECT_EQ(ListDirectSubKeys(&store, "A\\").names, Names{""});
    EXPECT_EQ(ListDirectSubKeys(&store, "").names, (Names{"F", "H"}));
    EXPECT_EQ(ListDirectSubKeys(&store, "\\\\").names, (Names{"F", "H"}));
}

}  // namespace
}  // namespace qor::store
