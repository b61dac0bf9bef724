// The C++ half of bench/compare: each command does one measure in a fresh
// process and prints key=value lines for the script. Times are the best of
// the given number of runs, in seconds, both as elapsed time (X_wall) and as
// the process's processor time (X_cpu).
//
//   generate KEYS DIR       writes DIR/store.ini (store file) and DIR/peer.ini (INI form)
//   load FILE RUNS          LoadFile; peak and held memory after the first load
//   save FILE OUT RUNS      SaveFile of the loaded store; whether OUT equals FILE
//   walk FILE RUNS          full-tree walk through CRegExt
//   scanwalk KEYS RUNS      the walk and the scan-per-query reference on KEYS keys
//   getint FILE HANDLES RUNS  pfnGetInt per call, on HANDLES handles spread over the store
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "bench/StoreGenerator.h"
#include "bench/TreeWalk.h"

namespace {

using qor::bench::WalkResult;

const std::string kWalkRoot = "HKEY_CURRENT_USER";
struct Timing {
    double wall = std::numeric_limits<double>::infinity();
    double cpu = std::numeric_limits<double>::infinity();
};

// Best of runs, elapsed and processor time each; setup and teardown are
// outside the timed part.
Timing BestOf(int runs, const std::function<void()>& setup, const std::function<void()>& timed,
              const std::function<void()>& teardown) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        setup();
        const std::clock_t cpuStart = std::clock();
        const auto wallStart = std::chrono::steady_clock::now();
        timed();
        const auto wallEnd = std::chrono::steady_clock::now();
        const std::clock_t cpuEnd = std::clock();
        best.wall = std::min(best.wall, std::chrono::duration<double>(wallEnd - wallStart).count());
        best.cpu = std::min(best.cpu, static_cast<double>(cpuEnd - cpuStart) / CLOCKS_PER_SEC);
        teardown();
    }
    return best;
}

void PrintTiming(const char* name, const Timing& timing, double divisor = 1.0) {
    std::printf("%s_wall=%.9g\n%s_cpu=%.9g\n", name, timing.wall / divisor, name, timing.cpu / divisor);
}

void Nothing() {}

// A field of /proc/self/status in bytes (0 where there is none).
long long StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (!line.starts_with(field + ":")) continue;
        std::istringstream rest(line.substr(field.size() + 1));
        long long kib = 0;
        rest >> kib;
        return kib * 1024;
    }
    return 0;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::unique_ptr<CIniClass> Loaded(const std::string& path) {
    auto store = std::make_unique<CIniClass>();
    if (store->LoadFile(path.c_str()) != 1) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        std::exit(1);
    }
    return store;
}

std::size_t KeyCount(CIniClass& store) {
    CStringArray keys;
    return static_cast<std::size_t>(store.GetAllKeys(keys));
}

void PrintWalk(const char* prefix, const WalkResult& walk) {
    std::printf("%s_queries=%zu\n%s_names=%zu\n%s_checksum=%llu\n", prefix, walk.queries, prefix, walk.names, prefix,
                static_cast<unsigned long long>(walk.checksum));
}

int Generate(std::size_t keys, const std::string& folder) {
    const std::string store = folder + "/store.ini";
    const std::string peer = folder + "/peer.ini";
    if (!qor::bench::WriteStoreFile(keys, store) || !qor::bench::WriteIniFile(keys, peer)) return 1;
    std::printf("store=%s\npeer=%s\n", store.c_str(), peer.c_str());
    return 0;
}

int Load(const std::string& path, int runs) {
    const long long before = StatusBytes("VmRSS");
    auto store = Loaded(path);
    std::printf("rss_before=%lld\npeak_rss=%lld\nheld_rss=%lld\nkeys=%zu\n", before, StatusBytes("VmHWM"),
                StatusBytes("VmRSS"), KeyCount(*store));
    store.reset();
    PrintTiming("seconds", BestOf(runs, [&] { store = std::make_unique<CIniClass>(); },
                                  [&] { store->LoadFile(path.c_str()); }, [&] { store.reset(); }));
    return 0;
}

