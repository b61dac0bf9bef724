#include "bench/StoreGenerator.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "store/ValueText.h"

namespace qor::bench {
namespace {

constexpr std::size_t kDevicesPerProduct = 9;
constexpr std::size_t kKeysPerDevice = 11;  // the device and its 10 profiles

// splitmix64: a well-mixed number for each (key, value) pair, so values
// vary from key to key without any state between calls.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string Padded(std::size_t number, int width) {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string ModelName(std::uint64_t h) {
    std::string name = "Model ";
    name += static_cast<char>('A' + h % 26);
    name += static_cast<char>('A' + (h >> 8) % 26);
    name += '-';
    name += std::to_string(1000 + (h >> 16) % 9000);
    return name;
}

std::string OutputFolder(std::size_t index, std::uint64_t h) {
    return "C:\\Scans\\P" + Padded(index / kKeysPerProduct, 5) + "\\" + std::to_string(h % 1000);
}

std::vector<std::int32_t> PaperSizes(std::uint64_t h) {
    std::vector<std::int32_t> sizes;
    for (std::uint64_t n = 2 + h % 3; n > 0; --n, h >>= 5) sizes.push_back(static_cast<std::int32_t>(h % 30));
    return sizes;
}

std::vector<std::uint8_t> ColorTable(std::uint64_t h) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 8; ++i, h >>= 8) bytes.push_back(static_cast<std::uint8_t>(h));
    return bytes;
}

}  // namespace

std::string ProductPathOf(std::size_t product) {
    std::string path(kBaseKey);
    path += "\\PRODUCT";
    path += Padded(product, 5);
    return path;
}

std::string KeyPathOf(std::size_t index) {
    std::string path = ProductPathOf(index / kKeysPerProduct);
    const std::size_t inProduct = index % kKeysPerProduct;
    if (inProduct == 0) return path;
    const std::size_t device = (inProduct - 1) / kKeysPerDevice;
    const std::size_t inDevice = (inProduct - 1) % kKeysPerDevice;
    path += "\\DEVICE" + std::to_string(device + 1);
    if (inDevice > 0) path += "\\PROFILE" + std::to_string(inDevice - 1);
    return path;
}

void ValuesOf(std::size_t index, std::vector<GeneratedValue>& values) {
    const auto h = [index](std::uint64_t slot) { return Mix(index * 16 + slot); };
    const std::vector<std::int32_t> sizes = PaperSizes(h(8));
    values = {
        {"RESOLUTION", store::EncodeDword(static_cast<std::uint32_t>(75 * (1 + h(0) % 16)))},
        {"BRIGHTNESS", store::EncodeInt(static_cast<std::int32_t>(h(1) % 201) - 100)},
        {"CONTRAST", store::EncodeInt(static_cast<std::int32_t>(h(2) % 100))},
        {"GAMMA", store::EncodeFloat(1.0f + static_cast<float>(h(3) % 300) / 100.0f)},
        {"DUPLEX", store::EncodeInt(static_cast<std::int32_t>(h(4) % 2))},
        {"PAGECOUNT", store::EncodeDword(static_cast<std::uint32_t>(h(5) % 100000))},
        {"DEVICENAME", store::EncodeString(ModelName(h(6)))},
        {"OUTPUTFOLDER", store::EncodeString(OutputFolder(index, h(7)))},
        {"PAPERSIZES", store::EncodeIntList(sizes.data(), sizes.size(), 0)},
        {"COLORTABLE", store::EncodeBytes(ColorTable(h(9)))},
    };
}

void FillKeys(CIniClass& store, std::size_t first, std::size_t count) {
    std::vector<GeneratedValue> values;
    for (std::size_t i = first; i < first + count; ++i) {
        const std::string key = KeyPathOf(i);
        store.AddKey(key.c_str());
        ValuesOf(i, values);
        for (const GeneratedValue& value : values) store.SetValue(key.c_str(), value.name.c_str(), value.text.c_str());
    }
}

std::string IniText(std::size_t keyCount) {
    std::string text;
    std::vector<GeneratedValue> values;
    for (std::size_t i = 0; i < keyCount; ++i) {
        text.append("[").append(KeyPathOf(i)).append("]\n");
        ValuesOf(i, values);
        for (const GeneratedValue& value : values) {
            text.append(value.name).append("=").append(store::WithoutPrefix(value.text)).append("\n");
        }
    }
    return text;
}

void FillStore(CIniClass& store, std::size_t keyCount) { FillKeys(store, 0, keyCount); }

bool WriteStoreFile(std::size_t keyCount, const std::string& path) {
    CIniClass store;
    FillStore(store, keyCount);
    return store.SaveFile(path.c_str(), "") == 1;
}

bool WriteIniFile(std::size_t keyCount, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string text = IniText(keyCount);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out.flush());
}

std::string ProductDeviceName(std::size_t device) { return "SCANNER-" + Padded(device, 2); }

