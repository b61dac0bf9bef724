/* Uses the function table from C: writes a store file, loads it, opens a
   key, reads and writes values, enumerates sub-keys, saves, frees and loads
   the saved file back. Prints "N passed, M failed"; exits non-zero on any
   failure. Argument: a folder for the files it writes. */
#include <stdio.h>
#include <string.h>

#include <QorFunctionTable.h>

static int passed = 0;
static int failed = 0;

static void check(int ok, const char* what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        printf("FAILED: %s\n", what);
    }
}

static int write_store_file(const char* path) {
    FILE* f = fopen(path, "wb");
    if (f == NULL) return 0;
    fputs("REGEDIT4\r\n"
          "[HKEY_CURRENT_USER\\SOFTWARE\\QOR\\C]\r\n"
          "\"NAME\"=\"c99\"\r\n"
          "[HKEY_CURRENT_USER\\SOFTWARE\\QOR\\C\\B]\r\n"
          "\"X\"=dword:00000001\r\n"
          "[HKEY_CURRENT_USER\\SOFTWARE\\QOR\\C\\A]\r\n"
          "\"X\"=dword:00000002\r\n"
          "[CINICHECKFILEVALID]\r\n",
          f);
    return fclose(f) == 0;
}

/* Loads the store, changes it through a key handle, saves it to saved. */
static void change_and_save(UI_FunctionTable* t, const char* path, const char* saved) {
    tagRegHandle root, key;
    char text[16];
    char name[16];
    int number = 0;
    DWORD count = 0, longest = 0;

    t->pfnInitHandle(&root);
    check(t->pfnLoad(&root, path) == 1, "pfnLoad of the written file");
    check(t->pfnOpen(HKEY_CURRENT_USER, "Software\\Qor\\C", KEY_ALL_ACCESS, &key) == ERROR_SUCCESS,
          "pfnOpen of an existing key");
    check(strcmp(key.szKey, "HKEY_CURRENT_USER\\SOFTWARE\\QOR\\C") == 0, "the opened key is upper-cased");
    check(t->pfnGetString(&key, text, "name", sizeof text) == 1 && strcmp(text, "c99") == 0,
          "pfnGetString reads the stored text");
    check(t->pfnSetInt(&key, 42, "ANSWER") == 1, "pfnSetInt on a writable key");
    check(t->pfnGetBool(&key, &number, "ANSWER") == 1 && number == 42, "pfnGetBool reads the integer back");
    check(t->pfnRegQueryInfoKeyA(&key, NULL, NULL, NULL, &count, &longest, NULL, NULL, NULL, NULL, NULL,
                                 NULL) == ERROR_SUCCESS && count == 2 && longest == 1,
          "pfnRegQueryInfoKeyA counts two sub-keys");
    t->pfnRegEnumKeyExA(&key, 0, name, NULL, NULL, NULL, NULL, NULL);
    check(strcmp(name, "A") == 0, "pfnRegEnumKeyExA gives the sorted first name");
    check(t->pfnSave(&root, saved) == 1, "pfnSave writes a valid file");
}

int main(int argc, char** argv) {
    char path[1024], saved[1024];
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    tagRegHandle root, key;
    int number = 0;

    if (argc < 2) {
        printf("usage: table_c_test FOLDER\n");
        return 2;
    }
    snprintf(path, sizeof path, "%s/table_c_test.ini", argv[1]);
    snprintf(saved, sizeof saved, "%s/table_c_test_saved.ini", argv[1]);
    check(t != NULL && t == UI_GetQorFunctionTable(), "one table at one address");
    check(write_store_file(path), "the store file is written");
    check(t->pfnCreateLock() == 1 && t->pfnLock() == 0, "the lock is created and taken");

    change_and_save(t, path, saved);
    t->pfnFreeStore();
    check(t->pfnIsFileValid(NULL, saved) == 1, "pfnIsFileValid without a store");

    t->pfnInitHandle(&root);
    check(t->pfnLoad(&root, saved) == 1, "the saved file loads into a new store");
    check(t->pfnOpenReadOnly("HKEY_CURRENT_USER\\SOFTWARE\\QOR\\C", &key, &root) == 1 &&
              t->pfnGetInt(&key, &number, "ANSWER") == 1 && number == 42,
          "the saved value comes back");
    check(t->pfnSetInt(&key, 1, "ANSWER") == 0, "a read-only handle refuses writes");
    t->pfnFreeStore();
    check(t->pfnUnlock() != 0 && t->pfnCloseLock() != 0, "the lock is released and closed");

    remove(path);
    remove(saved);
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
