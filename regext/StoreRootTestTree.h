// Test support for the store-root search: a scratch folder that stands in
// for the common application-data folder while the object lives.
#ifndef QOR_REGEXT_STORE_ROOT_TEST_TREE_H
#define QOR_REGEXT_STORE_ROOT_TEST_TREE_H

#include <cstdlib>
#include <filesystem>
#include <string>

#include "CIniClass.h"
#include "store/StoreTestSupport.h"

namespace qor::testtree {

inline std::string Slashed(std::string path) {
    for (char& c : path) c = c == '\\' ? '/' : c;
    return path;
}

inline void SetAppData(const std::string& folder) {
#ifdef _WIN32
    _putenv_s("QOR_COMMON_APPDATA", folder.c_str());
#else
    setenv("QOR_COMMON_APPDATA", folder.c_str(), 1);
#endif
}

class AppDataTree {
public:
    AppDataTree() { SetAppData(Path()); }
    ~AppDataTree() { SetAppData(""); }

    std::string Path() const { return Slashed(std::filesystem::path(scratch_.File(".")).parent_path().string()); }
    // Writes a file below the tree (relative path, either separator), creating folders.
    std::string Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path file = Path() + "/" + Slashed(relative);
        std::filesystem::create_directories(file.parent_path());
        store::WriteBytes(file.string(), text);
        return file.string();
    }
    // A product folder fragment\sub holding sub.ini (when ownIni) and a root.ini
    // whose product key SOFTWARE + fragment + \ + sub holds one string value.
    void AddProduct(const std::string& fragment, const std::string& sub, const std::string& name,
                    const std::string& value, bool ownIni = true, const std::string& extra = "") const {
        if (ownIni) Write(fragment + "\\" + sub + "\\" + sub + ".ini", "");
        Write(fragment + "\\" + sub + "\\root.ini", "REGEDIT4\r\n[SOFTWARE" + fragment + "\\" + sub + "]\r\n\"" +
                                                        name + "\"=\"" + value + "\"\r\n" + extra +
                                                        "[CINICHECKFILEVALID]\r\n");
    }

private:
    store::TempFolder scratch_;
};

inline void AddRootValue(CIniClass& store, int index, const std::string& fragment) {
    store.SetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner", ("ROOT" + std::to_string(index)).c_str(),
                   ("<string>" + fragment).c_str());
}

}  // namespace qor::testtree

#endif
