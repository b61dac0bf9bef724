// The C++ half of bench/compare: each command does one measure in a fresh
// process and prints key=value lines for the script. Times are the best of
// the given number of runs, in seconds, both as elapsed time (X_wall) and as
// the process's processor time (X_cpu).
//
//   generate KEYS DIR       writes DIR/store.ini (store file) and DIR/peer.ini (INI form)
//   load FILE RUNS          LoadFile; peak and held memory after the first load
//   save FILE OUT RUNS      SaveFile of the loaded store; whether OUT equals FILE
//   replace FILE OUT RUNS   FILE's bytes, held in memory, written to OUT the way SaveFile
//                           writes (pieces of 1 MiB, flushed, renamed over the old file):
//                           what SaveFile costs without the lines to make
//   copy FILE OUT RUNS      as replace, each piece first copied into one buffer of a piece's
//                           size: the least SaveFile must do to write its bytes, lines aside
//   visit FILE RUNS         every key and value of the loaded store visited as SaveFile
//                           visits them, nothing written: SaveFile's own floor beside replace
//   walk FILE RUNS          full-tree walk through CRegExt
//   scanwalk KEYS RUNS      the walk and the scan-per-query reference on KEYS keys
//   getint FILE HANDLES RUNS [table|regext|store]
//                           per typed read, on HANDLES keys spread over the store: pfnGetInt
//                           through table handles (default) or CRegExt::GetInt through objects,
//                           or the store's own lookup below both (store)
//   change FILE OUT RUNS    one SetInt through CRegExt, then SaveFile to OUT (with its flush)
//   merge FILE OUT RUNS     one value set, then SaveFile to OUT after another store changed
//                           one value of OUT and saved it: the save reads OUT again and
//                           merges; the bytes the store keeps to merge
//   start DIR RUNS          a product's start, end to end, on a product tree written to DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "bench/ProcessMemory.h"
#include "bench/StoreGenerator.h"
#include "bench/TreeWalk.h"
#include "platform/Platform.h"
#include "store/IniClassInternal.h"
#include "store/KeyMap.h"
#include "store/KnownFiles.h"
#include "store/ValueText.h"

namespace {

using qor::bench::StatusBytes;

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

// Counted by the store itself: listing the keys would copy every one of
// them and leave its mark on the process's peak memory.
std::size_t KeyCount(CIniClass& store) { return qor::store::Internal(store).KeyCount(); }

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
    // Read one by one: the order in which a call's arguments are worked out
    // is the compiler's, and the peak must be read before anything else runs.
    const long long peak = StatusBytes("VmHWM");
    const long long held = StatusBytes("VmRSS");
    std::printf("rss_before=%lld\npeak_rss=%lld\nheld_rss=%lld\nkeys=%zu\n", before, peak, held, KeyCount(*store));
    store.reset();
    PrintTiming("seconds", BestOf(
                               runs, [&] { store = std::make_unique<CIniClass>(); },
                               [&] { store->LoadFile(path.c_str()); }, [&] { store.reset(); }));
    return 0;
}

int Save(const std::string& path, const std::string& out, int runs) {
    auto store = Loaded(path);
    PrintTiming("seconds", BestOf(
                               runs, Nothing, [&] { store->SaveFile(out.c_str(), ""); }, Nothing));
    std::printf("identical=%d\n", ReadAll(out) == ReadAll(path) ? 1 : 0);
    return 0;
}

// With copied, each piece is first copied into one buffer of the piece's
// size, as SaveFile makes each piece in its buffer before writing it.
int Replace(const std::string& path, const std::string& out, int runs, bool copied) {
    const std::string bytes = ReadAll(path);
    constexpr std::size_t kPiece = 1 << 20;
    std::string buffer(kPiece, '\0');
    const auto writeAll = [&](const qor::platform::PieceWriter& write) {
        for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
            std::string_view piece = std::string_view(bytes).substr(at, kPiece);
            if (copied) piece = std::string_view(buffer.data(), piece.copy(buffer.data(), piece.size()));
            if (!write(piece)) return false;
        }
        return true;
    };
    bool written = true;
    PrintTiming("seconds", BestOf(
                               runs, Nothing,
                               [&] { written &= qor::platform::ReplaceFileAtomicallyFrom(out, writeAll); }, Nothing));
    std::printf("identical=%d\n", written && ReadAll(out) == bytes ? 1 : 0);
    return 0;
}

