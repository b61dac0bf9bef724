#include "store/KeyStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/StoreTestSupport.h"
#include "store/ValueList.h"

namespace qor::store {
namespace {

constexpr const char* kX = "HKEY_CURRENT_USER\\SOFTWARE\\X";

TEST(KeyStoreTest, AddKeyOfExistingKeyReturnsZeroAndKeepsItsValues) {
    CIniClass store;
    EXPECT_EQ(store.AddKey("hkey_current_user\\software\\x"), 1);
    store.SetValue(kX, "GAMMA", "<dword>3");
    EXPECT_EQ(store.AddKey(kX), 0);
    EXPECT_EQ(ValueOf(store, kX, "GAMMA"), "<dword>3");
}

TEST(KeyStoreTest, KeysAndNamesAreFoundWhateverTheirCase) {
    CIniClass store;
    EXPECT_EQ(store.SetValue("hkey_current_user\\software\\x", "gamma", "<dword>1"), 1);
    EXPECT_EQ(store.KeyExists(kX), 1);
    store.SetValue(kX, "Gamma", "<dword>2");
    CString out;
    EXPECT_EQ(store.GetValue("Hkey_Current_User\\Software\\X", "GAMMA", out), 1);
    EXPECT_EQ(out, "<dword>2");
    EXPECT_EQ(LinesOf(store, kX), (std::vector<std::string>{"GAMMA = <dword>2"}));
}

TEST(KeyStoreTest, GetValueOfMissingKeyOrNameLeavesOutUnchanged) {
    CIniClass store;
    store.SetValue(kX, "A", "<string>x");
    CString out("before");
    EXPECT_EQ(store.GetValue(kX, "B", out), 0);
    EXPECT_EQ(store.GetValue("HKEY_CURRENT_USER\\Y", "A", out), 0);
    EXPECT_EQ(out, "before");
}

TEST(KeyStoreTest, NullTextsActAsEmptyTexts) {
    CIniClass store;
    EXPECT_EQ(store.SetValue(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(store.KeyExists(""), 1);
    EXPECT_EQ(ValueOf(store, "", ""), "");
    EXPECT_EQ(store.RemoveValue(nullptr, nullptr), 1);
}

TEST(KeyStoreTest, RemoveValueTellsWhetherAValueWentAway) {
    CIniClass store;
    store.SetValue(kX, "A", "<dword>1");
    EXPECT_EQ(store.RemoveValue("HKEY_CURRENT_USER\\NONE", "A"), 0);
    EXPECT_EQ(store.RemoveValue(kX, "B"), 0);
    EXPECT_EQ(store.RemoveValue(kX, "a"), 1);
    EXPECT_EQ(store.RemoveValue(kX, "A"), 0);
    EXPECT_EQ(store.KeyExists(kX), 1);
}

TEST(KeyStoreTest, DeleteSubtreeRemovesTheKeyAndEverythingBelowOnly) {
    CIniClass store;
    for (const char* key : {"HKEY_CURRENT_USER\\SOFTWARE", "HKEY_CURRENT_USER\\SOFTWARE\\X", "HKEY_CURRENT_USER\\SOFTWARE\\X\\Y\\Z",
                            "HKEY_CURRENT_USER\\SOFTWARE\\X\\", "HKEY_CURRENT_USER\\SOFTWARE\\XY", "HKEY_CURRENT_USER\\SOFTWARE\\X.A",
                            "HKEY_CURRENT_USER\\SOFTWARE\\X]", "HKEY_CURRENT_USER\\SOFTWARE\\X[", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X"}) {
        store.AddKey(key);
    }
    store.DeleteSubtree("hkey_current_user\\software\\x");
    EXPECT_EQ(AllKeysOf(store),
              (std::vector<std::string>{"HKEY_CURRENT_USER\\SOFTWARE", "HKEY_CURRENT_USER\\SOFTWARE\\X.A", "HKEY_CURRENT_USER\\SOFTWARE\\XY",
                                        "HKEY_CURRENT_USER\\SOFTWARE\\X[", "HKEY_CURRENT_USER\\SOFTWARE\\X]", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X"}));
    store.DeleteSubtree("HKEY_CURRENT_USER\\NONE");
    EXPECT_EQ(AllKeysOf(store).size(), 6u);
}

TEST(KeyStoreTest, DeleteSubtreeOfTheEmptyTextKeepsTheEmptyKey) {
    CIniClass store;
    for (const char* key : {"", "\\A", "\\A\\B", "A"}) store.AddKey(key);
    store.DeleteSubtree("");
    EXPECT_EQ(AllKeysOf(store), (std::vector<std::string>{"", "A"}));
}

TEST(KeyStoreTest, GetSubKeysListsTheKeyAndAllDepthsBelowAfterWhatTheListHeld) {
    CIniClass store;
    for (const char* key : {"HKEY_CURRENT_USER\\SOFTWARE\\X\\Y\\Z", "HKEY_CURRENT_USER\\SOFTWARE\\XY", "HKEY_CURRENT_USER\\SOFTWARE\\X",
                            "HKEY_CURRENT_USER\\SOFTWARE\\X\\B"}) {
        store.AddKey(key);
    }
    CStringArray list;
    list.Add(CString("earlier"));
    EXPECT_EQ(store.GetSubKeys("hkey_current_user\\software\\x", list), 4);
    EXPECT_EQ(list[1], kX);
    EXPECT_EQ(list[2], "HKEY_CURRENT_USER\\SOFTWARE\\X\\B");
    EXPECT_EQ(list[3], "HKEY_CURRENT_USER\\SOFTWARE\\X\\Y\\Z");

    CStringArray below;
    EXPECT_EQ(store.GetSubKeys("HKEY_CURRENT_USER\\SOFTWARE\\X\\Y", below), 1);
    EXPECT_EQ(below[0], "HKEY_CURRENT_USER\\SOFTWARE\\X\\Y\\Z");
}

TEST(KeyStoreTest, FreshStoreHasNoKeys) {
    CIniClass store;
    CStringArray list;
    EXPECT_EQ(store.GetAllKeys(list), 0);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(store.GetValueLines(kX, list), 0);
}

TEST(KeyStoreTest, ValueLinesShowNameAndPrefixedTextInNameOrder) {
    CIniClass store;
    store.SetValue(kX, "B", "<string>x");
    store.SetValue(kX, "A", "<dword>1");
    EXPECT_EQ(LinesOf(store, kX), (std::vector<std::string>{"A = <dword>1", "B = <string>x"}));
}

TEST(KeyStoreTest, RemoveAllEmptiesTheStore) {
    CIniClass store;
    store.SetValue(kX, "A", "<dword>1");
    store.AddKey("HKEY_LOCAL_MACHINE");
    store.RemoveAll();
    EXPECT_TRUE(AllKeysOf(store).empty());
    EXPECT_EQ(store.KeyExists(kX), 0);
}

TEST(KeyStoreTest, InternalPathsTakeTextsAsGiven) {
    CIniClass store;
    CIniClass::Impl& impl = store.Internal();
    impl.SetValue("k", "n", "<string>lower");
    EXPECT_TRUE(impl.HasKey("k"));
    EXPECT_FALSE(impl.HasKey("K"));
    ASSERT_NE(impl.FindValue("k", "n"), nullptr);
    EXPECT_EQ(*impl.FindValue("k", "n"), "<string>lower");
    EXPECT_EQ(impl.FindValue("k", "N"), nullptr);
    EXPECT_EQ(impl.FindText("k", "n").value_or("missing"), "<string>lower");
    EXPECT_TRUE(impl.AddKey("k\\a"));
    EXPECT_FALSE(impl.AddKey("k"));
    std::vector<std::string> keys;
    impl.SubtreeKeys("k", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"k", "k\\a"}));
    EXPECT_EQ(impl.KeyCount(), 2u);
}

// ---- The packed value list behind every key

std::vector<std::string> NamesAndTexts(const ValueList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        out.push_back(std::string(list.At(i).name) + "=" + std::string(list.At(i).text));
    }
    return out;
}

TEST(ValueListTest, ReplacementsOfEveryLengthKeepEveryOtherValue) {
    ValueList list;
    for (int i = 0; i < 300; ++i) list.Set("N" + std::to_string(i), std::string(static_cast<std::size_t>(i % 7), 'v'));
    for (int round = 1; round <= 20; ++round) {
        for (int i = 0; i < 300; i += 3) list.Set("N" + std::to_string(i), std::string(static_cast<std::size_t>(round * 13 % 200), 'r'));
    }
    ASSERT_EQ(list.Size(), 300u);
    for (int i = 0; i < 300; ++i) {
        const std::string expected = i % 3 == 0 ? std::string(20 * 13 % 200, 'r') : std::string(static_cast<std::size_t>(i % 7), 'v');
        EXPECT_EQ(list.Find("N" + std::to_string(i)).value_or("missing"), expected) << i;
    }
    EXPECT_LT(list.LiveBytes(), 300u * 200u);
}

TEST(ValueListTest, LongNamesAndTextsSurviveTheirLengthEncoding) {
    ValueList list;
    const std::string name(300, 'n'), text(70000, 't');
    list.Set(name, text);
    list.Set("", "");
    EXPECT_EQ(list.Find(name).value_or(""), text);
    EXPECT_EQ(list.Find("").value_or("missing"), "");
}

TEST(ValueListTest, SetAcceptsATextThatLivesInTheSameList) {
    ValueList list;
    list.Set("A", std::string(40, 'a'));
    for (int i = 0; i < 50; ++i) list.Set("B" + std::to_string(i), *list.Find("A"));
    list.Set("A", list.Find("B7")->substr(3));
    EXPECT_EQ(list.Find("B49").value_or(""), std::string(40, 'a'));
    EXPECT_EQ(list.Find("A").value_or(""), std::string(37, 'a'));
}

TEST(ValueListTest, NamesSortByUnsignedBytes) {
    ValueList list;
    for (const char* name : {"b", "\xe9", "A", "_", "a", "1"}) list.Set(name, "x");
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.Size(); ++i) names.emplace_back(list.At(i).name);
    EXPECT_EQ(names, (std::vector<std::string>{"1", "A", "_", "a", "b", "\xe9"}));
}

TEST(ValueListTest, BuilderSortsCollectedValuesAndTheLaterOfOneNameWins) {
    ValueList list;
    list.Set("M", "old");
    list.Set("Z", "kept");
    ValueListBuilder builder;
    int n = 0;
    for (const char* name : {"C", "M", "A", "C", "B", "C"}) builder.Add(name, std::string("v") + name + std::to_string(n++));
    builder.MoveInto(list);
    EXPECT_TRUE(builder.Empty());
    EXPECT_EQ(NamesAndTexts(list), (std::vector<std::string>{"A=vA2", "B=vB4", "C=vC5", "M=vM1", "Z=kept"}));

    ValueList fresh;
    builder.Add("B", "2");
    builder.Add("A", "1");
    builder.MoveInto(fresh);
    EXPECT_EQ(NamesAndTexts(fresh), (std::vector<std::string>{"A=1", "B=2"}));
    fresh.Set("AA", "set after building");
    EXPECT_EQ(NamesAndTexts(fresh), (std::vector<std::string>{"A=1", "AA=set after building", "B=2"}));
}

TEST(ValueListTest, RemovingEveryValueLeavesAnEmptyList) {
    ValueList list;
    for (int i = 0; i < 1000; ++i) list.Set(std::to_string(i), std::string(30, 'x'));
    for (int i = 0; i < 1000; ++i) EXPECT_TRUE(list.Remove(std::to_string(i)));
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.LiveBytes(), 0u);
    EXPECT_FALSE(list.Remove("0"));
}

}  // namespace
}  // namespace qor::store
