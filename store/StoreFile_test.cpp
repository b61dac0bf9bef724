#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CIniClass.h"
#include "store/StoreTestSupport.h"
#include "store/ValueText.h"

namespace qor::store {
namespace {

constexpr const char* kX = "HKEY_CURRENT_USER\\SOFTWARE\\X";

class StoreFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.File("root.ini");
};

TEST_F(StoreFileTest, SaveWritesHeaderSectionsValuesAndMarkerWithCrLf) {
    CIniClass store;
    store.SetValue(kX, "NAME", "<string>abc");
    store.SetValue(kX, "GAMMA", "<dword>3");
    store.AddKey("HKEY_CURRENT_USER\\EMPTY");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(ReadBytes(path),
              "REGEDIT4\r\n"
              "[HKEY_CURRENT_USER\\EMPTY]\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n"
              "\"GAMMA\"=dword:00000003\r\n"
              "\"NAME\"=\"abc\"\r\n"
              "[CINICHECKFILEVALID]\r\n");
    EXPECT_EQ(store.IsFileValid(path.c_str()), 1);
}

TEST_F(StoreFileTest, EachStoredTextSavesAsItsFieldAndLoadsBackAsDocumented) {
    struct Case {
        const char* stored;
        const char* field;
        const char* reloaded;
    } cases[] = {
        {"<dword>3", "dword:00000003", "<dword>3"},
        {"<dword>4294967295", "dword:ffffffff", "<dword>-1"},
        {"<dword>-5", "dword:fffffffb", "<dword>-5"},
        {"<dword>-2147483648", "dword:80000000", "<dword>-2147483648"},
        {"<dword>007", "dword:00000007", "<dword>7"},
        // Texts that are no whole 32-bit decimal keep their text as a string.
        {"<dword>1.500000", "\"1.500000\"", "<string>1.500000"},
        {"<dword>4294967296", "\"4294967296\"", "<string>4294967296"},
        {"<dword>-2147483649", "\"-2147483649\"", "<string>-2147483649"},
        {"<dword>0x1F", "\"0x1F\"", "<string>0x1F"},
        {"<dword>+5", "\"+5\"", "<string>+5"},
        {"<dword>", "\"\"", "<string>"},
        {"<hex>01,ff", "hex:01,ff", "<hex>01,ff"},
        {"<hex>", "hex:", "<hex>"},
        {"<string>", "\"\"", "<string>"},
        {"<string>C:\\dir", "\"C:\\dir\"", "<string>C:\\dir"},
        {"<string>\\\\server\\share", "\"\\\\server\\share\"", "<string>\\\\server\\share"},
        {"<string>a\\\\b", "\"a\\\\b\"", "<string>a\\b"},
        {"<string>say \"hi\"", "\"say \"hi\"\"", "<string>say \"hi\""},
        {"x<string>y", "\"x<string>y\"", "<string>x<string>y"},
        {"1F", "1F", "<dword>31"},
        {"plain", "plain", "plain"},
    };
    for (const Case& c : cases) {
        CIniClass store;
        store.SetValue(kX, "V", c.stored);
        ASSERT_EQ(store.SaveFile(path.c_str(), nullptr), 1);
        EXPECT_NE(ReadBytes(path).find(std::string("\r\n\"V\"=") + c.field + "\r\n"), std::string::npos) << c.stored;
        CIniClass loaded;
        ASSERT_EQ(loaded.LoadFile(path.c_str()), 1) << c.stored;
        EXPECT_EQ(ValueOf(loaded, kX, "V"), c.reloaded) << c.stored;
    }
}

TEST_F(StoreFileTest, SavedFloatReadsBackAsTheSameNumber) {
    CIniClass store;
    store.SetValue(kX, "F", EncodeFloat(-2.75f).c_str());
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
    float value = 0;
    ASSERT_TRUE(ParseFloat(WithoutPrefix(ValueOf(loaded, kX, "F")), value));
    EXPECT_EQ(value, -2.75f);
}

TEST_F(StoreFileTest, SaveLeavesOutKeysBeginningWithTheExcludedPrefix) {
    CIniClass store;
    store.SetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\A", "V", "<dword>1");
    store.SetValue("HKEY_LOCAL_MACHINEX", "V", "<dword>1");
    store.SetValue(kX, "V", "<dword>2");
    ASSERT_EQ(store.SaveFile(path.c_str(), "HKEY_LOCAL_MACHINE"), 1);
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
    EXPECT_EQ(AllKeysOf(loaded), std::vector<std::string>{kX});
    ASSERT_EQ(store.SaveFile(path.c_str(), "hkey_local_machine"), 1);
    CIniClass all;
    ASSERT_EQ(all.LoadFile(path.c_str()), 1);
    EXPECT_EQ(AllKeysOf(all).size(), 3u);
}

TEST_F(StoreFileTest, SaveAndLoadGiveBackEveryKeyAndValue) {
    CIniClass store;
    for (int k = 0; k < 50; ++k) {
        const std::string key = "HKEY_CURRENT_USER\\SOFTWARE\\P" + std::to_string(k % 7) + "\\K" + std::to_string(k);
        store.AddKey(key.c_str());
        for (int v = 0; v < k % 5; ++v) {
            const std::string name = "N" + std::to_string(v);
            store.SetValue(key.c_str(), (name + "I").c_str(), EncodeInt(k * 1000 - v).c_str());
            store.SetValue(key.c_str(), (name + "S").c_str(), EncodeString("text \"" + std::to_string(v) + "\" C:\\x").c_str());
            store.SetValue(key.c_str(), (name + "B").c_str(), EncodeBytes({std::uint8_t(k), 0xCC, std::uint8_t(v)}).c_str());
        }
    }
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
    EXPECT_EQ(SnapshotOf(loaded), SnapshotOf(store));
}

TEST_F(StoreFileTest, LoadAddsToWhatTheStoreHolds) {
    WriteBytes(path, "REGEDIT4\r\n[hkey_current_user\\software\\x]\r\n\"gamma\"=dword:00000003\r\n[CINICHECKFILEVALID]\r\n");
    CIniClass store;
    store.SetValue("HKEY_CURRENT_USER\\OTHER", "A", "<dword>1");
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    EXPECT_EQ(ValueOf(store, kX, "GAMMA"), "<dword>3");
    EXPECT_EQ(ValueOf(store, "HKEY_CURRENT_USER\\OTHER", "A"), "<dword>1");
}

TEST_F(StoreFileTest, LoadRejectsDuplicateKeyAndKeepsStore) {
    CIniClass store;
    store.SetValue(kX, "KEEP", "<string>unsaved");
    store.SetValue("HKEY_CURRENT_USER\\Y", "A", "<dword>1");
    const std::vector<std::string> before = SnapshotOf(store);

    WriteBytes(path, "REGEDIT4\r\n[HKEY_CURRENT_USER\\NEW]\r\n\"A\"=dword:1\r\n[hkey_current_user\\y]\r\n\"A\"=dword:2\r\n");
    EXPECT_EQ(store.LoadFile(path.c_str()), 0);
    EXPECT_EQ(SnapshotOf(store), before);

    WriteBytes(path, "REGEDIT4\r\n[HKEY_CURRENT_USER\\NEW]\r\n\"A\"=dword:1\r\n[HKEY_CURRENT_USER\\NEW]\r\n");
    EXPECT_EQ(store.LoadFile(path.c_str()), 0);
    EXPECT_EQ(SnapshotOf(store), before);
}

TEST_F(StoreFileTest, LoadOfAFileThatCannotBeReadFailsAndChangesNothing) {
    CIniClass store;
    store.SetValue(kX, "A", "<dword>1");
    EXPECT_EQ(store.LoadFile(folder.File("missing.ini").c_str()), 0);
    EXPECT_EQ(store.LoadFile(folder.File("").c_str()), 0);
    EXPECT_EQ(store.LoadFile(nullptr), 0);
    EXPECT_EQ(AllKeysOf(store), std::vector<std::string>{kX});
}

TEST_F(StoreFileTest, HostileFilesLoadSafely) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> keys;
    } cases[] = {
        {"empty", "", {}},
        {"no line end", std::string(100000, 'x') + "[K]", {}},
        {"nul bytes", std::string("[K]\n\0\"A\"=\0\n\0", 13), {"K"}},
        {"only line ends", std::string(100000, '\n'), {}},
        {"brackets only", "[\n]\n[]]\n[[[\n", {}},
    };
    for (const Case& c : cases) {
        WriteBytes(path, c.bytes);
        CIniClass store;
        EXPECT_EQ(store.LoadFile(path.c_str()), 1) << c.what;
        EXPECT_EQ(AllKeysOf(store), c.keys) << c.what;
    }
}