// Every key and value of the loaded store visited in the order and the way
// SaveFile visits them, their sizes summed, nothing written: what SaveFile
// cannot do without, on top of replacing the file.
int Visit(const std::string& path, int runs) {
    auto store = Loaded(path);
    const qor::store::KeyMap& keys = qor::store::KeysOf(*store);
    const qor::store::KeyDifference none;
    std::size_t bytes = 0;
    PrintTiming("seconds", BestOf(
                               runs, [&] { bytes = 0; },
                               [&] {
                                   qor::store::ForEachKeyWith(
                                       keys, none, [&bytes](std::string_view key, const qor::store::ValueList& values) {
                                           bytes += key.size();
                                           values.ForEach([&bytes](const qor::store::ValueList::Entry& entry) {
                                               bytes += entry.name.size() + entry.text.size();
                                           });
                                           return true;
                                       });
                               },
                               Nothing));
    std::printf("bytes=%zu\n", bytes);
    return 0;
}

int Walk(const std::string& path, int runs) {
    auto store = Loaded(path);
    CRegExt().SetObject(store.get());
    WalkResult walk;
    PrintTiming("seconds", BestOf(
                               runs, Nothing, [&] { walk = qor::bench::WalkWithRegExt(kWalkRoot); }, Nothing));
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
    PrintTiming("walk_seconds", BestOf(
                                    runs, Nothing, [&] { walk = qor::bench::WalkWithRegExt(kWalkRoot); }, Nothing));
    PrintTiming("scan_seconds",
                BestOf(
                    runs, Nothing, [&] { scan = qor::bench::ScanPerQueryWalk(all, kWalkRoot); }, Nothing));
    std::printf("same=%d\n", walk.checksum == scan.checksum && walk.queries == scan.queries ? 1 : 0);
    PrintWalk("walk", walk);
    CRegExt().SetObject(nullptr);
    return 0;
}

// The key path below HKEY_CURRENT_USER of generated key number index.
std::string SubKeyOf(std::size_t index) { return qor::bench::KeyPathOf(index).substr(kWalkRoot.size() + 1); }

