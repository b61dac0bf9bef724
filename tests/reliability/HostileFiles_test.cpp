// Store files and paths that are not what a caller expects: empty, huge,
// binary, one enormous line, folders, devices, pipes, missing folders and
// link loops. Every operation answers with its failure result or reads
// what is there; none hangs, crashes or changes the store on failure.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

using namespace std::string_literals;

constexpr const char* kMarker = "[CINICHECKFILEVALID]\r\n";

// A store with one unsaved setting, to see that failed reads keep it.
void Prefill(CIniClass& store) { store.SetValue("HKEY_CURRENT_USER\\SOFTWARE\\KEEP", "UNSAVED", "<dword>1"); }

struct PathCase {
    const char* what;
    std::function<std::string(const ScratchFolder&)> make;  // returns the path
    int load, valid, import;
    bool canHoldFile;  // a save may create or replace a file there
};

std::string MakeFile(const ScratchFolder& f, const std::string& bytes) {
    WriteBytes(f.File("in.ini"), bytes);
    return f.File("in.ini");
}

const PathCase kPathCases[] = {
    {"empty file", [](const ScratchFolder& f) { return MakeFile(f, ""); }, 1, 0, 1, true},
    {"missing file", [](const ScratchFolder& f) { return f.File("missing.ini"); }, 0, 0, 0, true},
    {"folder", [](const ScratchFolder& f) { return f.Path(); }, 0, 0, 0, false},
    {"missing folder", [](const ScratchFolder& f) { return f.File("no/such/folder/root.ini"); }, 0, 0, 0, false},
    {"file used as a folder", [](const ScratchFolder& f) { return MakeFile(f, kMarker) + "/root.ini"; }, 0, 0, 0,
     false},
    {"link loop",
     [](const ScratchFolder& f) {
         ::symlink(f.File("loop").c_str(), f.File("loop").c_str());
         return f.File("loop");
     },
     0, 0, 0, true},  // a save replaces the link itself
    {"empty path", [](const ScratchFolder&) { return std::string(); }, 0, 0, 0, false},
};

TEST(HostileFiles, PathsThatAreNoStoreFileFailWithoutChangingTheStore) {
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::string path = c.make(folder);
        CIniClass store;
        Prefill(store);
        const Snapshot before = SnapshotOf(store);
        EXPECT_EQ(store.LoadFile(path.c_str()), c.load);
        EXPECT_EQ(store.IsFileValid(path.c_str()), c.valid);
        EXPECT_EQ(store.ImportFile(path.c_str()), c.import);
        EXPECT_EQ(SnapshotOf(store), before);
        tagRegHandle h;  // a failed first load through the table gives the handle no store
        table->pfnInitHandle(&h);
        EXPECT_EQ(table->pfnLoad(&h, path.c_str()), c.load);
        EXPECT_EQ(h.pIni == nullptr, c.load == 0);
        table->pfnFreeStore();
        if (c.canHoldFile) continue;
        const std::vector<std::string> entries = folder.Entries();
        EXPECT_EQ(store.SaveFile(path.c_str(), ""), 0);
        EXPECT_EQ(store.ExportFile("", path.c_str()), 0);
        EXPECT_EQ(store.ExportAppFile("", path.c_str()), 0);
        EXPECT_EQ(folder.Entries(), entries);
    }
}

// A pipe no one writes and a device without an end: run in a child that an alarm ends if it hangs.
TEST(HostileFiles, PipesAndDevicesAreNotReadAsStoreFiles) {
    ScratchFolder folder;
    const std::string pipe = folder.File("pipe.ini");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        const ChildEnd end = RunInChild(
            [&path] {
                CIniClass store;
                Prefill(store);
                const Snapshot before = SnapshotOf(store);
                const bool failed = store.LoadFile(path.c_str()) == 0 && store.IsFileValid(path.c_str()) == 0 &&
                                    store.ImportFile(path.c_str()) == 0;
                return failed && SnapshotOf(store) == before ? 0 : 1;
            },
            20);
        EXPECT_TRUE(end.exited) << "ended by signal " << end.signal << " (14: it hung)";
        EXPECT_EQ(end.code, 0);
    }
}

