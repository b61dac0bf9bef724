// table_facade: the program of examples/class_facade.cpp again, through the
// flat function table that UI_GetQorFunctionTable returns.
//
//   table_facade MACHINE-STORE
//
// The table works on handle records (tagRegHandle) that the caller owns and
// on a store of its own. Its calls take no lock: callers bracket their work
// with pfnLock / pfnUnlock (a recursive lock private to the process).
#include <QorCommonLib.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// What pfnGetRegRoot leaves in its key buffer when no product names the program.
const char kNoProduct[] = "Software\\Company\\Error";

int Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "table_facade: %s%s\n", what, detail);
    return 1;
}

// Holds the table's lock for one scope.
class TableLock {
public:
    explicit TableLock(const UI_FunctionTable& table) : table_(table) { table_.pfnLock(); }
    ~TableLock() { table_.pfnUnlock(); }
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

private:
    const UI_FunctionTable& table_;
};

// Reads one scanner's settings; counts the scan in the store.
void VisitDevice(const UI_FunctionTable& t, tagRegHandle& devices, const char* name) {
    tagRegHandle device;
    if (t.pfnOpenReadWrite(name, &device, &devices) != 1) return;
    DWORD resolution = 0;
    float gamma = 0;
    DWORD scans = 0;
    // Outside 75..1200 counts as missing: 300 is delivered and stored.
    t.pfnGetDWordRange(&device, &resolution, 75, 300, 1200, "Resolution");
    t.pfnGetFloatDefault(&device, &gamma, 2.2f, "Gamma");
    t.pfnGetDWordDefault(&device, &scans, 0, "Scan Count");
    t.pfnSetDWord(&device, scans + 1, "Scan Count");
    std::printf("  %-10s %4u dpi  gamma %.2f  scans %u\n", name, static_cast<unsigned>(resolution), gamma,
                static_cast<unsigned>(scans + 1));
}

// pfnRegQueryInfoKeyA fills the table's one sub-key list (shared by every
// thread, hence the lock); pfnRegEnumKeyExA reads it by index.
void VisitDevices(const UI_FunctionTable& t, tagRegHandle& app) {
    tagRegHandle devices;
    if (t.pfnOpenReadOnly("Devices", &devices, &app) != 1) return;
    DWORD count = 0;
    DWORD longest = 0;
    if (t.pfnRegQueryInfoKeyA(&devices, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr) != ERROR_SUCCESS) {
        count = 0;
    }
    std::printf("devices: %u (longest name %u)\n", static_cast<unsigned>(count), static_cast<unsigned>(longest));
    for (DWORD i = 0; i < count; ++i) {
        char name[260];
        t.pfnRegEnumKeyExA(&devices, i, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        VisitDevice(t, devices, name);
    }
}

int Run(const UI_FunctionTable& t, const char* machineStore, const char* modulePath) {
    TableLock hold(t);
    // 1. An empty handle, then the store that holds the lookup key: pfnLoad
    //    creates the table store and attaches the handle to it.
    tagRegHandle root;
    t.pfnInitHandle(&root);
    if (t.pfnLoad(&root, machineStore) != 1) return Fail("cannot load ", machineStore);

    // 2. Which product folder names this program? Mode 0 matches the
    //    folder of the module's full path (argv[0] here).
    char productKey[260] = {};
    t.pfnGetRegRoot(0, modulePath, productKey);
    if (std::strcmp(productKey, kNoProduct) == 0) return Fail("no product names ", modulePath);
    const std::string folder = t.pfnGetRegRootBuffer(nullptr);
    const std::string rootIni = folder + "root.ini";
    std::printf("product key: %s\nproduct folder: %s\n", productKey, folder.c_str());

    // 3. pfnSave writes every key, machine keys included: give the product's
    //    file a store of its own, so that the lookup key stays out of it.
    t.pfnFreeStore();
    t.pfnInitHandle(&root);
    if (t.pfnLoad(&root, rootIni.c_str()) != 1) return Fail("cannot load ", rootIni.c_str());

    // 4. Under a handle with an empty key, a sub-key is a full key path.
    tagRegHandle product;
    char version[32] = "";
    if (t.pfnOpenReadOnly(productKey, &product, &root) == 1 &&
        t.pfnGetString(&product, version, "Version", sizeof version) == 1) {
        std::printf("version: %s\n", version);
    }

    // 5. The user's settings, open for writing.
    tagRegHandle app;
    t.pfnInitHandle(&app);
    if (t.pfnOpen(HKEY_CURRENT_USER, "Software\\Orvane Corp\\DocScan", KEY_ALL_ACCESS, &app) != ERROR_SUCCESS) {
        return Fail("no settings key in ", rootIni.c_str());
    }
    char language[32] = "";
    t.pfnGetString(&app, language, "Language", sizeof language);
    int preview = 0;
    t.pfnGetIntDefault(&app, &preview, 1, "Show Preview");
    char output[260] = "";
    t.pfnGetString(&app, output, "Output Folder", sizeof output);
    std::printf("language: %s  preview: %d  output folder: %s\n", language, preview, output);

    VisitDevices(t, app);

    // 6. pfnCreateKey adds the key when missing. A counted array holds its
    //    count in element 0.
    tagRegHandle profile;
    if (t.pfnCreateKey("Profiles\\Quick", &profile, &app, KEY_WRITE) == 1) {
        int crop[] = {4, 0, 0, 2480, 3508};
        t.pfnSetString(&profile, "Gray 8-bit", "Color Mode");
        t.pfnSetIntArray(&profile, crop, "Crop", 0);
        std::printf("profile: %s\n", profile.szKey);
    }

    // 7. Save the handle's store; 1 only when the file ends with its marker line.
    if (t.pfnSave(&root, rootIni.c_str()) != 1) return Fail("cannot save ", rootIni.c_str());
    std::printf("saved root.ini\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MACHINE-STORE\n", argv[0]);
        return 2;
    }
    const UI_FunctionTable* t = UI_GetQorFunctionTable();
    t->pfnCreateLock();
    const int status = Run(*t, argv[1], argv[0]);
    t->pfnFreeStore();
    t->pfnCloseLock();
    return status;
}
