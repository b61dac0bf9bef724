// Test support for the store-root search: a temporary folder that stands in
// for the common application-data folder, and product folders inside it.
#ifndef QOR_REGEXT_STORE_ROOT_TEST_TREE_H
#define QOR_REGEXT_STORE_ROOT_TEST_TREE_H

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CIniClass.h"
#include "store/StoreTestSupport.h"

namespace qor::testtree {

inline std::string Slashed(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

// A path below a folder: leading separators dropped, so that it never
// names a place outside the folder.
inline std::string Relative(const std::string& path) {
    const std::string slashed = Slashed(path);
    return slashed.substr(std::min(slashed.find_first_not_of('/'), slashed.size()));
}

// A scratch folder (removed with its contents when the object goes) with
// helpers that write files and folders below it.
class TempFolder {
public:
    TempFolder() : path_(std::filesystem::path(scratch_.File(".")).parent_path()) {}

    std::string Path() const { return path_.generic_string(); }
    // Writes text (bytes as given) to Path()/relative, creating folders.
    std::string Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path file = path_ / Relative(relative);
        std::filesystem::create_directories(file.parent_path());
        store::WriteBytes(file.string(), text);
        return file.generic_string();
    }
    std::string MakeFolder(const std::string& relative) const {
        const std::filesystem::path folder = path_ / Relative(relative);
        std::filesystem::create_directories(folder);
        return folder.generic_string();
    }

private:
    store::TempFolder scratch_;
    std::filesystem::path path_;
};

inline void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// Points the common application-data folder at a temporary folder for the
// object's lifetime.
class AppDataTree : public TempFolder {
public:
    AppDataTree() { SetVariable("QOR_COMMON_APPDATA", Path()); }
    ~AppDataTree() { SetVariable("QOR_COMMON_APPDATA", ""); }

    // A product folder below app-data + fragment: sub/sub.ini (when
    // withOwnIni) and sub/root.ini holding the product key
    // SOFTWARE + fragment + \ + sub with one string value, plus extra lines.
    void AddProduct(const std::string& fragment, const std::string& sub, const std::string& valueName,
                    const std::string& value, bool withOwnIni = true, const std::string& extra = "") const {
        const std::string folder = fragment + "\\" + sub;
        if (withOwnIni) Write(folder + "\\" + sub + ".ini", "");
        Write(folder + "\\root.ini", "REGEDIT4\r\n[SOFTWARE" + fragment + "\\" + sub + "]\r\n\"" + valueName +
                                         "\"=\"" + value + "\"\r\n" + extra + "[CINICHECKFILEVALID]\r\n");
    }
};

// The lookup key with the given ROOTn values, in a store of the caller's.
inline void AddRootValue(CIniClass& store, int index, const std::string& fragment) {
    store.SetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner", ("ROOT" + std::to_string(index)).c_str(),
                   ("<string>" + fragment).c_str());
}

}  // namespace qor::testtree

#endif
