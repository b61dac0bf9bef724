// What the tool's tests share: qorreg run in-process on the files of a
// scratch folder, and the --json shape that docs/qorreg.md describes.
#ifndef QOR_TOOLS_QORREG_TOOLTEST_H
#define QOR_TOOLS_QORREG_TOOLTEST_H

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/TestFiles.h"

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

// A scratch folder of the test's files and the store file root.ini in it.
class ToolFolder : public ::testing::Test {
protected:
    // Writes the folder's file name; gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        qor::testkit::WriteBytes(scratch_.File(name), bytes);
        return scratch_.File(name);
    }
    // Runs qorreg on the store: "-f root.ini" and args.
    Outcome OnStore(std::vector<std::string> args, const std::string& input = std::string()) const {
        args.insert(args.begin(), {"-f", store_});
        return RunQorreg(args, input);
    }

    qor::testkit::ScratchFolder scratch_{"qorreg"};
    std::filesystem::path dir_ = scratch_.FsPath();
    std::string store_ = scratch_.File("root.ini");
};

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
