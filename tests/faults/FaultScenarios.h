// The store's file operations as the fault tests run them, each from a known
// store and store file to a world (store, file bytes, folder entries) that is
// compared with the world before and after an undisturbed run.
#ifndef QOR_TESTS_FAULTS_FAULTSCENARIOS_H
#define QOR_TESTS_FAULTS_FAULTSCENARIOS_H

#include <functional>
#include <string>
#include <vector>

#include "tests/reliability/ReliabilitySupport.h"

namespace qor::faults {

using reliability::Snapshot;

// The file and the memory store each hold a key of their own and share one, so
// that a load, an import and a save all change something.
inline const std::string kStoreFile =
    "REGEDIT4\r\n[HKEY_CURRENT_USER\\FILE]\r\n\"Y\"=dword:00000002\r\n\"Z\"=\"from the file\"\r\n"
    "[CINICHECKFILEVALID]\r\n";
inline constexpr const char* kImportText =
    "REGEDIT4\r\n[HKEY_CURRENT_USER\\MEMORY]\r\n\"X\"=\"imported\"\r\n\"W\"=hex:01,02\r\n"
    "[HKEY_CURRENT_USER\\NEW]\r\n\"V\"=dword:00000007\r\n";
inline const char* const kMemoryStore =
    "REGEDIT4\r\n[HKEY_CURRENT_USER\\MEMORY]\r\n\"X\"=\"in memory\"\r\n\"U\"=\"kept\"\r\n";

// Made before any test runs, so that no test counts its allocations.
inline const CString kImportArgument(kImportText);

// The store file as another writer left it after the store loaded it.
inline const std::string kChangedStoreFile =
    "REGEDIT4\r\n[HKEY_CURRENT_USER\\FILE]\r\n\"Y\"=dword:00000005\r\n[HKEY_CURRENT_USER\\OTHER]\r\n"
    "\"T\"=\"another writer's\"\r\n[CINICHECKFILEVALID]\r\n";

using StoreStep = std::function<int(CIniClass&, const std::string&)>;

struct Scenario {
    const char* name;
    std::string fileBefore;
    StoreStep run;
    StoreStep prepare = nullptr;         // runs before the call, undisturbed
    const Scenario* unmerged = nullptr;  // a merging save's outcome when the file cannot be read again
};

// Loads the file, changes two values and lets another writer replace the file.
inline int LoadChangeAndLetAnotherWrite(CIniClass& store, const std::string& path) {
    store.LoadFile(path.c_str());
    store.SetValue("HKEY_CURRENT_USER\\MEMORY", "X", "<string>changed");
    store.SetValue("HKEY_CURRENT_USER\\FILE", "Z", "<string>changed");
    reliability::WriteBytes(path, kChangedStoreFile);
    return 1;
}

// The same, its file loaded from elsewhere: its save writes the store as it stands.
inline int LoadElsewhereChangeAndLetAnotherWrite(CIniClass& store, const std::string& path) {
    reliability::ScratchFolder elsewhere;
    const std::string copy = elsewhere.File("copy.reg");
    reliability::WriteBytes(copy, reliability::ReadBytes(path));
    LoadChangeAndLetAnotherWrite(store, copy);
    reliability::WriteBytes(path, kChangedStoreFile);
    return 1;
}

inline int SaveTo(CIniClass& store, const std::string& path) { return store.SaveFile(path.c_str(), ""); }

inline const Scenario kSaveUnmerged{"SaveFile unmerged", kStoreFile, SaveTo, LoadElsewhereChangeAndLetAnotherWrite};

inline const std::vector<Scenario>& Scenarios() {
    static const std::vector<Scenario> scenarios = {
        {"SaveFile", kStoreFile, SaveTo},
        {"LoadFile", kStoreFile, [](CIniClass& s, const std::string& p) { return s.LoadFile(p.c_str()); }},
        {"IsFileValid", kStoreFile, [](CIniClass& s, const std::string& p) { return s.IsFileValid(p.c_str()); }},
        {"ExportFile", kStoreFile, [](CIniClass& s, const std::string& p) { return s.ExportFile("", p.c_str()); }},
        {"ExportAppFile", kStoreFile,
         [](CIniClass& s, const std::string& p) { return s.ExportAppFile("", p.c_str()); }},
        {"ImportFile", kImportText, [](CIniClass& s, const std::string& p) { return s.ImportFile(p.c_str()); }},
        {"ImportText", kStoreFile, [](CIniClass& s, const std::string&) { return s.ImportText(kImportArgument); }},
        {"SaveFile merged", kStoreFile, SaveTo, LoadChangeAndLetAnotherWrite, &kSaveUnmerged},
    };
    return scenarios;
}

struct World {
    Snapshot store;
    std::string file;
    std::vector<std::string> entries;
    bool operator==(const World&) const = default;
    friend void PrintTo(const World& world, std::ostream* out) {
        *out << world.store.size() << " keys, file \"" << world.file << "\", entries:";
        for (const std::string& entry : world.entries) *out << ' ' << entry;
    }
};

inline World WorldOf(CIniClass& store, const reliability::ScratchFolder& folder, const std::string& path) {
    return World{reliability::SnapshotOf(store), reliability::ReadBytes(path), folder.Entries()};
}

// A scenario's result and world in a fresh folder; around wraps the call (a test's fault).
inline std::pair<int, World> RunScenario(const Scenario& scenario,
                                         const std::function<int(const std::function<int()>&)>& around) {
    reliability::ScratchFolder folder;
    const std::string path = folder.File("store.reg");
    reliability::WriteBytes(path, scenario.fileBefore);
    // The lock file is there, as after a first save, so that only the file's bytes change.
    reliability::WriteBytes(path + ".lock", "");
    CIniClass store;
    store.ImportText(CString(kMemoryStore));
    if (scenario.prepare) scenario.prepare(store, path);
    const int result = around([&] { return scenario.run(store, path); });
    return {result, WorldOf(store, folder, path)};
}

inline World WorldBefore(const Scenario& scenario) {
    return RunScenario(scenario, [](const std::function<int()>&) { return 0; }).second;
}

inline int RunUndisturbed(const std::function<int()>& run) { return run(); }

}  // namespace qor::faults

#endif
