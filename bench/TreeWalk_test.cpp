#include "bench/TreeWalk.h"

#include <gtest/gtest.h>

#include "CRegExt.h"
#include "bench/StoreGenerator.h"

namespace qor::bench {
namespace {

class AttachedStore {
public:
    explicit AttachedStore(CIniClass* store) { CRegExt().SetObject(store); }
    ~AttachedStore() { CRegExt().SetObject(nullptr); }
};

std::vector<std::string> KeysOf(CIniClass& store) {
    CStringArray list;
    store.GetAllKeys(list);
    std::vector<std::string> keys;
    for (int i = 0; i < list.GetSize(); ++i) keys.push_back(list[i].str());
    return keys;
}

TEST(ScanDirectSubKeys, ListsEachDirectNameOnceSortedAndSkipsLookalikeSiblings) {
    const std::vector<std::string> keys = {"R\\K\\B\\DEEP", "R\\K",     "R\\K\\A", "R\\KX\\C",
                                           "R\\K\\B",       "R\\K\\10", "R\\K\\9"};
    EXPECT_EQ(ScanDirectSubKeys(keys, "R\\K"), (std::vector<std::string>{"10", "9", "A", "B"}));
    EXPECT_EQ(ScanDirectSubKeys(keys, "R"), (std::vector<std::string>{"K", "KX"}));
    EXPECT_TRUE(ScanDirectSubKeys(keys, "R\\K\\A").empty());
}

// The reference is only worth comparing against if it walks the same tree.
TEST(TreeWalk, LibraryWalkAndScanReferenceVisitTheSameTreeInTheSameOrder) {
    CIniClass store;
    FillStore(store, 250);
    store.AddKey("HKEY_CURRENT_USER\\SOFTWARE\\OTHER\\ONLY\\LEAF");  // parents never added
    AttachedStore attached(&store);
    const WalkResult walk = WalkWithRegExt("HKEY_CURRENT_USER");
    const WalkResult scan = ScanPerQueryWalk(KeysOf(store), "HKEY_CURRENT_USER");
    // 251 stored keys, plus the root, SOFTWARE, BENCH, OTHER and ONLY that exist only as parts.
    EXPECT_EQ(walk.queries, 256u);
    EXPECT_EQ(walk.names, 255u);
    EXPECT_EQ(scan.queries, walk.queries);
    EXPECT_EQ(scan.names, walk.names);
    EXPECT_EQ(scan.checksum, walk.checksum);
}

TEST(TreeWalk, WalkOfAMissingRootQueriesOnceAndFindsNothing) {
    CIniClass store;
    FillStore(store, 10);
    AttachedStore attached(&store);
    const WalkResult walk = WalkWithRegExt("HKEY_LOCAL_MACHINE");
    EXPECT_EQ(walk.queries, 1u);
    EXPECT_EQ(walk.names, 0u);
}

}  // namespace
}  // namespace qor::bench
