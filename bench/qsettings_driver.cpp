// The QSettings half of bench/compare: the same measures as
// compare_driver's, taken with Qt's QSettings (INI format) on the INI form
// of the generated store (peer.ini). Same output: key=value lines, times
// as the best of RUNS in seconds, elapsed (X_wall) and processor (X_cpu).
//
//   load INI RUNS           construction, the first childGroups() and one value();
//                           peak and held memory after the first load
//   getint INI RUNS         value(...).toInt() per call on 16 keys spread over the store
//   change INI OUT RUNS     open OUT (a fresh copy of INI), setValue of one int, sync()
//
// QSettings keeps the files it has parsed in a process-wide cache keyed by
// path, so every timed open is of a file of its own (a copy made outside
// the timing): a second open of one path would find it parsed already.
//
// The INI sections are the store's key paths, such as
// "[HKEY_CURRENT_USER\SOFTWARE\BENCH\PRODUCT00000]"; QSettings reads a backslash of a section or key name
// as its group separator '/', so the value RESOLUTION of that key is
// "HKEY_CURRENT_USER/SOFTWARE/BENCH/PRODUCT00000/RESOLUTION". QSettings
// parses a section when a value of it is first asked for, but it finds
// the section by the first part of the name only ("HKEY_CURRENT_USER"), so
// a value() before anything has parsed the whole file misses every value
// of these sections; childGroups() parses them all, which is why it is
// part of the load. The getint checksum is the one compare_driver prints
// for the same keys.
#include <QSettings>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/FreshProcess.h"
#include "bench/ProcessMemory.h"
#include "bench/StoreGenerator.h"

namespace {

using qor::bench::StatusBytes;

using qor::bench::KeepBest;
using qor::bench::PrintTiming;
using qor::bench::TimeOnce;
using qor::bench::Timing;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "qsettings_driver: %s\n", what.c_str());
    std::exit(1);
}

// Sections of the INI file: the generator writes one per key.
std::size_t SectionCount(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    std::size_t sections = 0;
    std::string line;
    while (std::getline(in, line)) sections += line.starts_with("[") ? 1 : 0;
    return sections;
}

// The QSettings name of value name of key number index.
QString SettingsKey(std::size_t index, const char* name) {
    std::string path = qor::bench::KeyPathOf(index);
    std::replace(path.begin(), path.end(), '\\', '/');
    return QString::fromStdString(path + "/" + name);
}

void CopyFile(const std::string& from, const std::string& to) {
    std::error_code error;
    if (!std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error)) {
        Fail("cannot copy " + from + " to " + to);
    }
}

// The timed part of a load: the parse happens on first access.
int FirstAccess(QSettings& settings) {
    const QStringList groups = settings.childGroups();
    const int first = settings.value(SettingsKey(0, "RESOLUTION")).toInt();
    return groups.isEmpty() ? -1 : first;
}

int Load(const std::string& ini, int runs) {
    const long long before = StatusBytes("VmRSS");
    const std::size_t keys = SectionCount(ini);
    {
        QSettings settings(QString::fromStdString(ini), QSettings::IniFormat);
        const int first = FirstAccess(settings);
        const QStringList all = settings.allKeys();
        std::printf("rss_before=%lld\npeak_rss=%lld\nheld_rss=%lld\nkeys=%zu\nvalues=%lld\nfirst=%d\n", before,
                    StatusBytes("VmHWM"), StatusBytes("VmRSS"), keys, static_cast<long long>(all.size()), first);
    }
    Timing best;
    for (int run = 0; run < runs; ++run) {
        const std::string copy = ini + ".load" + std::to_string(run);
        CopyFile(ini, copy);
        {
            std::unique_ptr<QSettings> settings;
            KeepBest(best, TimeOnce([&] {
                         settings = std::make_unique<QSettings>(QString::fromStdString(copy), QSettings::IniFormat);
                         FirstAccess(*settings);
                     }));
        }
        std::filesystem::remove(copy);
    }
    PrintTiming("seconds", best);
    return 0;
}

int GetInt(const std::string& ini, int runs) {
    constexpr std::size_t kHandles = 16;
    constexpr std::size_t kCalls = 2000000;
    const char* names[] = {"RESOLUTION", "BRIGHTNESS", "CONTRAST", "DUPLEX"};
    const std::size_t keys = SectionCount(ini);
    const std::size_t handles = std::max<std::size_t>(1, std::min(kHandles, keys));
    // The 16 x 4 names are built once, as a caller would keep them.
    std::vector<QString> settingsKeys;
    for (std::size_t i = 0; i < handles; ++i) {
        for (const char* name : names) settingsKeys.push_back(SettingsKey(i * keys / handles, name));
    }
    QSettings settings(QString::fromStdString(ini), QSettings::IniFormat);
    settings.childGroups();
    for (const QString& key : settingsKeys) {
        if (!settings.contains(key)) Fail("no value " + key.toStdString() + " in " + ini);
    }
    long long sum = 0;
    Timing best;
    for (int run = 0; run < runs; ++run) {
        KeepBest(best, TimeOnce([&] {
                     sum = 0;
                     std::size_t h = 0;  // wraps by a comparison, as the library's driver does
                     for (std::size_t c = 0; c < kCalls; ++c, h = h + 1 == handles ? 0 : h + 1) {
                         sum += settings.value(settingsKeys[h * 4 + (c & 3)]).toInt();
                     }
                 }));
    }
    PrintTiming("seconds", best, kCalls);
    std::printf("checksum=%lld\n", sum);
    return 0;
}

int Change(const std::string& ini, const std::string& out, int runs) {
    const std::size_t keys = SectionCount(ini);
    const QString key = SettingsKey(keys / 2, "RESOLUTION");
    Timing best;
    int written = 0;
    for (int run = 0; run < runs; ++run) {
        // Each run's file is new to QSettings; the last one is left at OUT.
        const std::string path = run + 1 == runs ? out : out + ".run" + std::to_string(run);
        CopyFile(ini, path);
        written = 7000000 + run;
        QSettings::Status status = QSettings::NoError;
        {
            std::unique_ptr<QSettings> settings;
            KeepBest(best, TimeOnce([&] {
                         settings = std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
                         settings->setValue(key, written);
                         settings->sync();
                     }));
            status = settings->status();
        }
        if (status != QSettings::NoError) Fail("sync of " + path + " failed");
        if (path != out) std::filesystem::remove(path);
    }
    PrintTiming("seconds", best);
    // Read back by a fresh QSettings from the written file: the change and
    // every other value.
    QSettings check(QString::fromStdString(out), QSettings::IniFormat);
    const long long kept = check.allKeys().size();
    const int read = check.value(key).toInt();
    const bool changed = read == written && kept == static_cast<long long>(keys * qor::bench::kValuesPerKey);
    std::printf("written=%d\nread_back=%d\nvalues_after=%lld\nchanged=%d\n", written, read, kept, changed ? 1 : 0);
    return changed ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr, "usage: qsettings_driver load INI RUNS | getint INI RUNS | change INI OUT RUNS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3) return Usage();
    const int runs = std::max(1, std::atoi(args.back().c_str()));
    if (args[0] == "load" && args.size() == 3) return Load(args[1], runs);
    if (args[0] == "getint" && args.size() == 3) return GetInt(args[1], runs);
    if (args[0] == "change" && args.size() == 4) return Change(args[1], args[2], runs);
    return Usage();
}
