// What the tool's tests share: qorreg run in-process, and the --json shape
// that docs/qorreg.md describes.
#ifndef QOR_TOOLS_QORREG_TOOLTEST_H
#define QOR_TOOLS_QORREG_TOOLTEST_H

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Json.h"
#include "Verbs.h"

namespace qor::qorreg {

struct Outcome {
    int status;
    std::string out, err;
};

// Runs qorreg with args; input is what "-" reads as standard input.
inline Outcome RunQorreg(const std::vector<std::string>& args, const std::string& input = std::string()) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = Run(args, in, out, err);
    return {status, out.str(), err.str()};
}

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
