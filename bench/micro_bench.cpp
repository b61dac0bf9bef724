// Micro-benchmarks of the store and both facades at 1k, 10k and 100k keys,
// on the stores of bench/StoreGenerator. Every store size is generated once
// and shared by the benchmarks; files go to a scratch folder removed at exit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "bench/StoreGenerator.h"
#include "bench/TreeWalk.h"

namespace {

namespace fs = std::filesystem;
using qor::bench::kKeysPerProduct;

constexpr DWORD kAllAccess = 0xF003F;
// Typed reads and writes rotate over this many objects or handles on keys
// spread over the store: a caller's working set. The "Spread" variants use
// 1024, so that most lookups miss the processor caches.
constexpr std::size_t kWorkingSet = 16;
constexpr std::size_t kSpreadHandles = 1024;
const char* const kIntNames[] = {"RESOLUTION", "BRIGHTNESS", "CONTRAST", "DUPLEX"};

class ScratchFolder {
public:
    ScratchFolder() : path_(fs::temp_directory_path() / ("qor_micro_bench_" + std::to_string(::getpid()))) {
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

ScratchFolder& Scratch() {
    static ScratchFolder folder;
    return folder;
}

// One generated store per size, with its store file and its full export.
struct Fixture {
    std::unique_ptr<CIniClass> store;
    std::string file;
    CString exported;
};

Fixture& FixtureOf(std::size_t keys) {
    static std::map<std::size_t, Fixture> fixtures;
    Fixture& fixture = fixtures[keys];
    if (!fixture.store) {
        fixture.store = std::make_unique<CIniClass>();
        qor::bench::FillStore(*fixture.store, keys);
        fixture.file = Scratch().File("store_" + std::to_string(keys) + ".ini");
        fixture.store->SaveFile(fixture.file.c_str(), "");
        fixture.store->ExportText("", fixture.exported);
    }
    return fixture;
}

std::size_t KeysOf(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)); }

// The product in the middle of the store: a 100-key subtree.
std::size_t MiddleProduct(std::size_t keys) { return keys / kKeysPerProduct / 2; }

// A device key in the middle of the store: ten profiles below it.
std::string MiddleDevice(std::size_t keys) { return qor::bench::ProductPathOf(MiddleProduct(keys)) + "\\DEVICE5"; }

// Makes the fixture's store the process store of both facades for one benchmark.
class AttachedStore {
public:
    explicit AttachedStore(CIniClass* store) { CRegExt().SetObject(store); }
    ~AttachedStore() { CRegExt().SetObject(nullptr); }
    AttachedStore(const AttachedStore&) = delete;
    AttachedStore& operator=(const AttachedStore&) = delete;
};

std::string UnderCurrentUser(const std::string& path) { return path.substr(std::string("HKEY_CURRENT_USER\\").size()); }

void SetItems(benchmark::State& state, std::size_t perIteration) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

// ---- Files and texts

void BM_LoadFile(benchmark::State& state) {
    const Fixture& fixture = FixtureOf(KeysOf(state));
    for (auto _ : state) {
        auto store = std::make_unique<CIniClass>();
        benchmark::DoNotOptimize(store->LoadFile(fixture.file.c_str()));
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(fixture.file)));
}

void BM_SaveFile(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    const std::string out = Scratch().File("saved.ini");
    for (auto _ : state) benchmark::DoNotOptimize(fixture.store->SaveFile(out.c_str(), ""));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(out)));
}

void BM_ExportText(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    CString out;
    for (auto _ : state) benchmark::DoNotOptimize(fixture.store->ExportText("", out));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.GetLength()));
}

void BM_ImportText(benchmark::State& state) {
    const Fixture& fixture = FixtureOf(KeysOf(state));
    for (auto _ : state) {
        auto store = std::make_unique<CIniClass>();
        benchmark::DoNotOptimize(store->ImportText(fixture.exported));
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture.exported.GetLength()));
}

// ---- Subtrees: the cost should follow the 100 keys, not the store

void BM_GetSubKeys(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    const std::string product = qor::bench::ProductPathOf(MiddleProduct(KeysOf(state)));
    for (auto _ : state) {
        CStringArray list;
        benchmark::DoNotOptimize(fixture.store->GetSubKeys(product.c_str(), list));
    }
    SetItems(state, kKeysPerProduct);
}

void BM_DeleteSubtree(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    const std::size_t product = MiddleProduct(KeysOf(state));
    const std::string path = qor::bench::ProductPathOf(product);
    for (auto _ : state) {
        fixture.store->DeleteSubtree(path.c_str());
        state.PauseTiming();
        qor::bench::FillKeys(*fixture.store, product * kKeysPerProduct, kKeysPerProduct);
        state.ResumeTiming();
    }
    SetItems(state, kKeysPerProduct);
}

// ---- Enumeration through CRegExt

