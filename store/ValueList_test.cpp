#include "store/ValueList.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace qor::store {
namespace {

using Texts = std::vector<std::string>;

Texts Contents(const ValueList& list) {
    Texts out;
    list.ForEach([&](const ValueList::Entry& e) { out.push_back(std::string(e.name) + "=" + e.text.Joined()); });
    return out;
}

TEST(ValueListTest, MergeInterleavesReplacesAndKeepsTheRest) {
    ValueList list;
    for (const char* name : {"B", "D", "F"}) list.Set(name, std::string("<string>old ") + name);
    list.Merge({});
    const std::vector<ValueList::Entry> sorted = {{"A", StoredText::Of("<dword>1")},
                                                  {"D", StoredText::Of("new")},
                                                  {"E", StoredText::Of("<hex>0a")},
                                                  {"G", StoredText::Of("")}};
    list.Merge(sorted);
    EXPECT_EQ(Contents(list), (Texts{"A=<dword>1", "B=<string>old B", "D=new", "E=<hex>0a", "F=<string>old F", "G="}));
    ValueList empty;
    empty.Merge(sorted);
    EXPECT_EQ(Contents(empty), (Texts{"A=<dword>1", "D=new", "E=<hex>0a", "G="}));
    EXPECT_TRUE(empty.Find("D") && *empty.Find("D") == "new");
}

// Each list owns its block: a copy or a move leaves no two lists sharing
// one, and assigning a list to itself keeps its values.
TEST(ValueListTest, CopiesAndMovesOwnTheirBlocks) {
    ValueList list;
    list.Set("A", "<string>a");
    list.Set("B", "b");
    ValueList copy;
    copy.Set("Z", "gone");
    copy = list;
    copy.Set("A", "<string>changed");
    EXPECT_EQ(Contents(list), (Texts{"A=<string>a", "B=b"}));
    const ValueList& self = copy;
    copy = self;
    EXPECT_EQ(Contents(copy), (Texts{"A=<string>changed", "B=b"}));
    ValueList moved(std::move(copy));
    EXPECT_TRUE(copy.Empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    ValueList target;
    target.Set("Y", "y");
    target = std::move(moved);
    EXPECT_EQ(Contents(target), (Texts{"A=<string>changed", "B=b"}));
    target = ValueList();
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(target.LiveBytes(), 0u);
}

// The reader's shortcut: names upper-cased, numbers written in decimal;
// a section in ascending order becomes an empty list's block at once, and
// the builder starts each section afresh.
TEST(ValueListTest, BuilderUpperCasesNamesAndWritesNumbers) {
    ValueListBuilder builder;
    builder.AddUpperName("alpha", "<dword>", INT_MIN);
    builder.AddUpperName("beta", "<string>", "b");
    builder.AddUpperName("gamma", "<dword>", 0);
    ValueList first;
    builder.MoveInto(first);
    EXPECT_EQ(Contents(first), (Texts{"ALPHA=<dword>-2147483648", "BETA=<string>b", "GAMMA=<dword>0"}));
    builder.AddUpperName("z", "", "plain");
    builder.AddUpperName("beta", "<hex>", "ff");
    builder.MoveInto(first);
    EXPECT_EQ(Contents(first), (Texts{"ALPHA=<dword>-2147483648", "BETA=<hex>ff", "GAMMA=<dword>0", "Z=plain"}));
    builder.MoveInto(first);  // nothing collected: nothing changes
    EXPECT_EQ(first.Size(), 4u);
}

}  // namespace
}  // namespace qor::store
