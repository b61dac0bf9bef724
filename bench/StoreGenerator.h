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
#ifndef QOR_BENCH_STORE_GENERATOR_H
#define QOR_BENCH_STORE_GENERATOR_H

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

}  // namespace qor::bench

#endif
