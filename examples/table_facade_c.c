/* table_facade_c: the program of examples/table_facade.cpp in C99, for
   callers written in C. QorFunctionTable.h is all a C caller includes.

     table_facade_c MACHINE-STORE

   It finds the product folder whose root.ini names the program's own
   folder, loads that root.ini, reads settings with defaults and ranges,
   lists the scanners below Devices, writes a few values and saves. */
#include <stdio.h>
#include <string.h>

#include <QorFunctionTable.h>

/* What pfnGetRegRoot leaves in its key buffer when no product names the program. */
static const char kNoProduct[] = "Software\\Company\\Error";

static int fail(const char* what, const char* detail) {
    fprintf(stderr, "table_facade_c: %s%s\n", what, detail);
    return 1;
}

/* Reads one scanner's settings; counts the scan in the store. */
static void visit_device(const UI_FunctionTable* t, tagRegHandle* devices, const char* name) {
    tagRegHandle device;
    DWORD resolution = 0, scans = 0;
    float gamma = 0;
    if (t->pfnOpenReadWrite(name, &device, devices) != 1) return;
    /* Outside 75..1200 counts as missing: 300 is delivered and stored. */
    t->pfnGetDWordRange(&device, &resolution, 75, 300, 1200, "Resolution");
    t->pfnGetFloatDefault(&device, &gamma, 2.2f, "Gamma");
    t->pfnGetDWordDefault(&device, &scans, 0, "Scan Count");
    t->pfnSetDWord(&device, scans + 1, "Scan Count");
    printf("  %-10s %4u dpi  gamma %.2f  scans %u\n", name, (unsigned)resolution, (double)gamma, (unsigned)(scans + 1));
}

/* The sub-key list is one per process: hold the lock from the query to the
   last pfnRegEnumKeyExA. */
static void visit_devices(const UI_FunctionTable* t, tagRegHandle* app) {
    tagRegHandle devices;
    DWORD count = 0, longest = 0, i;
    char name[260];
    if (t->pfnOpenReadOnly("Devices", &devices, app) != 1) return;
    if (t->pfnRegQueryInfoKeyA(&devices, NULL, NULL, NULL, &count, &longest, NULL, NULL, NULL, NULL, NULL, NULL) !=
        ERROR_SUCCESS) {
        count = 0;
    }
    printf("devices: %u (longest name %u)\n", (unsigned)count, (unsigned)longest);
    for (i = 0; i < count; ++i) {
        t->pfnRegEnumKeyExA(&devices, i, name, NULL, NULL, NULL, NULL, NULL);
        visit_device(t, &devices, name);
    }
}

static int run(const UI_FunctionTable* t, const char* machine_store, const char* module_path) {
    tagRegHandle root, product, app, profile;
    char product_key[260] = "", root_ini[300], version[32] = "", language[32] = "", output[260] = "";
    int preview = 0;
    int crop[] = {4, 0, 0, 2480, 3508}; /* a counted array: element 0 is the count */

    /* 1. An empty handle, then the store that holds the lookup key. */
    t->pfnInitHandle(&root);
    if (t->pfnLoad(&root, machine_store) != 1) return fail("cannot load ", machine_store);

    /* 2. Which product folder names this program? Mode 0 matches the
          folder of the module's full path (argv[0] here). */
    t->pfnGetRegRoot(0, module_path, product_key);
    if (strcmp(product_key, kNoProduct) == 0) return fail("no product names ", module_path);
    if (snprintf(root_ini, sizeof root_ini, "%sroot.ini", t->pfnGetRegRootBuffer(NULL)) >= (int)sizeof root_ini) {
        return fail("product folder too long: ", t->pfnGetRegRootBuffer(NULL));
    }
    printf("product key: %s\nproduct folder: %s\n", product_key, t->pfnGetRegRootBuffer(NULL));

    /* 3. pfnSave writes every key: keep the lookup key out of the product's file. */
    t->pfnFreeStore();
    t->pfnInitHandle(&root);
    if (t->pfnLoad(&root, root_ini) != 1) return fail("cannot load ", root_ini);

    /* 4. Under a handle with an empty key, a sub-key is a full key path. */
    if (t->pfnOpenReadOnly(product_key, &product, &root) == 1 &&
        t->pfnGetString(&product, version, "Version", sizeof version) == 1) {
        printf("version: %s\n", version);
    }

    /* 5. The user's settings, open for writing. */
    t->pfnInitHandle(&app);
    if (t->pfnOpen(HKEY_CURRENT_USER, "Software\\Orvane Corp\\DocScan", KEY_ALL_ACCESS, &app) != ERROR_SUCCESS) {
        return fail("no settings key in ", root_ini);
    }
    t->pfnGetString(&app, language, "Language", sizeof language);
    t->pfnGetIntDefault(&app, &preview, 1, "Show Preview");
    t->pfnGetString(&app, output, "Output Folder", sizeof output);
    printf("language: %s  preview: %d  output folder: %s\n", language, preview, output);

    visit_devices(t, &app);

    /* 6. Add a key when it is missing, then write through it. */
    if (t->pfnCreateKey("Profiles\\Quick", &profile, &app, KEY_WRITE) == 1) {
        t->pfnSetString(&profile, "Gray 8-bit", "Color Mode");
        t->pfnSetIntArray(&profile, crop, "Crop", 0);
        printf("profile: %s\n", profile.szKey);
    }

    /* 7. Save; 1 only when the file ends with its marker line. */
    if (t->pfnSave(&root, root_ini) != 1) return fail("cannot save ", root_ini);
    printf("saved root.ini\n");
    return 0;
}

int main(int argc, char** argv) {
    const UI_FunctionTable* t = UI_GetQorFunctionTable();
    int status;
    if (argc != 2) {
        fprintf(stderr, "usage: %s MACHINE-STORE\n", argv[0]);
        return 2;
    }
    t->pfnCreateLock();
    t->pfnLock();
    status = run(t, argv[1], argv[0]);
    t->pfnFreeStore();
    t->pfnUnlock();
    t->pfnCloseLock();
    return status;
}