// Typed reads on handles (or objects) on keys spread evenly over the store,
// so that lookups do not all hit the same few cached map nodes. The
// checksum is that of one run, the same for both facades. Without a facade
// (storeOnly), the store's own lookup of the same key paths and names,
// which every typed read of either facade makes: what a call costs below
// the facades.
int GetInt(const std::string& path, std::size_t handleCount, int runs, bool throughTable, bool storeOnly = false) {
    auto store = Loaded(path);
    CRegExt reg;
    reg.SetObject(store.get());
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    tagRegHandle shared;
    table->pfnInitHandle(&shared);
    table->pfnAttachRegExt(&reg, &shared);
    const std::size_t keys = KeyCount(*store);
    const std::size_t handles = std::max<std::size_t>(1, std::min(handleCount, keys));
    std::vector<tagRegHandle> open(handles);
    std::vector<CRegExt> objects(handles);
    for (std::size_t i = 0; i < handles; ++i) {
        const std::string sub = SubKeyOf(i * keys / handles);
        table->pfnInitHandle(&open[i]);
        if (table->pfnOpen(HKEY_CURRENT_USER, sub.c_str(), KEY_ALL_ACCESS, &open[i]) != 0) return 1;
        if (objects[i].Open(HKEY_CURRENT_USER, sub.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return 1;
    }
    const char* names[] = {"RESOLUTION", "BRIGHTNESS", "CONTRAST", "DUPLEX"};
    std::vector<std::string> paths(handles);
    for (std::size_t i = 0; i < handles; ++i) paths[i] = qor::bench::KeyPathOf(i * keys / handles);
    const auto& internal = qor::store::Internal(*store);
    constexpr std::size_t kCalls = 2000000;
    long long sum = 0;
    // The handle index wraps by a comparison: a division per call would be
    // timed with the call (the QSettings driver walks its keys alike).
    const Timing best = BestOf(
        runs, Nothing,
        [&] {
            sum = 0;
            std::size_t h = 0;
            if (storeOnly) {
                for (std::size_t c = 0; c < kCalls; ++c, h = h + 1 == handles ? 0 : h + 1) {
                    const auto text = internal.FindTextAnyCase(paths[h], names[c & 3]);
                    sum += text ? qor::ParseAtoi(text->body) : 0;
                }
            } else if (throughTable) {
                for (std::size_t c = 0; c < kCalls; ++c, h = h + 1 == handles ? 0 : h + 1) {
                    int value = 0;
                    table->pfnGetInt(&open[h], &value, names[c & 3]);
                    sum += value;
                }
            } else {
                for (std::size_t c = 0; c < kCalls; ++c, h = h + 1 == handles ? 0 : h + 1) {
                    int value = 0;
                    objects[h].GetInt(value, names[c & 3]);
                    sum += value;
                }
            }
        },
        Nothing);
    PrintTiming("seconds", best, kCalls);
    std::printf("checksum=%lld\n", sum);
    reg.SetObject(nullptr);
    return 0;
}

// One changed value saved: SetInt through a CRegExt object on a key in the
// middle of the store, then SaveFile to out, which flushes the file to disk
// before it replaces out. The load is outside the timing.
int Change(const std::string& path, const std::string& out, int runs) {
    auto store = Loaded(path);
    CRegExt reg;
    reg.SetObject(store.get());
    const std::size_t middle = KeyCount(*store) / 2;
    CRegExt object;
    if (object.Open(HKEY_CURRENT_USER, SubKeyOf(middle).c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return 1;
    int written = 0;
    int saved = 1;
    int run = 0;
    PrintTiming("seconds", BestOf(
                               runs, [&] { written = 7000000 + run++; },
                               [&] {
                                   saved &= object.SetInt(written, "RESOLUTION");
                                   saved &= store->SaveFile(out.c_str(), "");
                               },
                               Nothing));
    reg.SetObject(nullptr);
    // Read back from the written file.
    auto check = Loaded(out);
    CString text;
    const bool found = check->GetValue(qor::bench::KeyPathOf(middle).c_str(), "RESOLUTION", text);
    const bool changed =
        saved == 1 && found && std::atoi(std::string(qor::store::WithoutPrefix(text.str())).c_str()) == written;
    std::printf("written=%d\nchanged=%d\n", written, changed ? 1 : 0);
    return changed ? 0 : 1;
}

// The parts of a product's start, in order.
// A save after another writer's: OUT, a copy of FILE, is loaded into this
// store and another; in each run the other sets one value and saves (not
// timed), then this store sets one value of its own and saves (timed),
// which reads OUT again and applies its change to it.
int Merge(const std::string& path, const std::string& out, int runs) {
    std::ofstream(out, std::ios::binary) << ReadAll(path);
    auto store = Loaded(out);
    auto other = Loaded(out);
    const std::size_t middle = KeyCount(*store) / 2;
    const std::string mine = qor::bench::KeyPathOf(middle), theirs = qor::bench::KeyPathOf(middle / 2);
    int run = 0;
    int saved = 1;
    const auto text = [&run] { return "<dword>" + std::to_string(7000000 + run); };
    PrintTiming("seconds", BestOf(
                               runs,
                               [&] {
                                   other->SetValue(theirs.c_str(), "RESOLUTION", text().c_str());
                                   saved &= other->SaveFile(out.c_str(), "");
                               },
                               [&] {
                                   store->SetValue(mine.c_str(), "RESOLUTION", text().c_str());
                                   saved &= store->SaveFile(out.c_str(), "");
                               },
                               [&] { ++run; }));
    --run;
    auto check = Loaded(out);
    CString mineRead, theirsRead;
    const bool merged = saved == 1 && check->GetValue(mine.c_str(), "RESOLUTION", mineRead) == 1 &&
                        check->GetValue(theirs.c_str(), "RESOLUTION", theirsRead) == 1 && mineRead.str() == text() &&
                        theirsRead.str() == text();
    std::printf("merged=%d\nkept_bytes=%zu\n", merged ? 1 : 0, qor::store::Internal(*store).files.HeldBytes());
    return merged ? 0 : 1;
}

enum StartPart { kFindRoot, kLoadRoot, kClassReads, kTableReads, kChange, kSave, kStartParts };
const char* const kStartPartNames[kStartParts] = {"find_root", "load", "regext_reads", "table_reads", "change", "save"};

// What a program of the suite does at start and at its first save, on the
// product tree of WriteProductTree: finds its product folder through the
// lookup key (machine store, GetRegRoot), loads the product's root.ini,
// reads 200 typed values through CRegExt (5 on each of the 40 devices) and
// 200 through the function table (5 on a profile of each device), changes
// one value and saves root.ini (the save flushes the file to disk). Each
// part is timed; the parts of the run with the best whole are printed.
int Start(const std::string& folder, int runs) {
    qor::bench::ProductTree tree;
    if (!qor::bench::WriteProductTree(folder, tree)) return 1;
    const std::string pristine = ReadAll(tree.rootIni);
#ifdef _WIN32
    _putenv_s("QOR_COMMON_APPDATA", tree.appData.c_str());
#else
    setenv("QOR_COMMON_APPDATA", tree.appData.c_str(), 1);
#endif
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    const std::string devicesKey = "Software\\Orvane Corp\\DocScan\\Devices\\";
    std::vector<Timing> best(kStartParts);
    Timing bestTotal;
    long long checksum = 0;
    std::size_t keys = 0;
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        {
            std::ofstream restore(tree.rootIni, std::ios::binary | std::ios::trunc);
            restore.write(pristine.data(), static_cast<std::streamsize>(pristine.size()));
        }
        std::vector<Timing> parts(kStartParts);
        const auto timePart = [&](StartPart part, const std::function<void()>& work) {
            parts[part] = BestOf(1, Nothing, work, Nothing);
        };
        char productKey[260] = {};
        std::string rootIni;
        long long sum = 0;
        timePart(kFindRoot, [&] {
            ok &= CRegExt::Load(tree.machineStore.c_str()) == 1;
            CRegExt lookup;
            lookup.GetRegRoot(0, tree.modulePath.c_str(), productKey);
            rootIni = std::string(CRegExt::GetSysPath()) + "root.ini";
        });
        ok &= std::string(productKey).find("DocScan Pro 5") != std::string::npos;
        timePart(kLoadRoot, [&] { ok &= CRegExt::Load(rootIni.c_str()) == 1; });
        timePart(kClassReads, [&] {
            for (std::size_t d = 0; d < qor::bench::kProductDevices; ++d) {
                CRegExt device;
                const std::string sub = devicesKey + qor::bench::ProductDeviceName(d);
                ok &= device.Open(HKEY_CURRENT_USER, sub.c_str(), KEY_READ) == ERROR_SUCCESS;
                DWORD resolution = 0;
                int brightness = 0;
                int contrast = 0;
                float gamma = 0;
                CString mode;
                device.GetDWord(resolution, 75, 300, 1200, "Resolution");
                device.GetInt(brightness, "Brightness");
                device.GetInt(contrast, 50, "Contrast");
                device.GetFloat(&gamma, 2.2f, "Gamma");
                device.GetString(mode, "Color Mode", 0);
                sum += resolution + brightness + contrast + static_cast<long long>(gamma * 100) + mode.GetLength();
            }
        });
        timePart(kTableReads, [&] {
            CRegExt shared;
            tagRegHandle h;
            table->pfnInitHandle(&h);
            table->pfnAttachRegExt(&shared, &h);
            for (std::size_t d = 0; d < qor::bench::kProductDevices; ++d) {
                const std::string sub = devicesKey + qor::bench::ProductDeviceName(d) + "\\Profiles\\Profile-00";
                ok &= table->pfnOpen(HKEY_CURRENT_USER, sub.c_str(), KEY_READ, &h) == ERROR_SUCCESS;
                DWORD resolution = 0;
                int brightness = 0;
                int contrast = 0;
                int duplex = 0;
                char paper[32] = "";
                table->pfnGetDWordRange(&h, &resolution, 75, 300, 1200, "Resolution");
                table->pfnGetInt(&h, &brightness, "Brightness");
                table->pfnGetIntDefault(&h, &contrast, 50, "Contrast");
                table->pfnGetInt(&h, &duplex, "Duplex");
                table->pfnGetString(&h, paper, "Paper Size", sizeof paper);
                sum += resolution + brightness + contrast + duplex + static_cast<long long>(std::strlen(paper));
            }
        });
        timePart(kChange, [&] {
            CRegExt app;
            ok &= app.Open(HKEY_CURRENT_USER, "Software\\Orvane Corp\\DocScan", KEY_ALL_ACCESS) == ERROR_SUCCESS;
            ok &= app.SetInt(run + 1, "Scan Count") == 1;
        });
        timePart(kSave, [&] { ok &= CRegExt::Save(rootIni.c_str()) == 1; });
        keys = KeyCount(*CRegExt::m_pIni);
        checksum = sum;
        CRegExt().Delete();
        Timing total{0, 0};
        for (const Timing& part : parts) {
            total.wall += part.wall;
            total.cpu += part.cpu;
        }
        if (total.wall < bestTotal.wall) {
            bestTotal = total;
            best = parts;
        }
        // What the save wrote: the change, read back from the file.
        CIniClass saved;
        CString text;
        ok &= saved.LoadFile(tree.rootIni.c_str()) == 1 &&
              saved.GetValue(std::string(qor::bench::kProductAppKey).c_str(), "SCAN COUNT", text) == 1 &&
              std::atoi(std::string(qor::store::WithoutPrefix(text.str())).c_str()) == run + 1;
    }
    for (int part = 0; part < kStartParts; ++part) {
        PrintTiming(("start_" + std::string(kStartPartNames[part])).c_str(), best[part]);
    }
    PrintTiming("start_total", bestTotal);
    std::printf("start_keys=%zu\nstart_checksum=%lld\nstart_ok=%d\n", keys, checksum, ok ? 1 : 0);
    return ok ? 0 : 1;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: compare_driver generate KEYS DIR | load FILE RUNS | save FILE OUT RUNS | replace FILE OUT RUNS |"
        " copy FILE OUT RUNS | visit FILE RUNS | walk FILE RUNS | scanwalk KEYS RUNS | getint FILE HANDLES RUNS "
        "[table|regext|store] |"
        " change FILE OUT RUNS | merge FILE OUT RUNS | start DIR RUNS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3) return Usage();
    const std::string& command = args[0];
    const auto number = [&](std::size_t i) { return std::strtoull(args[i].c_str(), nullptr, 10); };
    const auto runsAt = [&](std::size_t i) { return std::max(1, static_cast<int>(number(i))); };
    const std::size_t n = args.size();
    if (command == "generate" && n == 3) return Generate(number(1), args[2]);
    if (command == "load" && n == 3) return Load(args[1], runsAt(2));
    if (command == "save" && n == 4) return Save(args[1], args[2], runsAt(3));
    if (command == "replace" && n == 4) return Replace(args[1], args[2], runsAt(3), false);
    if (command == "copy" && n == 4) return Replace(args[1], args[2], runsAt(3), true);
    if (command == "walk" && n == 3) return Walk(args[1], runsAt(2));
    if (command == "visit" && n == 3) return Visit(args[1], runsAt(2));
    if (command == "scanwalk" && n == 3) return ScanWalk(number(1), runsAt(2));
    if (command == "getint" && (n == 4 || (n == 5 && (args[4] == "table" || args[4] == "regext")))) {
        return GetInt(args[1], number(2), runsAt(3), n == 4 || args[4] == "table");
    }
    if (command == "getint" && n == 5 && args[4] == "store") return GetInt(args[1], number(2), runsAt(3), false, true);
    if (command == "change" && n == 4) return Change(args[1], args[2], runsAt(3));
    if (command == "merge" && n == 4) return Merge(args[1], args[2], runsAt(3));
    if (command == "start" && n == 3) return Start(args[1], runsAt(2));
    return Usage();
}
