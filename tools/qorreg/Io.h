// The streams a verb writes to and its exit statuses. Verbs take an Io
// instead of using std::cout and std::cerr, so that tests run them in-process.
#ifndef QORREG_IO_H
#define QORREG_IO_H

#include <ostream>
#include <string>

namespace qorreg {

enum ExitStatus {
    kExitOk = 0,
    kExitNotFound = 1,  // a key, value, filter match or product named does not exist
    kExitFailure = 2,   // usage error, unreadable or invalid file, failed write
};

// compare's own statuses: 0 identical, 2 different, 1 the comparison failed.
inline constexpr int kExitDifferent = 2;
inline constexpr int kExitCompareFailed = 1;

struct Io {
    std::ostream& out;
    std::ostream& err;
};

// Writes "qorreg: message" as one line to the error stream; returns status.
inline int Fail(Io& io, int status, const std::string& message) {
    io.err << "qorreg: " << message << '\n';
    return status;
}

}  // namespace qorreg

#endif
