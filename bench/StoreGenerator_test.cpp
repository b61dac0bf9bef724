#include "bench/StoreGenerator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <algorithm>
#include <cstdlib>

#include "CRegExt.h"
#include "store/ValueText.h"
#include "testsupport/TestFiles.h"

namespace qor::bench {
namespace {

namespace fs = std::filesystem;

std::string TempFile(const std::string& name) {
    return (fs::temp_directory_path() /
            (name + "_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())))
        .string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// key -> name -> value, read from the INI form.
std::map<std::string, std::map<std::string, std::string>> ParseIni(const std::string& text) {
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        if (line.starts_with("[")) {
            section = line.substr(1, line.size() - 2);
            sections[section];
        } else {
            const std::size_t equals = line.find('=');
            sections[section][line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return sections;
}

TEST(StoreGenerator, KeysAscendAndEveryProductIsAHundredKeySubtree) {
    for (std::size_t i = 1; i < 300; ++i) EXPECT_LT(KeyPathOf(i - 1), KeyPathOf(i)) << i;
    EXPECT_EQ(KeyPathOf(100), ProductPathOf(1));
    CIniClass store;
    FillStore(store, 300);
    CStringArray all, product;
    EXPECT_EQ(store.GetAllKeys(all), 300);
    EXPECT_EQ(store.GetSubKeys(ProductPathOf(1).c_str(), product), 100);
}

TEST(StoreGenerator, EveryKeyHoldsTenNamedValuesOfMixedTypes) {
    std::vector<GeneratedValue> values, next;
    ValuesOf(7, values);
    ValuesOf(8, next);
    std::set<std::string> names, prefixes;
    for (const GeneratedValue& value : values) {
        names.insert(value.name);
        prefixes.insert(value.text.substr(0, value.text.find('>') + 1));
    }
    EXPECT_EQ(names.size(), kValuesPerKey);
    EXPECT_EQ(prefixes, (std::set<std::string>{"<dword>", "<string>", "<hex>"}));
    int differing = 0;
    for (std::size_t i = 0; i < values.size(); ++i) differing += values[i].text != next[i].text;
    EXPECT_GE(differing, 5) << "values should vary from key to key";
}

TEST(StoreGenerator, SameKeyCountWritesTheSameBytes) {
    const std::string first = TempFile("generated_a.ini"), second = TempFile("generated_b.ini");
    ASSERT_TRUE(WriteStoreFile(150, first));
    ASSERT_TRUE(WriteStoreFile(150, second));
    EXPECT_EQ(ReadAll(first), ReadAll(second));
    fs::remove(first);
    fs::remove(second);
}

// The peer reads the INI form while the library reads the store file: both
// must carry the same keys and values, or the comparison compares unlike work.
TEST(StoreGenerator, StoreFileAndIniFormCarryTheSameContent) {
    const std::string file = TempFile("generated_store.ini");
    ASSERT_TRUE(WriteStoreFile(250, file));
    CIniClass loaded;
    ASSERT_EQ(loaded.LoadFile(file.c_str()), 1);
    const auto sections = ParseIni(IniText(250));
    CStringArray keys;
    ASSERT_EQ(loaded.GetAllKeys(keys), static_cast<int>(sections.size()));
    for (const auto& [key, values] : sections) {
        ASSERT_EQ(values.size(), kValuesPerKey) << key;
        for (const auto& [name, value] : values) {
            CString text;
            ASSERT_EQ(loaded.GetValue(key.c_str(), name.c_str(), text), 1) << key << " " << name;
            EXPECT_EQ(store::WithoutPrefix(text.str()), value) << key << " " << name;
        }
    }
    fs::remove(file);
}

// The product tree must be what a program of the suite finds and reads: the
// store-root search through the lookup key names its folder, and its
// root.ini holds about 2,000 keys in the example store's shape.
TEST(StoreGenerator, ProductTreeIsFoundByTheStoreRootSearch) {
    testkit::ScratchFolder folder("qor_product_tree");
    ProductTree tree;
    ASSERT_TRUE(WriteProductTree(folder.Path(), tree));
#ifndef _WIN32
    setenv("QOR_COMMON_APPDATA", tree.appData.c_str(), 1);
#endif
    ASSERT_EQ(CRegExt::Load(tree.machineStore.c_str()), 1);
    char key[260] = {};
    CRegExt().GetRegRoot(0, tree.modulePath.c_str(), key);
    EXPECT_STREQ(key, "SOFTWARE\\Orvane Corp\\DocScan\\DocScan Pro 5");
    std::string found = CRegExt::GetSysPath();
    std::replace(found.begin(), found.end(), '\\', '/');
    EXPECT_EQ(found + "root.ini", tree.rootIni);
    CRegExt().Delete();
#ifndef _WIN32
    unsetenv("QOR_COMMON_APPDATA");
#endif

    CIniClass product;
    ASSERT_EQ(product.LoadFile(tree.rootIni.c_str()), 1);
    CStringArray keys, devices, profiles;
    EXPECT_EQ(product.GetAllKeys(keys), static_cast<int>(3 + kProductDevices * (2 + kProfilesPerDevice)));
    const std::string app(kProductAppKey);
    // GetSubKeys lists the whole subtree, the key itself included.
    EXPECT_EQ(product.GetSubKeys((app + "\\DEVICES").c_str(), devices),
              static_cast<int>(1 + kProductDevices * (2 + kProfilesPerDevice)));
    const std::string lastDevice = app + "\\DEVICES\\" + ProductDeviceName(kProductDevices - 1);
    EXPECT_EQ(product.GetSubKeys((lastDevice + "\\PROFILES").c_str(), profiles),
              static_cast<int>(1 + kProfilesPerDevice));
    for (const char* name : {"RESOLUTION", "BRIGHTNESS", "CONTRAST", "GAMMA", "COLOR MODE"}) {
        CString text;
        EXPECT_EQ(product.GetValue(lastDevice.c_str(), name, text), 1) << name;
    }
}

}  // namespace
}  // namespace qor::bench
