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

// Also: RemoveValue tells whether a value went away, and the key stays.
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
    EXPECT_EQ(store.RemoveValue("HKEY_CURRENT_USER\\NONE", "GAMMA"), 0);
    EXPECT_EQ(store.RemoveValue(kX, "gamma"), 1);
    EXPECT_EQ(store.RemoveValue(kX, "GAMMA"), 0);
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
    // The subtree of the empty text: every key beginning with a backslash, not the empty key.
    for (const char* key : {"", "\\A", "\\A\\B"}) store.AddKey(key);
    store.DeleteSubtree(nullptr);
    EXPECT_EQ(AllKeysOf(store), (Texts{"", "A.B", "AB", "A[", "A]", "B\\A"}));
}

TEST(IniClassTest, FindTextViewsTheStoredTextAndTakesTextsAsGiven) {
    CIniClass store;
    Internal(store).SetValue("k", "n", "<string>lower");
    EXPECT_FALSE(Internal(store).FindText("K", "n"));
    EXPECT_EQ(Internal(store).FindText("k", "n")->Joined(), "<string>lower");
    EXPECT_EQ(Internal(store).FindText("k", "n")->body, "lower");
    EXPECT_FALSE(Internal(store).FindText("k", "N"));
}

}  // namespace
}  // namespace qor::store
