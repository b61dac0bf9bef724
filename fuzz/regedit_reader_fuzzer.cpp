// The regedit reader (CRegeditFile) on any bytes: its reported steps, replayed
// on a plain model, give what the store holds; a file it cannot read changes
// nothing; what it imported survives a save and a load unchanged.
#include <string>

#include "CRegeditFile.h"
#include "FuzzSupport.h"
#include "store/RegeditFile.h"

namespace {

using qor::fuzz::Check;
using qor::fuzz::Snapshot;
using qor::fuzz::SnapshotOf;
using qor::store::RegeditStep;

const Snapshot kPrefilled = {
    {"HKEY_CURRENT_USER\\X", {{"@", "<string>default"}, {"A", "<dword>3"}}},
    {"HKEY_CURRENT_USER\\X\\Y", {{"B", "<hex>01,02"}}},
    {"HKEY_LOCAL_MACHINE\\Z", {}},
};

void Replay(const std::vector<RegeditStep>& steps, Snapshot& model) {
    for (const RegeditStep& step : steps) {
        switch (step.kind) {
            case RegeditStep::Kind::AddKey:
                model[step.key];
                break;
            case RegeditStep::Kind::SetValue:
                model[step.key][step.name] = step.text;
                break;
            case RegeditStep::Kind::DeleteValue:
                if (model.count(step.key) != 0) model[step.key].erase(step.name);
                break;
            case RegeditStep::Kind::DeleteKey:
                qor::fuzz::EraseTree(model, step.key);
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    qor::store::RegeditReport report;
    const bool read = qor::store::ReadRegeditText(bytes, report) == qor::store::RegeditRead::Read;

    CIniClass store;
    qor::fuzz::Fill(store, kPrefilled);
    CRegeditFile reader;
    const int result = reader.ImportText(store, CString(bytes));
    if (!read) {
        Check(result == 0, "a file the reader cannot read was imported");
        Check(SnapshotOf(store) == kPrefilled, "a refused import changed the store");
        return 0;
    }
    Check(result == 1, "a readable file was refused");
    Check(reader.GetChangeCount() == static_cast<int>(report.steps.size()), "the change count is not the steps'");
    Check(static_cast<std::size_t>(reader.GetSkipped().GetSize()) == report.skipped.size(), "skipped lines miscounted");
    Snapshot model = kPrefilled;
    Replay(report.steps, model);
    const Snapshot held = SnapshotOf(store);
    Check(held == model, "the store does not hold what the reader reports as imported");
    Check(qor::fuzz::SavedAndLoaded(store, "regedit-saved.ini") == held,
          "save and load changed what the regedit reader imported");
    return 0;
}