TEST_F(StoreFileTest, SixteenMegabyteLinesLoad) {
    const std::string big(16 * 1024 * 1024, 'z');
    WriteBytes(path, "[K]\r\n\"BIG\"=\"" + big + "\"\r\n\"TAIL\"=1" + std::string(1000, 'z'));
    CIniClass store;
    ASSERT_EQ(store.LoadFile(path.c_str()), 1);
    EXPECT_EQ(ValueOf(store, "K", "BIG"), "<string>" + big);
    EXPECT_EQ(LinesOf(store, "K").size(), 1u);

    std::string hex = "[K]\n\"H\"=hex:";
    for (int i = 0; i < 200000; ++i) hex += "0a,\\\n  ";
    WriteBytes(path, hex + "ff\n");
    CIniClass joined;
    ASSERT_EQ(joined.LoadFile(path.c_str()), 1);
    EXPECT_EQ(ValueOf(joined, "K", "H").size(), 5u + 3u * 200000u + 2u);
}

TEST_F(StoreFileTest, FailedSaveReportsZeroAndLeavesWhatWasThere) {
    CIniClass store;
    store.SetValue(kX, "A", "<dword>1");
    EXPECT_EQ(store.SaveFile(folder.File("missing/root.ini").c_str(), ""), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));

    const std::string asFolder = folder.File("folder.ini");
    std::filesystem::create_directory(asFolder);
    WriteBytes(asFolder + "/inside", "kept");
    EXPECT_EQ(store.SaveFile(asFolder.c_str(), ""), 0);
    EXPECT_EQ(ReadBytes(asFolder + "/inside"), "kept");
    EXPECT_EQ(store.SaveFile(nullptr, ""), 0);

    WriteBytes(path, "old contents");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(store.IsFileValid(path.c_str()), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")), {}), 2) << "no temporary file left behind";
}

