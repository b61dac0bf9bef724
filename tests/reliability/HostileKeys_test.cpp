// Key paths, sub-key names and value names at and past every limit.
#include <gtest/gtest.h>

#include <cstring>

#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER\\SOFTWARE\\LIMITS";

// A key path of exactly `length` characters below kRoot.
std::string PathOfLength(std::size_t length) {
    std::string path = std::string(kRoot) + "\\";
    path += std::string(length - path.size(), 'K');
    return path;
}

class HostileKeys : public ::testing::Test {
protected:
    void SetUp() override {
        store.AddKey(kRoot);
        CRegExt::m_pIni = &store;
        table->pfnInitHandle(&root);
        table->pfnAttachRegExt(nullptr, &root);  // the table shares the store
    }
    void TearDown() override {
        CRegExt::m_pIni = nullptr;
        table->pfnAttachRegExt(nullptr, nullptr);
    }

    CIniClass store;
    UI_FunctionTable* table = UI_GetQorFunctionTable();
    tagRegHandle root;
};

TEST_F(HostileKeys, KeyPathOf1039CharactersOpensAndLongerOnesAreRefusedUnchanged) {
    for (const std::size_t length : {std::size_t{1039}, std::size_t{1040}, std::size_t{5000}}) {
        SCOPED_TRACE(length);
        const std::string path = PathOfLength(length);
        const bool fits = length <= 1039;
        store.AddKey(path.c_str());
        store.AddKey((path + "\\SUB").c_str());

        CRegExt object;
        std::strcpy(object.szKey, "UNCHANGED");
        EXPECT_EQ(object.OpenReadOnly(path.c_str(), kRoot), fits ? 1 : 0);
        EXPECT_STREQ(object.szKey, fits ? path.c_str() : "UNCHANGED");
        EXPECT_EQ(object.SetGroup(path.c_str()), fits ? 1 : 0);
        object.Attach(path.c_str());
        EXPECT_EQ(std::strlen(object.szKey), fits ? length : 9u);
        DWORD count = 77, longest = 77;  // an overlong path is listed as no key, nothing written
        EXPECT_EQ(object.RegQueryInfoKeyA(path.c_str(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, nullptr),
                  fits ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND);
        EXPECT_EQ(count * 100 + longest, fits ? 103u : 7777u);
        EXPECT_EQ(object.m_SubKeyList.nCount, fits ? 1 : 0);

        tagRegHandle h;
        EXPECT_EQ(table->pfnOpenReadOnly(path.c_str(), &h, &root), fits ? 1 : 0);
        EXPECT_EQ(std::strlen(h.szKey), fits ? length : 0u);
        EXPECT_EQ(table->pfnOpen(HKEY_CURRENT_USER, path.c_str() + 18, KEY_READ, &h), fits ? 0 : 3);
    }
}

// (CRegExt's list leaves such a name out.)
TEST_F(HostileKeys, SubKeyNameTooLongForAListNodeIsHandedOutWholeByTheTable) {
    const std::string longName(300, 'L');
    store.AddKey((std::string(kRoot) + "\\" + longName).c_str());
    store.AddKey((std::string(kRoot) + "\\SHORT").c_str());
    DWORD count = 0, longest = 0;
    tagRegHandle h;
    ASSERT_EQ(table->pfnOpenReadOnly(kRoot, &h, &root), 1);
    ASSERT_EQ(table->pfnRegQueryInfoKeyA(&h, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(longest, 300u);
    std::vector<char> wide(longest + 1, '\x7f');
    table->pfnRegEnumKeyExA(&h, 0, wide.data(), nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::string(wide.data()), longName);
}

TEST_F(HostileKeys, TenThousandLevelsOfKeysWorkEverywhere) {
    std::string deepest = std::string(kRoot) + "\\DEEP";
    for (int level = 0; level < 10000; ++level) deepest += "\\L";
    ASSERT_EQ(store.SetValue(deepest.c_str(), "V", "<dword>7"), 1);
    // And a chain of existing keys, each one level below the last.
    std::string chain = std::string(kRoot) + "\\CHAIN";
    for (int level = 0; level < 1000; ++level) {
        chain += "\\C";
        store.SetValue(chain.c_str(), "LEVEL", ("<dword>" + std::to_string(level)).c_str());
    }

    CRegExt object;
    DWORD count = 0, longest = 0;
    ASSERT_EQ(object.RegQueryInfoKeyA(kRoot, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 2u);  // CHAIN and DEEP
    CStringArray below;
    EXPECT_EQ(store.GetSubKeys((std::string(kRoot) + "\\CHAIN").c_str(), below), 1000);

    ScratchFolder folder;
    ASSERT_EQ(store.SaveFile(folder.File("deep.ini").c_str(), ""), 1);
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(folder.File("deep.ini").c_str()), 1);
    EXPECT_EQ(SnapshotOf(loaded), SnapshotOf(store));

    store.DeleteSubtree((std::string(kRoot) + "\\DEEP").c_str());
    store.DeleteSubtree((std::string(kRoot) + "\\CHAIN").c_str());
    EXPECT_EQ(SnapshotOf(store).size(), 1u);
}

TEST_F(HostileKeys, OddValueNamesLoseOnlyWhatTheFileFormatDocuments) {
    struct NameCase {
        const char* name;
        const char* loadedName;  // null: read back as another value's name or not at all
    };
    const NameCase cases[] = {
        {"A\\B", "A\\B"}, {"C\\\\D", "C\\\\D"},     {"MID\"QUOTE", "MID\"QUOTE"},
        {"\\", "\\"},     {"\"LEADING", "LEADING"}, {"TRAILING\"", "TRAILING"},
        {"E=F", nullptr},
    };
    for (const NameCase& c : cases) store.SetValue(kRoot, c.name, "<string>v");
    store.SetValue(kRoot, "KEEP", "<dword>5");
    ScratchFolder folder;
    ASSERT_EQ(store.SaveFile(folder.File("names.ini").c_str(), ""), 1);
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(folder.File("names.ini").c_str()), 1);
    CString text;
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.loadedName != nullptr) {
            EXPECT_EQ(loaded.GetValue(kRoot, c.loadedName, text), 1);
            EXPECT_EQ(text, "<string>v");
        }
    }
    // "E=F" is read as the name "E (an unmatched quote) with the field F"="<string>v" less its ends.
    EXPECT_EQ(loaded.GetValue(kRoot, "E", text), 1);
    EXPECT_EQ(loaded.GetValue(kRoot, "KEEP", text), 1);
    EXPECT_EQ(text, "<dword>5");
}

}  // namespace
}  // namespace qor::reliability
