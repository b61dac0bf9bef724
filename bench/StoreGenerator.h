// Synthetic stores for the benchmarks and the peer comparison.
//
// Keys form a three-level tree under one base key, numbered in generation
// order, which is also ascending byte order:
//
//   BASE\PRODUCT00000                     key 0 of each block of 100
//   BASE\PRODUCT00000\DEVICE1             then per device (9):
//   BASE\PRODUCT00000\DEVICE1\PROFILE0      the device, its 10 profiles
//
// so every product with its devices and profiles is a 100-key subtree. Each
// key holds ten values of mixed types (DWORD, signed, float, string, number
// list, byte list), derived from the key number alone: the same key count
// gives the same store on every run and every machine.
#ifndef QOR_BENCH_STOREGENERATOR_H
#define QOR_BENCH_STOREGENERATOR_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "CIniClass.h"

namespace qor::bench {

inline constexpr std::string_view kBaseKey = "HKEY_CURRENT_USER\\SOFTWARE\\BENCH";
inline constexpr std::size_t kKeysPerProduct = 100;
inline constexpr std::size_t kValuesPerKey = 10;

struct GeneratedValue {
    std::string name;  // upper case
    std::string text;  // encoded value text, type prefix included
};

// Full upper-case path of key number index.
std::string KeyPathOf(std::size_t index);
// Path of product number product: the root of a 100-key subtree.
std::string ProductPathOf(std::size_t product);
// The ten values of key number index, replacing what values held.
void ValuesOf(std::size_t index, std::vector<GeneratedValue>& values);

// Adds keys first to first + count - 1 with their values to store.
void FillKeys(CIniClass& store, std::size_t first, std::size_t count);
// Adds keys 0 to keyCount - 1 with their values to store.
void FillStore(CIniClass& store, std::size_t keyCount);
// The same content as INI text for peers: "[key path]" then one
// "name=value" line per value (the value text without its type prefix).
std::string IniText(std::size_t keyCount);

// Writes the store file (through SaveFile) and the INI form. True when both
// were written.
bool WriteStoreFile(std::size_t keyCount, const std::string& path);
bool WriteIniFile(std::size_t keyCount, const std::string& path);

// A product's settings in the shape of the example store (examples/root.ini):
// the product key below SOFTWARE, the application key below
// HKEY_CURRENT_USER with its Devices, each device with its Profiles:
// 3 + kProductDevices * (2 + kProfilesPerDevice) keys, about 2,000.
inline constexpr std::size_t kProductDevices = 40;
inline constexpr std::size_t kProfilesPerDevice = 48;
inline constexpr std::string_view kProductLookupKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVANE CORP\\SCANNER";
inline constexpr std::string_view kProductRootFragment = "\\Orvane Corp\\DocScan";
inline constexpr std::string_view kProductName = "DocScan Pro 5";
inline constexpr std::string_view kProductAppKey = "HKEY_CURRENT_USER\\SOFTWARE\\ORVANE CORP\\DOCSCAN";

// Name of device number device below the application key's DEVICES.
std::string ProductDeviceName(std::size_t device);
// Fills store with the product's keys; the product key's "SYSTEM DIRECTORY"
// is systemDirectory, the folder the store-root search matches.
void FillProductStore(CIniClass& store, const std::string& systemDirectory);

// Where WriteProductTree put a product's files below its folder.
struct ProductTree {
    std::string machineStore;  // folder/machine.ini: the lookup key, ROOT1
    std::string appData;       // folder/appdata: the common application-data folder
    std::string rootIni;       // appdata/Orvane Corp/DocScan/DocScan Pro 5/root.ini
    std::string modulePath;    // folder/bin/docscan: the program the product names
};

// Writes the machine store, the product folder with its marker file and
// its root.ini below folder (created when missing). True when all were written.
bool WriteProductTree(const std::string& folder, ProductTree& tree);

}  // namespace qor::bench

#endif
