// Helpers for the store's tests: reading a store back as plain texts and a
// scratch folder that removes itself.
#ifndef QOR_STORE_STORE_TEST_SUPPORT_H
#define QOR_STORE_STORE_TEST_SUPPORT_H

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "CIniClass.h"

namespace qor::store {

// The value's text, or "(missing)".
inline std::string ValueOf(CIniClass& store, const char* key, const char* name) {
    CString out;
    return store.GetValue(key, name, out) ? std::string(out.str()) : std::string("(missing)");
}

inline std::vector<std::string> AllKeysOf(CIniClass& store) {
    CStringArray list;
    store.GetAllKeys(list);
    std::vector<std::string> keys;
    for (int i = 0; i < list.GetSize(); ++i) keys.push_back(list[i].str());
    return keys;
}

inline std::vector<std::string> LinesOf(CIniClass& store, const char* key) {
    CStringArray list;
    store.GetValueLines(key, list);
    std::vector<std::string> lines;
    for (int i = 0; i < list.GetSize(); ++i) lines.push_back(list[i].str());
    return lines;
}

// Every key with its value lines, one text per key: a whole-store snapshot.
inline std::vector<std::string> SnapshotOf(CIniClass& store) {
    std::vector<std::string> snapshot;
    for (const std::string& key : AllKeysOf(store)) {
        std::string entry = "[" + key + "]";
        for (const std::string& line : LinesOf(store, key.c_str())) entry += "|" + line;
        snapshot.push_back(entry);
    }
    return snapshot;
}

// A fresh folder below the system's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("qor_store_test_" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qor::store

#endif