TEST(HostileFiles, NulBytesAreKeptThroughLoadAndSave) {
    ScratchFolder folder;
    const std::string text = "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\0B]\r\n\"N\0M\"=\"x\0y\"\r\n\"\0\"=hex:0\0\r\n"s;
    const std::string path = MakeFile(folder, text + kMarker);
    CIniClass store;
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    const Snapshot loaded = SnapshotOf(store);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded.begin()->first, "HKEY_CURRENT_USER\\A\0B"s);
    EXPECT_EQ(loaded.begin()->second.at("N\0M"s), "<string>x\0y"s);

    ASSERT_EQ(store.SaveFile(folder.File("out.ini").c_str(), ""), 1);
    CIniClass again;
    ASSERT_EQ(again.LoadFile(folder.File("out.ini").c_str()), 1);
    EXPECT_EQ(SnapshotOf(again), loaded);
}

TEST(HostileFiles, SixteenMegabyteLineLoadsWholeAndAnUnendedOneIsDropped) {
    ScratchFolder folder;
    const std::string big(16u << 20, 'x');
    const std::string path = MakeFile(folder, "REGEDIT4\r\n[A]\r\n\"BIG\"=\"" + big + "\"\r\n" + kMarker);
    CIniClass store;
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    EXPECT_EQ(store.IsFileValid(path.c_str()), 1);
    CString out;
    ASSERT_EQ(store.GetValue("A", "BIG", out), 1);
    EXPECT_EQ(out.str().size(), big.size() + 8);
    ASSERT_EQ(store.SaveFile(folder.File("out.ini").c_str(), ""), 1);
    EXPECT_EQ(ReadBytes(folder.File("out.ini")), ReadBytes(path));

    CIniClass unended;
    ASSERT_EQ(unended.LoadFile(MakeFile(folder, "[A]\r\n\"BIG\"=\"" + big).c_str()), 1);
    EXPECT_EQ(unended.GetValue("A", "BIG", out), 0);
    EXPECT_EQ(unended.KeyExists("A"), 1);
}

// Four megabytes: the file is read in pieces, and the byte list joins across them.
TEST(HostileFiles, MegabytesOfContinuedByteLinesJoinIntoOneValueAcrossReadPieces) {
    ScratchFolder folder;
    std::string text = "REGEDIT4\r\n[A]\r\n\"DATA\"=hex:01,\\\r\n";
    const std::size_t lines = (4u << 20) / 8;
    for (std::size_t i = 0; i < lines; ++i) text += "  02,\\\r\n";
    text += "  03\r\n";
    CIniClass store;
    ASSERT_EQ(store.LoadFile(MakeFile(folder, text).c_str()), 1);
    CString out;
    ASSERT_EQ(store.GetValue("A", "DATA", out), 1);
    EXPECT_EQ(out.str().size(), 5 + 3 * (lines + 2) - 1);
    EXPECT_EQ(out.str().substr(0, 11), "<hex>01,02,");
    EXPECT_EQ(out.str().substr(out.str().size() - 5), "02,03");
}

TEST(HostileFiles, HugeStoreFileLoadsSavesAndValidates) {
    ScratchFolder folder;
    std::string text = "REGEDIT4\r\n";
    const int keys = 120000;
    for (int k = 0; k < keys; ++k) {
        text += "[HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\HUGE\\" + std::to_string(k) + "]\r\n";
        text += "\"VALUE\"=\"" + std::string(100, 'v') + "\"\r\n\"N\"=dword:0000002a\r\n";
    }
    text += kMarker;
    const std::string path = MakeFile(folder, text);
    CIniClass store;
    ASSERT_EQ(store.IsFileValid(path.c_str()), 1);
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    CStringArray all;
    EXPECT_EQ(store.GetAllKeys(all), keys);
    ASSERT_EQ(store.SaveFile(folder.File("out.ini").c_str(), ""), 1);
    EXPECT_EQ(ReadBytes(folder.File("out.ini")).size(), text.size());
}

