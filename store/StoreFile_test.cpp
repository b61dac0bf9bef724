#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CIniClass.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"
#include "store/ValueText.h"

namespace qor::store {
using namespace qor::testkit;
namespace {

using Texts = std::vector<std::string>;
constexpr const char* kX = "HKEY_CURRENT_USER\\SOFTWARE\\X";

class StoreFileTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string path = folder.File("root.ini");
};

TEST_F(StoreFileTest, EachStoredTextSavesAsItsFieldAndLoadsBack) {
    // stored text, field written, text after loading the file
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"<dword>4294967295", "dword:ffffffff", "<dword>-1"},
        {"<dword>-2147483648", "dword:80000000", "<dword>-2147483648"},
        {"<dword>007", "dword:00000007", "<dword>7"},
        // A text that is no whole 32-bit decimal keeps its text as a string.
        {"<dword>1.500000", "\"1.500000\"", "<string>1.500000"},
        {"<dword>4294967296", "\"4294967296\"", "<string>4294967296"},
        {"<dword>-2147483649", "\"-2147483649\"", "<string>-2147483649"},
        {"<dword>0x1F", "\"0x1F\"", "<string>0x1F"},
        {"<dword>+5", "\"+5\"", "<string>+5"},
        {"<dword>", "\"\"", "<string>"},
        {"<hex>", "hex:", "<hex>"},
        {"<string>\\\\server\\share", "\"\\\\server\\share\"", "<string>\\\\server\\share"},
        {"<string>a\\\\b", "\"a\\\\b\"", "<string>a\\b"},
        {"x<string>y", "\"x<string>y\"", "<string>x<string>y"},
        {"1F", "1F", "<dword>31"},
    };
    for (const auto& [stored, field, reloaded] : cases) {
        CIniClass store;
        store.SetValue(kX, "V", stored);
        ASSERT_EQ(store.SaveFile(path.c_str(), nullptr), 1);
        EXPECT_NE(ReadBytes(path).find(std::string("\r\n\"V\"=") + field + "\r\n"), std::string::npos) << stored;
        CIniClass loaded;
        ASSERT_EQ(loaded.LoadFile(path.c_str()), 1) << stored;
        EXPECT_EQ(ValueOf(loaded, kX, "V"), reloaded) << stored;
    }
}

TEST_F(StoreFileTest, SaveAndLoadGiveBackEveryKeyAndValue) {
    CIniClass store;
    for (int k = 0; k < 60; ++k) {
        const std::string key = "HKEY_CURRENT_USER\\P" + std::to_string(k % 7) + "\\K" + std::to_string(k);
        store.AddKey(key.c_str());
        // 50 KB a key: the file is written in several pieces.
        store.SetValue(key.c_str(), "PAD", EncodeString(std::string(50000, static_cast<char>('A' + k % 26))).c_str());
        for (int v = 0; v < k % 4; ++v) {
            const std::string name = "N" + std::to_string(v);
            store.SetValue(key.c_str(), (name + "I").c_str(), EncodeInt(-k * 1000 - v).c_str());
            store.SetValue(key.c_str(), (name + "S").c_str(),
                           EncodeString("\"" + std::to_string(v) + "\" C:\\x").c_str());
            store.SetValue(key.c_str(), (name + "B").c_str(), EncodeBytes({std::uint8_t(k), 0xCC}).c_str());
        }
    }
    const Texts before = StoreLines(store);
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    CIniClass loaded;
    loaded.SetValue("HKEY_CURRENT_USER\\OTHER", "KEEP", "<dword>1");
    ASSERT_EQ(loaded.LoadFile(path.c_str()), 1);
    loaded.DeleteSubtree("HKEY_CURRENT_USER\\OTHER");
    EXPECT_EQ(StoreLines(loaded), before);
}

TEST_F(StoreFileTest, LoadRejectsDuplicateKeyAndKeepsStore) {
    CIniClass store;
    store.SetValue(kX, "KEEP", "<string>unsaved");
    store.SetValue("HKEY_CURRENT_USER\\Y", "A", "<dword>1");
    const Texts before = StoreLines(store);
    for (const char* file : {"[HKEY_CURRENT_USER\\NEW]\r\n\"A\"=1\r\n[hkey_current_user\\y]\r\n\"A\"=2\r\n",
                             "[HKEY_CURRENT_USER\\NEW]\r\n\"A\"=1\r\n[HKEY_CURRENT_USER\\NEW]\r\n"}) {
        WriteBytes(path, file);
        EXPECT_EQ(store.LoadFile(path.c_str()), 0) << file;
        EXPECT_EQ(StoreLines(store), before) << file;
    }
    EXPECT_EQ(store.LoadFile(nullptr), 0);
    EXPECT_EQ(StoreLines(store), before);
}

TEST_F(StoreFileTest, ALineBeginningWithANulByteLoadsWithItsBytes) {
    WriteBytes(path, std::string("[K]\n\0\"A\"=\0\n\0", 13));
    CIniClass store;
    EXPECT_EQ(store.LoadFile(path.c_str()), 1);
    EXPECT_EQ(StoreLines(store), (Texts{"[K]", std::string("\0\"A = \0", 7)}));
}

TEST_F(StoreFileTest, SaveReplacesAFileLeavingOnlyItsLockBesideItAndANullPathFails) {
    CIniClass store;
    store.SetValue(kX, "A", "<dword>1");
    EXPECT_EQ(store.SaveFile(nullptr, ""), 0);
    WriteBytes(path, "old contents");
    ASSERT_EQ(store.SaveFile(path.c_str(), ""), 1);
    EXPECT_EQ(store.IsFileValid(path.c_str()), 1);
    // Each save made its lock file; no temporary file stays behind.
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"root.ini", "root.ini.lock"}));
}

TEST_F(StoreFileTest, FileIsValidOnlyWhenItsLastLinesHoldTheMarker) {
    const std::string marker = "[CINICHECKFILEVALID]";
    const std::pair<std::string, int> cases[] = {
        {"X\n" + marker + "\n", 1},
        {"X\n" + marker, 1},
        {"XX\n" + marker + "\r\n" + std::string(237, 'a'), 1},  // line end 260 bytes from the end
        {"XX\n" + marker + "\r\n" + std::string(238, 'a'), 0},  // 261 bytes
        {marker + "\r\n", 0},
        {"\n" + marker + "\r\n", 0},  // the first byte is never read
        {"X\r\n[cinicheckfilevalid]\r\n", 0},
        {"X\r\n " + marker + "\r\n", 0},
        {"", 0},
    };
    CIniClass store;
    for (const auto& [bytes, valid] : cases) {
        WriteBytes(path, bytes);
        EXPECT_EQ(store.IsFileValid(path.c_str()), valid) << bytes;
    }
}

}  // namespace
}  // namespace qor::store
