// LoadFile on any bytes, all or nothing: a failed load leaves an empty store
// empty; into a store holding keys it fails, unchanged, exactly when the file
// fails on its own or names one of them, else gives both stores together; what
// loaded saves to a valid file that loads back with the same keys and names
// (texts may lose the escapes the store file documents), and whose every
// key is written line for line as the checked, stepwise writer writes it
// (and a plain list's lines read back as its values).
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "store/KeyMap.h"
#include "store/RegLines.h"
#include "store/RegWriter.h"

namespace {

using qor::fuzz::Check;
using qor::fuzz::SameKeysAndNames;
using qor::fuzz::Snapshot;
using qor::fuzz::SnapshotOf;

// A store with unsaved settings, as a caller has it before loading again.
const Snapshot kPrefilled = {
    {"HKEY_CURRENT_USER\\SOFTWARE\\X", {{"GAMMA", "<dword>3"}, {"NAME", "<string>abc"}}},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVANE CORP\\SCANNER", {{"ROOT1", "<string>\\Orvane"}}},
    {"", {}},
};

bool SharesAKey(const Snapshot& a, const Snapshot& b) {
    return std::any_of(a.begin(), a.end(), [&b](const auto& entry) { return b.contains(entry.first); });
}

Snapshot Union(Snapshot a, const Snapshot& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// A loaded key's lines, written as a save writes them (a reader's plain
// lists with nothing checked), against the stepwise writer.
void CheckKeyLines(const CIniClass& store) {
    using namespace qor::store;
    for (const auto& [key, values] : KeysOf(store)) {
        LineWriter writer(1);
        if (!writer.KeyLines(key, values, DwordField::StoreFile)) continue;
        std::string expected;
        AppendSectionLine(expected, key);
        values.ForEach([&expected](const ValueList::Entry& entry) {
            AppendValueLineStepwise(expected, entry.name, entry.text.Joined(), DwordField::StoreFile);
        });
        Check(writer.Text() == expected, "a loaded key's lines differ from the stepwise writer's");
        // A merged save takes a plain list's lines, found unchanged in a
        // file, as those very values: they must read back as them.
        if (!values.Plain()) continue;
        // Under a key of its own: the marker key's section line is the marker.
        const std::string lines = "[K]\r\n" + std::string(writer.Text().substr(key.size() + 4));
        KeyMap back;
        Check(ReadRegLines(lines, kStoreFileRules, back, nullptr) && back.size() == 1,
              "a plain key's lines do not read back");
        const auto entries = [](const ValueList& list) {
            std::vector<std::pair<std::string, std::string>> all;
            list.ForEach([&all](const ValueList::Entry& entry) { all.emplace_back(entry.name, entry.text.Joined()); });
            return all;
        };
        Check(entries(back.begin()->second) == entries(values), "a plain key's lines read back as other values");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = qor::fuzz::ScratchPath("load.ini");
    qor::testkit::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));

    CIniClass fresh;
    const int loaded = fresh.LoadFile(path.c_str());
    const Snapshot file = SnapshotOf(fresh);
    if (loaded == 0) Check(file.empty(), "a failed load left something in an empty store");

    CIniClass busy;
    qor::fuzz::Fill(busy, kPrefilled);
    const int merged = busy.LoadFile(path.c_str());
    if (loaded == 0 || SharesAKey(file, kPrefilled)) {
        Check(merged == 0, "a load naming a key the store holds succeeded");
        Check(SnapshotOf(busy) == kPrefilled, "a failed load changed the store");
    } else {
        Check(merged == 1, "a load into a store without common keys failed");
        Check(SnapshotOf(busy) == Union(kPrefilled, file), "a load did not add the file to the store");
    }

    if (loaded == 1) {
        CheckKeyLines(fresh);
        Check(SameKeysAndNames(qor::fuzz::SavedAndLoaded(fresh, "load-saved.ini"), file),
              "save and load lost a key or a value name");
    }
    return 0;
}
