// The text and array classes of the exported signatures, in the members
// that callers use and the library itself does not.
#include "QorCompat.h"

#include <gtest/gtest.h>

namespace {

// A null text: in a construction and in an assignment, for both widths.
TEST(CompatTypes, NullTextsAreEmptyAndArraysGrowAndEmpty) {
    CString narrow("old");
    narrow = static_cast<const char*>(nullptr);
    EXPECT_TRUE(narrow.IsEmpty());
    narrow = "new";
    EXPECT_EQ(narrow, "new");
    CStringW wide(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(wide.GetLength(), 0);
    EXPECT_EQ(wide, static_cast<const wchar_t*>(nullptr));

    CDWordArray numbers;
    EXPECT_EQ(numbers.Add(7), 0);
    EXPECT_EQ(numbers.Add(9), 1);
    ASSERT_EQ(numbers.GetSize(), 2);
    EXPECT_EQ(numbers.GetData()[1], 9u);
    numbers.RemoveAll();
    EXPECT_TRUE(numbers.IsEmpty());
    CStringArray texts;
    texts.Add(CString("a"));
    texts.RemoveAll();
    EXPECT_EQ(texts.GetSize(), 0);
}

}  // namespace
