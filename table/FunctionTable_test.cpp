#include <gtest/gtest.h>

#include "QorFunctionTable.h"

namespace {

TEST(FunctionTableTest, OneTableRefilledOnEveryCall) {
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    ASSERT_NE(t, nullptr);
    auto* slots = reinterpret_cast<void (**)()>(t);
    for (int i = 0; i < 61; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
    const auto saved = t->pfnGetInt;
    t->pfnGetInt = nullptr;
    EXPECT_EQ(UI_GetQorFunctionTable(), t);
    EXPECT_EQ(t->pfnGetInt, saved);
}

TEST(FunctionTableTest, BooleanSlotsHoldTheIntegerFunctions) {
    const UI_FunctionTable* t = UI_GetQorFunctionTable();
    EXPECT_EQ(t->pfnGetBool, t->pfnGetInt);
    EXPECT_EQ(t->pfnGetBoolById, t->pfnGetIntById);
    EXPECT_EQ(t->pfnGetBoolDefault, t->pfnGetIntDefault);
    EXPECT_EQ(t->pfnGetBoolDefaultById, t->pfnGetIntDefaultById);
    EXPECT_EQ(t->pfnSetBool, t->pfnSetInt);
    EXPECT_EQ(t->pfnSetBoolById, t->pfnSetIntById);
}

}  // namespace
