// class_facade: the life of a scanner-suite program that keeps its settings
// through the class CRegExt.
//
//   class_facade MACHINE-STORE
//
// MACHINE-STORE is a store file that holds the lookup key
// HKEY_LOCAL_MACHINE\SOFTWARE\Orvane Corp\Scanner. The program finds the
// product folder whose root.ini names the program's own folder, loads that
// root.ini, reads its settings (with defaults and ranges), lists the
// scanners below Devices, writes a few values and saves the file again.
// examples/table_facade.cpp does the same through the function table.
#include <QorCommonLib.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

// What GetRegRoot leaves in its key buffer when no product names the program.
const char kNoProduct[] = "Software\\Company\\Error";

int Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "class_facade: %s%s\n", what, detail);
    return 1;
}

// Reads one scanner's settings; counts the scan in the store.
void VisitDevice(CRegExt& devices, const char* name) {
    CRegExt device;
    if (device.Open(&devices, name, KEY_ALL_ACCESS) != ERROR_SUCCESS) return;
    DWORD resolution = 0;
    float gamma = 0;
    DWORD scans = 0;
    // A stored value outside 75..1200 counts as missing: the default 300 is
    // delivered and, the object being writable, stored in its place.
    device.GetDWord(resolution, 75, 300, 1200, "Resolution");
    // A missing value delivers the default and stores it.
    device.GetFloat(&gamma, 2.2f, "Gamma");
    device.GetDWord(scans, 0, "Scan Count");
    device.SetDWord(scans + 1, "Scan Count");
    std::printf("  %-10s %4u dpi  gamma %.2f  scans %u\n", name, static_cast<unsigned>(resolution), gamma,
                static_cast<unsigned>(scans + 1));
}

// Enumeration in two steps: RegQueryInfoKeyA gathers the sorted names of
// the keys directly below into the object's own list, RegEnumKeyExA hands
// them out by index, Close empties the list again.
void VisitDevices(CRegExt& app) {
    CRegExt devices;
    if (devices.Open(&app, "Devices", KEY_READ) != ERROR_SUCCESS) return;
    DWORD count = 0;
    DWORD longest = 0;
    if (devices.RegQueryInfoKeyA(&devices, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        count = 0;
    }
    std::printf("devices: %u (longest name %u)\n", static_cast<unsigned>(count), static_cast<unsigned>(longest));
    for (DWORD i = 0; i < count; ++i) {
        char name[260];  // RegEnumKeyExA writes up to 260 bytes
        devices.RegEnumKeyExA(&devices, i, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        VisitDevice(devices, name);
    }
    devices.Close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MACHINE-STORE\n", argv[0]);
        return 2;
    }
    // 1. A store that holds the lookup key. Load creates the process-wide
    //    store CRegExt::m_pIni on first use; every CRegExt object shares it.
    if (CRegExt::Load(argv[1]) != 1) return Fail("cannot load ", argv[1]);

    // 2. Which product folder names this program? Mode 0 compares each
    //    product's "System Directory" with the folder of the module path:
    //    a full path (argv[0] here, so start the program by its full path;
    //    a Windows program passes GetModuleFileNameA's answer).
    CRegExt lookup;
    char productKey[260] = {};
    lookup.GetRegRoot(0, argv[0], productKey);
    if (std::strcmp(productKey, kNoProduct) == 0) return Fail("no product names ", argv[0]);
    const std::string rootIni = std::string(CRegExt::GetSysPath()) + "root.ini";
    std::printf("product key: %s\nproduct folder: %s\n", productKey, CRegExt::GetSysPath());

    // 3. The product's own store file joins the same store.
    if (CRegExt::Load(rootIni.c_str()) != 1) return Fail("cannot load ", rootIni.c_str());

    // 4. The product key has no root name; a full key path opens by itself.
    CRegExt product;
    CString version;
    if (product.OpenReadOnly(productKey, "") == 1 && product.GetString(version, "Version", 0) == 1) {
        std::printf("version: %s\n", version.GetString());
    }

    // 5. The user's settings, open for writing (KEY_ALL_ACCESS holds KEY_WRITE).
    CRegExt app;
    if (app.Open(HKEY_CURRENT_USER, "Software\\Orvane Corp\\DocScan", KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        return Fail("no settings key in ", rootIni.c_str());
    }
    CString language;
    app.GetString(language, "Language", 0);
    int preview = 0;
    app.GetInt(preview, 1, "Show Preview");
    char folder[260] = "";
    // With a non-zero size, a text that does not fit is not copied (result 0).
    app.GetString(folder, "Output Folder", sizeof folder);
    std::printf("language: %s  preview: %d  output folder: %s\n", language.GetString(), preview, folder);

    VisitDevices(app);

    // 6. CreateKey adds the key when it is missing; KEY_WRITE makes it writable.
    CRegExt profile;
    if (profile.CreateKey("Profiles\\Quick", &app, KEY_WRITE) == 1) {
        CArray<int, int> crop;
        for (int edge : {0, 0, 2480, 3508}) crop.Add(edge);
        profile.SetString("Gray 8-bit", "Color Mode");
        profile.SetIntArray(crop, "Crop", 0);
        std::printf("profile: %s\n", profile.szKey);
    }

    // 7. Save writes every key but the HKEY_LOCAL_MACHINE ones; the old file
    //    is replaced only once the new one is complete.
    if (CRegExt::Save(rootIni.c_str()) != 1) return Fail("cannot save ", rootIni.c_str());
    std::printf("saved root.ini\n");

    // Destroys the process-wide store; every object loses it.
    app.Delete();
    return 0;
}