// Sparse files over the 256 MiB bound: a reader that read them whole would accept the one just
// over it (a loadable header and zeros) and could not hold the 1 TiB one, whose marker counts.
TEST(HostileFiles, FilesOverTheSizeBoundAreRefusedUnreadAndOnlyTheirEndIsValidated) {
    ScratchFolder folder;
    const struct {
        const char* name;
        std::uintmax_t size;
        int valid;  // the last bytes are the marker line
    } cases[] = {
        {"just-over.ini", CIniClass::kMaxFileBytes + 1, 0},
        {"terabyte.ini", std::uintmax_t{1} << 40, 1},
    };
    for (const auto& c : cases) {
        const std::string path = folder.File(c.name);
        WriteBytes(path, "REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\BIG]\r\n");
        std::error_code error;
        std::filesystem::resize_file(path, c.size, error);
        if (error) GTEST_SKIP() << "no sparse file of " << c.size << " bytes here: " << error.message();
        if (c.valid == 1) {
            std::ofstream end(path, std::ios::binary | std::ios::in | std::ios::out);
            end.seekp(-static_cast<std::streamoff>(std::strlen(kMarker) + 2), std::ios::end);
            end << "\r\n" << kMarker;
        }
        CIniClass store;
        Prefill(store);
        const Snapshot before = SnapshotOf(store);
        EXPECT_EQ(store.LoadFile(path.c_str()), 0) << c.name;
        EXPECT_EQ(store.ImportFile(path.c_str()), 0) << c.name;
        EXPECT_EQ(SnapshotOf(store), before) << c.name;
        EXPECT_EQ(store.IsFileValid(path.c_str()), c.valid) << c.name;
        EXPECT_EQ(CRegExt::Load(path.c_str()), 0) << c.name;
        std::filesystem::remove(path);
    }
}

// An export has no escapes: a line end inside a name or text would start a line (a value, even a
// key) of its own, and a key with a line end or "]" would move its values into the key above. Line
// ends in names and texts are written as spaces; such keys are left out with their values.
TEST(HostileFiles, LineEndsAndBracketsInsideAnExportCannotForgeOrMoveSettings) {
    CIniClass store;
    store.SetValue("A", "N", "<dword>1");
    store.SetValue("A", "NOTE", "<string>one\r\ntwo\r\n[B]\r\n\"N\"=9");
    store.SetValue("A", "TWO\nLINES", "<dword>2");
    store.SetValue("A]\"N\"=dword:00000003", "N", "<dword>4");
    store.SetValue("A\r\n[B]", "N", "<dword>5");
    store.SetValue("B", "M", "<dword>6");
    CString exported;
    ASSERT_EQ(store.ExportText("", exported), 1);
    CIniClass importer;
    ASSERT_EQ(importer.ImportText(exported), 1);
    Snapshot imported = SnapshotOf(importer);
    imported.erase("TWAIN EXPORT");  // the export's header key
    const Snapshot expected = {
        {"A", {{"N", "<dword>1"}, {"NOTE", "<string>one  two  [B]  \"N\"=9"}, {"TWO LINES", "<dword>2"}}},
        {"B", {{"M", "<dword>6"}}},
    };
    EXPECT_EQ(imported, expected);
}

// Mode 0444 (Windows' read-only attribute) holds even for root, for whom the permission bits do not
// apply, and even though a replacing rename needs only the folder.
TEST(HostileFiles, ReadOnlyStoreFileIsReadButNeverWritten) {
    ScratchFolder folder;
    const std::string before = std::string("REGEDIT4\r\n[A]\r\n\"N\"=dword:00000001\r\n") + kMarker;
    const std::string path = MakeFile(folder, before);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    CIniClass store;
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    EXPECT_EQ(store.IsFileValid(path.c_str()), 1);
    store.SetValue("A", "N", "<dword>2");
    EXPECT_EQ(store.SaveFile(path.c_str(), ""), 0);
    EXPECT_EQ(store.ExportFile("", path.c_str()), 0);
    EXPECT_EQ(store.ExportAppFile("", path.c_str()), 0);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"in.ini", "in.ini.lock"})) << "a temporary file was left";
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(store.SaveFile(path.c_str(), ""), 1) << "a writable file is replaced again";
}

}  // namespace
}  // namespace qor::reliability