int Save(const std::string& path, const std::string& out, int runs) {
    auto store = Loaded(path);
    PrintTiming("seconds", BestOf(runs, Nothing, [&] { store->SaveFile(out.c_str(), ""); }, Nothing));
    std::printf("identical=%d\n", ReadAll(out) == ReadAll(path) ? 1 : 0);
    return 0;
}

int Walk(const std::string& path, int runs) {
    auto store = Loaded(path);
    CRegExt().SetObject(store.get());
    WalkResult walk;
    PrintTiming("seconds", BestOf(runs, Nothing, [&] { walk = qor::bench::WalkWithRegExt(kWalkRoot); }, Nothing));
    PrintWalk("walk", walk);
    CRegExt().SetObject(nullptr);
    return 0;
}

int ScanWalk(std::size_t keys, int runs) {
    CIniClass store;
    qor::bench::FillStore(store, keys);
    CRegExt().SetObject(&store);
    CStringArray list;
    store.GetAllKeys(list);
    std::vector<std::string> all;
    for (int i = 0; i < list.GetSize(); ++i) all.push_back(list[i].str());
    WalkResult walk;
    WalkResult scan;
    PrintTiming("walk_seconds", BestOf(runs, Nothing, [&] { walk = qor::bench::WalkWithRegExt(kWalkRoot); }, Nothing));
    PrintTiming("scan_seconds", BestOf(runs, Nothing, [&] { scan = qor::bench::ScanPerQueryWalk(all, kWalkRoot); }, Nothing));
    std::printf("same=%d\n", walk.checksum == scan.checksum && walk.queries == scan.queries ? 1 : 0);
    PrintWalk("walk", walk);
    CRegExt().SetObject(nullptr);
    return 0;
}

int GetInt(const std::string& path, std::size_t handleCount, int runs) {
    auto store = Loaded(path);
    CRegExt reg;
    reg.SetObject(store.get());
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    tagRegHandle shared;
    table->pfnInitHandle(&shared);
    table->pfnAttachRegExt(&reg, &shared);
    // Handles on keys spread evenly over the store, so that lookups do not
    // all hit the same few cached map nodes.
    const std::size_t keys = KeyCount(*store);
    const std::size_t handles = std::max<std::size_t>(1, std::min(handleCount, keys));
    std::vector<tagRegHandle> open(handles);
    const std::string rootPrefix = kWalkRoot + "\\";
    for (std::size_t i = 0; i < handles; ++i) {
        const std::string sub = qor::bench::KeyPathOf(i * keys / handles).substr(rootPrefix.size());
        table->pfnInitHandle(&open[i]);
        if (table->pfnOpen(HKEY_CURRENT_USER, sub.c_str(), 0xF003F, &open[i]) != 0) return 1;
    }
    const char* names[] = {"RESOLUTION", "BRIGHTNESS", "CONTRAST", "DUPLEX"};
    constexpr std::size_t kCalls = 2000000;
    long long sum = 0;
    const Timing best = BestOf(runs, Nothing, [&] {
        for (std::size_t c = 0; c < kCalls; ++c) {
            int value = 0;
            table->pfnGetInt(&open[c % handles], &value, names[c & 3]);
            sum += value;
        }
    }, Nothing);
    PrintTiming("seconds", best, kCalls);
    std::printf("checksum=%lld\n", sum);
    reg.SetObject(nullptr);
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: compare_driver generate KEYS DIR | load FILE RUNS | save FILE OUT RUNS |"
                         " walk FILE RUNS | scanwalk KEYS RUNS | getint FILE HANDLES RUNS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3) return Usage();
    const std::string& command = args[0];
    const auto number = [&](std::size_t i) { return std::strtoull(args[i].c_str(), nullptr, 10); };
    const int runs = std::max(1, static_cast<int>(number(args.size() - 1)));
    if (command == "generate") return Generate(number(1), args[2]);
    if (command == "load") return Load(args[1], runs);
    if (command == "save" && args.size() == 4) return Save(args[1], args[2], runs);
    if (command == "walk") return Walk(args[1], runs);
    if (command == "scanwalk") return ScanWalk(number(1), runs);
    if (command == "getint" && args.size() == 4) return GetInt(args[1], number(2), runs);
    return Usage();
}
