#include "store/IniClassInternal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"
#include "store/ValueList.h"

namespace qor::store {
using namespace qor::testkit;
namespace {

using Texts = std::vector<std::string>;
constexpr const char* kX = "HKEY_CURRENT_USER\\SOFTWARE\\X";

TEST(IniClassTest, KeysAndNamesMatchWhateverTheirCase) {
    CIniClass store;
    EXPECT_EQ(store.SetValue("hkey_current_user\\software\\x", "gamma", "<dword>1"), 1);
    store.SetValue(kX, "Gamma", "<dword>2");
    EXPECT_EQ(store.AddKey("Hkey_Current_User\\Software\\X"), 0);
    CString out("before");
    EXPECT_EQ(store.GetValue(kX, "B", out), 0);
    EXPECT_EQ(store.GetValue("HKEY_CURRENT_USER\\Y", "GAMMA", out), 0);
    EXPECT_EQ(out, "before");
    EXPECT_EQ(StoreLines(store), (Texts{"[HKEY_CURRENT_USER\\SOFTWARE\\X]", "GAMMA = <dword>2"}));
}

TEST(IniClassTest, RemoveValueTellsWhetherAValueWentAway) {
    CIniClass store;
    store.SetValue(kX, "A", "<dword>1");
    EXPECT_EQ(store.RemoveValue("HKEY_CURRENT_USER\\NONE", "A"), 0);
    EXPECT_EQ(store.RemoveValue(kX, "a"), 1);
    EXPECT_EQ(store.RemoveValue(kX, "A"), 0);
    EXPECT_EQ(store.KeyExists(kX), 1);
}

TEST(IniClassTest, SubtreeOperationsStopAtTheKeysBoundary) {
    CIniClass store;
    for (const char* key : {"A", "A\\Y\\Z", "A\\", "A.B", "A]", "A[", "AB", "B\\A"}) store.AddKey(key);
    CStringArray list;
    list.Add(CString("held"));
    EXPECT_EQ(store.GetSubKeys("a", list), 4);
    EXPECT_EQ(TextsOf(list), (Texts{"held", "A", "A\\", "A\\Y\\Z"}));
    std::vector<std::string> internal;
    Internal(store).SubtreeKeys("A", internal);
    EXPECT_EQ(internal, (Texts{"A", "A\\", "A\\Y\\Z"}));
    store.DeleteSubtree("a");
    EXPECT_EQ(AllKeysOf(store), (Texts{"A.B", "AB", "A[", "A]", "B\\A"}));
}

TEST(IniClassTest, DeleteSubtreeOfTheEmptyTextKeepsTheEmptyKey) {
    CIniClass store;
    for (const char* key : {"", "\\A", "\\A\\B", "A"}) store.AddKey(key);
    store.DeleteSubtree(nullptr);
    EXPECT_EQ(AllKeysOf(store), (Texts{"", "A"}));
}

TEST(IniClassTest, FindTextViewsTheStoredTextAndTakesTextsAsGiven) {
    CIniClass store;
    Internal(store).SetValue("k", "n", "<string>lower");
    EXPECT_FALSE(Internal(store).FindText("K", "n"));
    EXPECT_EQ(Internal(store).FindText("k", "n")->Joined(), "<string>lower");
    EXPECT_EQ(Internal(store).FindText("k", "n")->body, "lower");
    EXPECT_FALSE(Internal(store).FindText("k", "N"));
}

// ---- The packed value list behind every key

std::string Text(const std::optional<StoredText>& text) { return text ? text->Joined() : std::string("(missing)"); }

Texts Contents(const ValueList& list) {
    Texts out;
    for (std::size_t i = 0; i < list.Size(); ++i)
        out.push_back(std::string(list.At(i).name) + "=" + std::string(list.At(i).text));
    return out;
}

TEST(ValueListTest, ReplacingAndRemovingKeepsEveryOtherValue) {
    ValueList list;
    for (int i = 0; i < 300; ++i) list.Set("N" + std::to_string(i), std::string(static_cast<std::size_t>(i % 7), 'v'));
    for (int round = 1; round <= 20; ++round) {
        for (int i = 0; i < 300; i += 3)
            list.Set("N" + std::to_string(i), std::string(static_cast<std::size_t>(round * 13 % 200), 'r'));
        EXPECT_TRUE(list.Remove("N" + std::to_string(round * 3 + 1)));
    }
    ASSERT_EQ(list.Size(), 280u);
    EXPECT_FALSE(list.Find("N4"));
    EXPECT_EQ(Text(list.Find("N3")), std::string(20 * 13 % 200, 'r'));
    EXPECT_EQ(Text(list.Find("N299")), std::string(299 % 7, 'v'));
    EXPECT_LT(list.LiveBytes(), 300u * 200u);
    for (int i = 0; i < 300; ++i) list.Remove("N" + std::to_string(i));
    EXPECT_TRUE(list.Empty());
}

TEST(ValueListTest, LongTextsSortedNamesAndTextsFromTheSameList) {
    ValueList list;
    list.Set(std::string(300, 'n'), std::string(70000, 't'));
    for (const char* name : {"b", "\xe9", "A", "_", ""}) list.Set(name, std::string(40, 'a'));
    list.Set("B", list.Find("b")->body.substr(3));
    EXPECT_EQ(list.Find(std::string(300, 'n'))->size(), 70000u);
    EXPECT_EQ(Text(list.Find("B")), std::string(37, 'a'));
    Texts names;
    for (std::size_t i = 0; i < list.Size(); ++i) names.emplace_back(list.At(i).name.substr(0, 1));
    EXPECT_EQ(names, (Texts{"", "A", "B", "_", "b", "n", "\xe9"}));
}

// The type prefixes are kept as codes: every text must come back exactly,
// whether it begins with a prefix, only looks like one, or holds one inside;
// and a replacement of the same body size but another prefix must take it.
TEST(ValueListTest, TextsComeBackExactlyWhateverPrefixTheyBeginWith) {
    const std::vector<std::string> texts = {
        "<dword>-53",           "<string>", "<hex>0a,ff", "<dword", "<dwordX>1",
        "plain <string>inside", "",         "<",          "<hex>",  "<string><dword>7"};
    ValueList list;
    for (std::size_t i = 0; i < texts.size(); ++i) list.Set("V" + std::to_string(i), texts[i]);
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(Text(list.Find("V" + std::to_string(i))), texts[i]) << i;
    EXPECT_EQ(list.Find("V0")->body, "-53");
    EXPECT_EQ(list.Find("V3")->body, "<dword");
    list.Set("V0", "<hex>ab");
    list.Set("V1", "<dword>");
    list.Set("V2", "<string>0a,ff");
    EXPECT_EQ(Contents(list)[0], "V0=<hex>ab");
    EXPECT_EQ(Contents(list)[1], "V1=<dword>");
    EXPECT_EQ(Text(list.Find("V2")), "<string>0a,ff");
    const ValueList copy = list;
    EXPECT_EQ(Contents(copy), Contents(list));
}

TEST(ValueListTest, BuilderSortsCollectedValuesAndTheLaterOfOneNameWins) {
    ValueList list;
    list.Set("M", "old");
    list.Set("Z", "kept");
    ValueListBuilder builder;
    int n = 0;
    for (const char* name : {"C", "M", "A", "C", "B", "C"})
        builder.Add(name, std::string("v") + name + std::to_string(n++));
    builder.MoveInto(list);
    EXPECT_TRUE(builder.Empty());
    EXPECT_EQ(Contents(list), (Texts{"A=vA2", "B=vB4", "C=vC5", "M=vM1", "Z=kept"}));
    ValueList fresh;
    builder.Add("B", "2");
    builder.Add("A", "1");
    builder.MoveInto(fresh);
    fresh.Set("AA", "set after building");
    EXPECT_EQ(Contents(fresh), (Texts{"A=1", "AA=set after building", "B=2"}));
}

}  // namespace
}  // namespace qor::store