TEST_F(StoreFileTest, FileIsValidOnlyWhenItsLastLinesHoldTheMarker) {
    const std::string marker = "[CINICHECKFILEVALID]";
    struct Case {
        const char* what;
        std::string bytes;
        int valid;
    } cases[] = {
        {"saved layout", "REGEDIT4\r\n" + marker + "\r\n", 1},
        {"LF only", "X\n" + marker + "\n", 1},
        {"no final line end", "X\n" + marker, 1},
        {"text after the marker line", "X\r\n" + marker + "\r\n" + std::string(200, 'a'), 1},
        {"marker alone", marker + "\r\n", 0},
        {"marker after only the first byte", "\n" + marker + "\r\n", 0},
        {"lower case", "X\r\n[cinicheckfilevalid]\r\n", 0},
        {"spaces", "X\r\n " + marker + "\r\n", 0},
        {"marker inside a line", "X\r\nA" + marker + "\r\n", 0},
        {"line end 260 bytes from the end", "XX\n" + marker + "\r\n" + std::string(237, 'a'), 1},
        {"line end 261 bytes from the end", "XX\n" + marker + "\r\n" + std::string(238, 'a'), 0},
        {"followed by 300 bytes of lines", "X\r\n" + marker + "\r\n" + std::string(300, '\n'), 0},
        {"empty", "", 0},
    };
    CIniClass store;
    for (const Case& c : cases) {
        WriteBytes(path, c.bytes);
        EXPECT_EQ(store.IsFileValid(path.c_str()), c.valid) << c.what;
    }
    EXPECT_EQ(store.IsFileValid(folder.File("missing.ini").c_str()), 0);
    EXPECT_EQ(store.IsFileValid(nullptr), 0);
}

}  // namespace
}  // namespace qor::store
