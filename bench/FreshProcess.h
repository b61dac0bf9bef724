// What the fresh-process drivers (the library through its shared object,
// GKeyFile, SimpleIni) share: one timed run, its key=value output, the
// section names of an INI-layout file and the process's page faults. Each
// driver does one measure per process, as a program that starts, loads its
// settings once and works on them.
#ifndef QOR_BENCH_FRESHPROCESS_H
#define QOR_BENCH_FRESHPROCESS_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bench/ProcessMemory.h"

namespace qor::bench {

// Elapsed and processor time in seconds; none yet is infinitely slow, so
// that the best of runs is their minimum.
struct Timing {
    double wall = std::numeric_limits<double>::infinity();
    double cpu = std::numeric_limits<double>::infinity();
};

template <typename Timed>
Timing TimeOnce(Timed&& timed) {
    const std::clock_t cpuStart = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    timed();
    const auto wallEnd = std::chrono::steady_clock::now();
    const std::clock_t cpuEnd = std::clock();
    return {std::chrono::duration<double>(wallEnd - wallStart).count(),
            static_cast<double>(cpuEnd - cpuStart) / CLOCKS_PER_SEC};
}

inline void KeepBest(Timing& best, const Timing& run) {
    best.wall = std::min(best.wall, run.wall);
    best.cpu = std::min(best.cpu, run.cpu);
}

inline void PrintTiming(const char* name, const Timing& timing, double divisor = 1.0) {
    std::printf("%s_wall=%.9g\n%s_cpu=%.9g\n", name, timing.wall / divisor, name, timing.cpu / divisor);
}

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

// The names between '[' and ']' of the section lines, in file order (the
// generator writes the keys in ascending order in both forms); the store
// file ends its lines with CR LF.
inline std::vector<std::string> SectionNames(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            names.push_back(line.substr(1, line.size() - 2));
    }
    if (names.empty()) Fail("no sections in " + path);
    return names;
}

// The sections a typed-read measure works on: handles of them spread evenly
// over the file, as compare_driver picks its keys.
inline std::vector<std::string> SpreadSections(const std::string& path, std::size_t handles) {
    const std::vector<std::string> all = SectionNames(path);
    handles = std::max<std::size_t>(1, std::min(handles, all.size()));
    std::vector<std::string> picked;
    for (std::size_t i = 0; i < handles; ++i) picked.push_back(all[i * all.size() / handles]);
    return picked;
}

// Minor page faults of this process so far (field 10 of /proc/self/stat; 0 elsewhere).
inline long long MinorFaults() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 10 && fields >> field; ++i) {
    }
    return std::atoll(field.c_str());
}

// One load timed, then the process's memory and page faults it cost:
// load() answers true when the file was loaded.
template <typename LoadFile>
int MeasureLoad(const std::string& path, LoadFile&& load) {
    const long long before = StatusBytes("VmRSS");
    const long long faults = MinorFaults();
    bool loaded = false;
    const Timing timing = TimeOnce([&] { loaded = load(); });
    // Read one by one, in this order: the peak before anything else runs.
    const long long peak = StatusBytes("VmHWM");
    const long long held = StatusBytes("VmRSS");
    const long long faulted = MinorFaults() - faults;
    if (!loaded) Fail("cannot load " + path);
    PrintTiming("seconds", timing);
    std::printf("rss_before=%lld\npeak_rss=%lld\nheld_rss=%lld\nminor_faults=%lld\n", before, peak, held, faulted);
    return 0;
}

// The typed-read loop of every driver: calls reads, one per call, on the
// handles in turn and four value names, the index wrapping by a comparison.
inline constexpr std::size_t kReadCalls = 2000000;
inline constexpr const char* kReadNames[] = {"RESOLUTION", "BRIGHTNESS", "CONTRAST", "DUPLEX"};

template <typename Read>
long long ReadLoop(std::size_t handles, Read&& read) {
    long long sum = 0;
    std::size_t h = 0;
    for (std::size_t c = 0; c < kReadCalls; ++c, h = h + 1 == handles ? 0 : h + 1) sum += read(h, c & 3);
    return sum;
}

}  // namespace qor::bench

#endif
