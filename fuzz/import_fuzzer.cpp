// ImportText and ImportFile on any bytes. The two read the same lines, so
// they must build the same store; an import merges (its values win, nothing
// of the store is removed); and what was imported saves and loads again
// with every key and every value name.
#include <string>

#include "FuzzSupport.h"

namespace {

using qor::fuzz::Check;
using qor::fuzz::SameKeysAndNames;
using qor::fuzz::Snapshot;
using qor::fuzz::SnapshotOf;

const Snapshot kPrefilled = {
    {"HKEY_CURRENT_USER\\SOFTWARE\\X", {{"GAMMA", "<dword>3"}, {"NAME", "<string>abc"}}},
    {"TWAIN EXPORT", {{"OLD", "<dword>7"}}},
};

// b's keys and values added to a, b's texts replacing a's of the same name.
Snapshot Merged(Snapshot a, const Snapshot& b) {
    for (const auto& [key, names] : b) {
        for (const auto& [name, text] : names) a[key][name] = text;
        a[key];
    }
    return a;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = qor::fuzz::ScratchPath("import.reg");
    qor::testkit::WriteBytes(path, bytes);

    CIniClass fromText;
    const int textResult = fromText.ImportText(CString(bytes));
    CIniClass fromFile;
    const int fileResult = fromFile.ImportFile(path.c_str());
    if (bytes.starts_with("\xFF\xFE") && fileResult == 0) {
        // A UTF-16 text that does not convert is refused whole, by both.
        Check(textResult == 0, "ImportText took a UTF-16 text that ImportFile refused");
        Check(SnapshotOf(fromText).empty() && SnapshotOf(fromFile).empty(), "a refused import changed the store");
        return 0;
    }
    Check(textResult == (bytes.empty() ? 0 : 1), "ImportText result");
    Check(fileResult == 1, "ImportFile of a readable file failed");
    const Snapshot imported = SnapshotOf(fromFile);
    Check(SnapshotOf(fromText) == imported, "ImportText and ImportFile built different stores");

    CIniClass busy;
    qor::fuzz::Fill(busy, kPrefilled);
    busy.ImportText(CString(bytes));
    Check(SnapshotOf(busy) == Merged(kPrefilled, imported), "an import removed or kept the wrong values");

    Check(SameKeysAndNames(qor::fuzz::SavedAndLoaded(fromFile, "import-saved.ini"), imported),
          "save and load lost a key or a value name of an import");
    return 0;
}
