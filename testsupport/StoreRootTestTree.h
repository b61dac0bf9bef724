// Test support for the store-root search: a uniquely named folder below the
// common application-data folder (on POSIX hosts that folder is pointed at
// the temporary folder), removed with its contents when the object goes.
#ifndef QOR_TESTSUPPORT_STOREROOTTESTTREE_H
#define QOR_TESTSUPPORT_STOREROOTTESTTREE_H

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "CIniClass.h"
#include "platform/Platform.h"
#include "testsupport/TestFiles.h"

namespace qor::testtree {

inline std::string Slashed(std::string path) {
    for (char& c : path) c = c == '\\' ? '/' : c;
    return path;
}

class AppDataTree {
public:
    AppDataTree() {
#ifndef _WIN32
        setenv("QOR_COMMON_APPDATA", std::filesystem::temp_directory_path().string().c_str(), 1);
#endif
        name_ = "qor_root_test_" + std::to_string(std::random_device{}()) + std::to_string(std::random_device{}());
        std::filesystem::create_directories(Path());
    }
    ~AppDataTree() {
        std::error_code ignored;
        std::filesystem::remove_all(Path(), ignored);
#ifndef _WIN32
        unsetenv("QOR_COMMON_APPDATA");
#endif
    }

    std::string Path() const { return Slashed(platform::CommonAppDataFolder()) + "/" + name_; }
    // The ROOTn fragment of a product folder of this tree.
    std::string Fragment(const std::string& folder) const { return "\\" + name_ + "\\" + folder; }
    void Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path file = Path() + "/" + Slashed(relative);
        std::filesystem::create_directories(file.parent_path());
        testkit::WriteBytes(file.string(), text);
    }
    // folder\sub holding sub.ini (when ownIni) and a root.ini whose product
    // key SOFTWARE + Fragment(folder) + \ + sub holds one string value.
    void AddProduct(const std::string& folder, const std::string& sub, const std::string& name,
                    const std::string& value, bool ownIni = true, const std::string& extra = "") const {
        if (ownIni) Write(folder + "/" + sub + "/" + sub + ".ini", "");
        Write(folder + "/" + sub + "/root.ini", "REGEDIT4\r\n[SOFTWARE" + Fragment(folder) + "\\" + sub + "]\r\n\"" +
                                                    name + "\"=\"" + value + "\"\r\n" + extra +
                                                    "[CINICHECKFILEVALID]\r\n");
    }
    // The lookup key's value ROOTindex naming a product folder of this tree.
    void AddRootValue(CIniClass& store, int index, const std::string& folder) const {
        store.SetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner", ("ROOT" + std::to_string(index)).c_str(),
                       ("<string>" + Fragment(folder)).c_str());
    }

private:
    std::string name_;
};

}  // namespace qor::testtree

#endif
