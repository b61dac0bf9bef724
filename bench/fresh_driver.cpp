// The library as a program of the suite meets it: linked to the shared
// object, through the public headers only, one load per process. Each
// command is one measure; bench/compare runs it in fresh processes and
// keeps the best. Output: key=value lines, times in seconds, elapsed
// (X_wall) and processor time (X_cpu).
//
//   load FILE                    CRegExt::Load; peak and held memory, minor page faults
//   getint FILE HANDLES table|regext
//                                per typed read on HANDLES keys spread over the store:
//                                pfnGetInt on table handles or CRegExt::GetInt on objects
//   change FILE OUT table|regext one value set (pfnSetInt / CRegExt::SetInt) and the store
//                                saved to OUT (pfnSave / CRegExt::Save), load not timed
//   merge FILE OUT               OUT, a copy of FILE, loaded; another store changes one value
//                                of OUT and saves it; then one value set and CRegExt::Save(OUT),
//                                which reads OUT again and merges (timed)
//   touch MIB                    the machine's first-touch cost: MIB of new memory written
//                                once per page, then written again
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CIniClass.h"
#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "bench/FreshProcess.h"

namespace {

using qor::bench::Fail;
using qor::bench::PrintTiming;
using qor::bench::TimeOnce;

const std::string kRoot = "HKEY_CURRENT_USER\\";

std::string Below(const std::string& path) { return path.substr(kRoot.size()); }

// The number of a stored value text ("<dword>7000001": 7000001).
int NumberOf(const CString& text) {
    const std::string s = text.str();
    return std::atoi(s.substr(s.find('>') + 1).c_str());
}

bool ReadBack(const std::string& file, const std::string& key, int expected) {
    CIniClass check;
    CString text;
    return check.LoadFile(file.c_str()) == 1 && check.GetValue(key.c_str(), "RESOLUTION", text) == 1 &&
           NumberOf(text) == expected;
}

int Load(const std::string& path) {
    return qor::bench::MeasureLoad(path, [&] { return CRegExt::Load(path.c_str()) == 1; });
}

int GetInt(const std::string& path, std::size_t handleCount, bool throughTable) {
    const std::vector<std::string> keys = qor::bench::SpreadSections(path, handleCount);
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    tagRegHandle shared;
    table->pfnInitHandle(&shared);
    if ((throughTable ? table->pfnLoad(&shared, path.c_str()) : CRegExt::Load(path.c_str())) != 1) {
        Fail("cannot load " + path);
    }
    std::vector<tagRegHandle> handles(keys.size());
    std::vector<CRegExt> objects(throughTable ? 0 : keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string sub = Below(keys[i]);
        if (throughTable) {
            table->pfnInitHandle(&handles[i]);
            if (table->pfnOpen(HKEY_CURRENT_USER, sub.c_str(), KEY_ALL_ACCESS, &handles[i]) != 0) Fail("no " + sub);
        } else if (objects[i].Open(HKEY_CURRENT_USER, sub.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
            Fail("no " + sub);
        }
    }
    long long sum = 0;
    const auto timing = TimeOnce([&] {
        if (throughTable) {
            sum = qor::bench::ReadLoop(keys.size(), [&](std::size_t h, std::size_t n) {
                int value = 0;
                table->pfnGetInt(&handles[h], &value, qor::bench::kReadNames[n]);
                return value;
            });
        } else {
            sum = qor::bench::ReadLoop(keys.size(), [&](std::size_t h, std::size_t n) {
                int value = 0;
                objects[h].GetInt(value, qor::bench::kReadNames[n]);
                return value;
            });
        }
    });
    PrintTiming("seconds", timing, qor::bench::kReadCalls);
    std::printf("checksum=%lld\n", sum);
    return 0;
}

int Change(const std::string& path, const std::string& out, bool throughTable) {
    const std::vector<std::string> all = qor::bench::SectionNames(path);
    const std::string key = all[all.size() / 2];
    const int written = 7000001;
    int saved = 0;
    qor::bench::Timing timing;
    if (throughTable) {
        UI_FunctionTable* table = UI_GetQorFunctionTable();
        tagRegHandle h;
        table->pfnInitHandle(&h);
        if (table->pfnLoad(&h, path.c_str()) != 1) Fail("cannot load " + path);
        if (table->pfnOpen(HKEY_CURRENT_USER, Below(key).c_str(), KEY_ALL_ACCESS, &h) != 0) Fail("no " + key);
        timing = TimeOnce([&] {
            saved = table->pfnSetInt(&h, written, "RESOLUTION");
            saved &= table->pfnSave(&h, out.c_str());
        });
    } else {
        if (CRegExt::Load(path.c_str()) != 1) Fail("cannot load " + path);
        CRegExt object;
        if (object.Open(HKEY_CURRENT_USER, Below(key).c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) Fail("no " + key);
        timing = TimeOnce([&] {
            saved = object.SetInt(written, "RESOLUTION");
            saved &= CRegExt::Save(out.c_str());
        });
    }
    PrintTiming("seconds", timing);
    std::printf("changed=%d\n", saved == 1 && ReadBack(out, key, written) ? 1 : 0);
    return 0;
}

int Merge(const std::string& path, const std::string& out) {
    {
        std::ifstream in(path, std::ios::binary);
        std::ofstream copy(out, std::ios::binary | std::ios::trunc);
        copy << in.rdbuf();
    }
    const std::vector<std::string> all = qor::bench::SectionNames(path);
    const std::string mine = all[all.size() / 2], theirs = all[all.size() / 4];
    if (CRegExt::Load(out.c_str()) != 1) Fail("cannot load " + out);
    CRegExt object;
    if (object.Open(HKEY_CURRENT_USER, Below(mine).c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) Fail("no " + mine);
    int saved = 0;
    {
        CIniClass other;
        saved = other.LoadFile(out.c_str()) == 1 &&
                other.SetValue(theirs.c_str(), "RESOLUTION", "<dword>7000002") == 1 &&
                other.SaveFile(out.c_str(), "") == 1;
    }
    const auto timing = TimeOnce([&] {
        saved &= object.SetInt(7000003, "RESOLUTION");
        saved &= CRegExt::Save(out.c_str());
    });
    PrintTiming("seconds", timing);
    std::printf("merged=%d\n", saved == 1 && ReadBack(out, mine, 7000003) && ReadBack(out, theirs, 7000002) ? 1 : 0);
    return 0;
}

// Memory the process never touched costs a page fault and a zeroed page
// per 4 KiB at its first write; the second write finds the pages mapped.
int Touch(std::size_t mebibytes) {
    constexpr std::size_t kPage = 4096;
    const std::size_t bytes = mebibytes << 20;
    const std::unique_ptr<char[]> memory(new char[bytes]);
    volatile char* const at = memory.get();
    const auto writeEveryPage = [&](char value) {
        for (std::size_t i = 0; i < bytes; i += kPage) at[i] = value;
    };
    const auto first = TimeOnce([&] { writeEveryPage(1); });
    const auto again = TimeOnce([&] { writeEveryPage(2); });
    PrintTiming("first_touch", first);
    PrintTiming("touch_again", again);
    std::printf("pages=%zu\n", bytes / kPage);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: fresh_driver load FILE | getint FILE HANDLES table|regext | change FILE OUT table|regext |"
                 " merge FILE OUT | touch MIB\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::size_t n = args.size();
    const std::string& command = args[0];
    // The facade, last of the typed-read and change commands.
    const bool table = args.back() == "table";
    const bool facade = table || args.back() == "regext";
    if (command == "load" && n == 2) return Load(args[1]);
    if (command == "getint" && n == 4 && facade)
        return GetInt(args[1], std::strtoull(args[2].c_str(), nullptr, 10), table);
    if (command == "change" && n == 4 && facade) return Change(args[1], args[2], table);
    if (command == "merge" && n == 3) return Merge(args[1], args[2]);
    if (command == "touch" && n == 2) return Touch(std::strtoull(args[1].c_str(), nullptr, 10));
    return Usage();
}
