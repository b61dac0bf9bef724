// Memory of the running process, for the bench drivers' reports.
#ifndef QOR_BENCH_PROCESSMEMORY_H
#define QOR_BENCH_PROCESSMEMORY_H

#include <string>

namespace qor::bench {

// A field of /proc/self/status ("VmRSS", "VmHWM") in bytes; 0 where there
// is none (another host, or no such field).
long long StatusBytes(const std::string& field);

}  // namespace qor::bench

#endif