void BM_QueryAndEnumerate(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    AttachedStore attached(fixture.store.get());
    const std::string device = MiddleDevice(KeysOf(state));
    CRegExt reg;
    char name[260];
    for (auto _ : state) {
        DWORD count = 0;
        DWORD longest = 0;
        reg.RegQueryInfoKeyA(device.c_str(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr);
        for (DWORD i = 0; i < count; ++i) {
            reg.RegEnumKeyExA(static_cast<HKEY>(nullptr), i, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        }
        reg.Close();
        benchmark::DoNotOptimize(name);
    }
}

void BM_TreeWalk(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    AttachedStore attached(fixture.store.get());
    for (auto _ : state) benchmark::DoNotOptimize(qor::bench::WalkWithRegExt("HKEY_CURRENT_USER"));
    SetItems(state, KeysOf(state));
}

// ---- Typed values: objects and handles on keys spread over the store

std::vector<std::string> SpreadKeys(std::size_t keys, std::size_t wanted) {
    const std::size_t count = std::min(wanted, keys);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < count; ++i) paths.push_back(UnderCurrentUser(qor::bench::KeyPathOf(i * keys / count)));
    return paths;
}

std::vector<CRegExt> OpenObjects(std::size_t keys, std::size_t count) {
    const std::vector<std::string> paths = SpreadKeys(keys, count);
    std::vector<CRegExt> objects(paths.size());
    for (std::size_t i = 0; i < objects.size(); ++i) objects[i].Open(HKEY_CURRENT_USER, paths[i].c_str(), kAllAccess);
    return objects;
}

void RegExtGetInt(benchmark::State& state, std::size_t count) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    AttachedStore attached(fixture.store.get());
    std::vector<CRegExt> objects = OpenObjects(KeysOf(state), count);
    std::size_t call = 0, at = 0;  // at wraps by a comparison: no division timed with the call
    for (auto _ : state) {
        int value = 0;
        benchmark::DoNotOptimize(objects[at].GetInt(value, kIntNames[call & 3]));
        ++call;
        at = at + 1 == objects.size() ? 0 : at + 1;
    }
}

void BM_RegExtGetInt(benchmark::State& state) { RegExtGetInt(state, kWorkingSet); }

void BM_RegExtSetInt(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    AttachedStore attached(fixture.store.get());
    std::vector<CRegExt> objects = OpenObjects(KeysOf(state), kWorkingSet);
    std::size_t call = 0, at = 0;  // at wraps by a comparison: no division timed with the call
    for (auto _ : state) {
        benchmark::DoNotOptimize(objects[at].SetInt(static_cast<int>(call & 63), kIntNames[call & 3]));
        ++call;
        at = at + 1 == objects.size() ? 0 : at + 1;
    }
}

// Handles opened through the table on the fixture's store.
std::vector<tagRegHandle> TableHandles(std::size_t keys, std::size_t count) {
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    CRegExt reg;
    tagRegHandle shared;
    table->pfnInitHandle(&shared);
    table->pfnAttachRegExt(&reg, &shared);
    const std::vector<std::string> paths = SpreadKeys(keys, count);
    std::vector<tagRegHandle> handles(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        table->pfnInitHandle(&handles[i]);
        table->pfnOpen(HKEY_CURRENT_USER, paths[i].c_str(), kAllAccess, &handles[i]);
    }
    return handles;
}

void TableGetInt(benchmark::State& state, std::size_t count) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    AttachedStore attached(fixture.store.get());
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    std::vector<tagRegHandle> handles = TableHandles(KeysOf(state), count);
    std::size_t call = 0, at = 0;  // at wraps by a comparison: no division timed with the call
    for (auto _ : state) {
        int value = 0;
        benchmark::DoNotOptimize(table->pfnGetInt(&handles[at], &value, kIntNames[call & 3]));
        ++call;
        at = at + 1 == handles.size() ? 0 : at + 1;
    }
}

void BM_TableGetInt(benchmark::State& state) { TableGetInt(state, kWorkingSet); }
void BM_TableGetIntOneHandle(benchmark::State& state) { TableGetInt(state, 1); }
void BM_TableGetIntSpread(benchmark::State& state) { TableGetInt(state, kSpreadHandles); }
void BM_RegExtGetIntSpread(benchmark::State& state) { RegExtGetInt(state, kSpreadHandles); }

void BM_TableSetInt(benchmark::State& state) {
    Fixture& fixture = FixtureOf(KeysOf(state));
    AttachedStore attached(fixture.store.get());
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    std::vector<tagRegHandle> handles = TableHandles(KeysOf(state), kWorkingSet);
    std::size_t call = 0, at = 0;  // at wraps by a comparison: no division timed with the call
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->pfnSetInt(&handles[at], static_cast<int>(call & 63), kIntNames[call & 3]));
        ++call;
        at = at + 1 == handles.size() ? 0 : at + 1;
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (const std::int64_t keys : {1000, 10000, 100000}) b->Arg(keys);
    b->ComputeStatistics("min",
                         [](const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); });
}

BENCHMARK(BM_LoadFile)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportText)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportText)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetSubKeys)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteSubtree)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QueryAndEnumerate)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TreeWalk)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegExtGetInt)->Apply(Sizes);
BENCHMARK(BM_RegExtGetIntSpread)->Apply(Sizes);
BENCHMARK(BM_RegExtSetInt)->Apply(Sizes);
BENCHMARK(BM_TableGetInt)->Apply(Sizes);
BENCHMARK(BM_TableGetIntOneHandle)->Apply(Sizes);
BENCHMARK(BM_TableGetIntSpread)->Apply(Sizes);
BENCHMARK(BM_TableSetInt)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
