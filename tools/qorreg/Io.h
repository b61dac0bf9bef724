// The streams a verb writes to and its exit statuses. Verbs take an Io
// instead of using std::cout and std::cerr, so that tests run them in-process.
#ifndef QOR_TOOLS_QORREG_IO_H
#define QOR_TOOLS_QORREG_IO_H

#include <istream>
#include <ostream>
#include <string>

namespace qor::qorreg {

enum ExitStatus {
    kExitOk = 0,
    kExitNotFound = 1,  // a key, value, filter match or product named does not exist
    kExitFailure = 2,   // usage error, unreadable or invalid file, failed write
};

// compare's own statuses: 0 identical, 2 different, 1 the comparison failed.
// import: lines of a regedit file were left out (each named), the rest imported.
inline constexpr int kExitLinesSkipped = 1;
inline constexpr int kExitDifferent = 2;
inline constexpr int kExitCompareFailed = 1;

struct Io {
    std::istream& in;  // what "-" reads
    std::ostream& out;
    std::ostream& err;
    std::string standardInput = {};  // the temporary copy that "-" was read into, named "-" in messages
};

// A file operand as reports name it: "-" for the copy of standard input.
inline std::string Named(const Io& io, const std::string& path) {
    return !io.standardInput.empty() && path == io.standardInput ? std::string("-") : path;
}

// Writes "qorreg: message" as one line (control bytes escaped, the copy of
// standard input named "-") to the error stream; returns status.
int Fail(Io& io, int status, const std::string& message);

}  // namespace qor::qorreg

#endif