namespace {

constexpr const char* kColorModes[] = {"Color 24-bit", "Grayscale 8-bit", "Black and White"};
constexpr const char* kPaperSizes[] = {"A4", "Letter", "Legal", "A5"};

void SetAll(CIniClass& store, const std::string& key, const std::vector<GeneratedValue>& values) {
    store.AddKey(key.c_str());
    for (const GeneratedValue& value : values) store.SetValue(key.c_str(), value.name.c_str(), value.text.c_str());
}

// Settings shared by a device and its profiles, derived from seed.
std::vector<GeneratedValue> ScanSettings(std::uint64_t seed) {
    const auto h = [seed](std::uint64_t slot) { return Mix(seed * 16 + slot); };
    return {
        {"RESOLUTION", store::EncodeDword(static_cast<std::uint32_t>(75 * (1 + h(0) % 16)))},
        {"COLOR MODE", store::EncodeString(kColorModes[h(1) % 3])},
        {"PAPER SIZE", store::EncodeString(kPaperSizes[h(2) % 4])},
        {"BRIGHTNESS", store::EncodeInt(static_cast<std::int32_t>(h(3) % 201) - 100)},
        {"CONTRAST", store::EncodeInt(static_cast<std::int32_t>(h(4) % 100))},
        {"DUPLEX", store::EncodeInt(static_cast<std::int32_t>(h(5) % 2))},
    };
}

}  // namespace

void FillProductStore(CIniClass& store, const std::string& systemDirectory) {
    const std::string product = "SOFTWARE" + std::string(kProductRootFragment) + "\\" + std::string(kProductName);
    std::string productKey = product;
    for (char& c : productKey) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    SetAll(store, productKey,
           {{"SYSTEM DIRECTORY", store::EncodeString(systemDirectory)},
            {"TWAIN PATHNAME", store::EncodeString(systemDirectory + "DocScanPro.ds")},
            {"VERSION", store::EncodeString("5.2.1")},
            {"BUILD", store::EncodeDword(2938)}});
    const std::string app(kProductAppKey);
    SetAll(store, app,
           {{"LANGUAGE", store::EncodeString("en-US")},
            {"LAST PROFILE", store::EncodeString(ProductDeviceName(0))},
            {"SHOW PREVIEW", store::EncodeDword(1)},
            {"WINDOW PLACEMENT", store::EncodeString("120,80,900,640")},
            {"OUTPUT FOLDER", store::EncodeString("C:\\Users\\Public\\Documents\\Scans")},
            {"SCAN COUNT", store::EncodeDword(0)}});
    SetAll(store, app + "\\DEVICES", {});
    for (std::size_t d = 0; d < kProductDevices; ++d) {
        const std::string device = app + "\\DEVICES\\" + ProductDeviceName(d);
        std::vector<GeneratedValue> values = ScanSettings(d * 1000);
        const std::uint64_t h = Mix(d);
        values.push_back({"MODEL", store::EncodeString(ModelName(h))});
        values.push_back({"GAMMA", store::EncodeFloat(1.0f + static_cast<float>(h % 300) / 100.0f)});
        values.push_back({"GAMMA TABLE", store::EncodeBytes(ColorTable(h >> 3))});
        values.push_back({"OUTPUT FOLDER", store::EncodeString(OutputFolder(d, h))});
        SetAll(store, device, values);
        SetAll(store, device + "\\PROFILES", {});
        for (std::size_t p = 0; p < kProfilesPerDevice; ++p) {
            SetAll(store, device + "\\PROFILES\\PROFILE-" + Padded(p, 2), ScanSettings(d * 1000 + p + 1));
        }
    }
}

bool WriteProductTree(const std::string& folder, ProductTree& tree) {
    namespace fs = std::filesystem;
    tree.machineStore = folder + "/machine.ini";
    tree.appData = folder + "/appdata";
    tree.modulePath = folder + "/bin/docscan";
    std::string productFolder = tree.appData + std::string(kProductRootFragment) + "/" + std::string(kProductName);
    std::replace(productFolder.begin(), productFolder.end(), '\\', '/');
    tree.rootIni = productFolder + "/root.ini";
    std::error_code error;
    fs::create_directories(productFolder, error);
    fs::create_directories(folder + "/bin", error);
    if (error) return false;
    std::ofstream marker(productFolder + "/" + std::string(kProductName) + ".ini", std::ios::trunc);
    if (!marker) return false;

    CIniClass machine;
    const std::string lookup(kProductLookupKey);
    machine.AddKey(lookup.c_str());
    machine.SetValue(lookup.c_str(), "ROOT1", store::EncodeString(kProductRootFragment).c_str());
    CIniClass product;
    FillProductStore(product, folder + "/bin/");
    return machine.SaveFile(tree.machineStore.c_str(), "") == 1 && product.SaveFile(tree.rootIni.c_str(), "") == 1;
}

}  // namespace qor::bench
