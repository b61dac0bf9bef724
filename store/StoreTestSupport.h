// Helpers for the store's tests: a store read back as plain texts, and a
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
    return store.GetValue(key, name, out) ? out.str() : std::string("(missing)");
}

inline std::vector<std::string> TextsOf(const CStringArray& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetSize(); ++i) texts.push_back(list[i].str());
    return texts;
}

inline std::vector<std::string> AllKeysOf(CIniClass& store) {
    CStringArray list;
    store.GetAllKeys(list);
    return TextsOf(list);
}

// Every key followed by its value lines: the whole store as texts.
inline std::vector<std::string> SnapshotOf(CIniClass& store) {
    CStringArray list;
    for (const std::string& key : AllKeysOf(store)) {
        list.Add(CString("[" + key + "]"));
        store.GetValueLines(key.c_str(), list);
    }
    return TextsOf(list);
}

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
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qor::store

#endif
