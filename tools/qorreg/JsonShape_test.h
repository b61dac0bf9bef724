// The --json shape that docs/qorreg.md describes, as the tests check it.
#ifndef QOR_TOOLS_QORREG_JSONSHAPE_TEST_H
#define QOR_TOOLS_QORREG_JSONSHAPE_TEST_H

#include <gtest/gtest.h>

#include "Json.h"

namespace qor::qorreg {

// A value object: exactly name, type, data and raw; data a number for a
// DWORD, else a text.
inline void ExpectValueShape(const Json& value) {
    ASSERT_TRUE(value.is_object()) << value;
    EXPECT_EQ(value.size(), 4u) << value;
    EXPECT_TRUE(value["name"].is_string() && value["type"].is_string() && value["raw"].is_string()) << value;
    EXPECT_EQ(value["data"].is_number_unsigned(), value["type"] == "REG_DWORD") << value;
    EXPECT_TRUE(value["data"].is_number_unsigned() || value["data"].is_string()) << value;
}

}  // namespace qor::qorreg

#endif
