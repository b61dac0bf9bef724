/* Uses the function table from C through the shared library: writes a
   store file, loads it, opens a key, reads and writes, saves, and loads
   the saved file back. Prints "N passed, M failed"; exits
   non-zero on any failure. Argument: a folder for the files it writes. */
#include <stdio.h>
#include <string.h>

#include <QorFunctionTable.h>

static int passed = 0, failed = 0;

static void check(int ok, const char* what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        printf("FAILED: %s\n", what);
    }
}

int main(int argc, char** argv) {
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    char path[1024], saved[1024], text[16];
    tagRegHandle root, key;
    int number = 0;
    FILE* f;

    if (argc < 2) return 2;
    snprintf(path, sizeof path, "%s/table_c_test.ini", argv[1]);
    snprintf(saved, sizeof saved, "%s/table_c_test_saved.ini", argv[1]);
    f = fopen(path, "wb");
    check(f != NULL, "the store file opens for writing");
    if (f == NULL) return 1;
    fputs("REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\QOR]\r\n\"NAME\"=\"c99\"\r\n[CINICHECKFILEVALID]\r\n", f);
    fclose(f);

    t->pfnGetInt = NULL;
    check(t == UI_GetQorFunctionTable() && t->pfnGetBool == t->pfnGetInt && t->pfnSetBoolById == t->pfnSetIntById,
          "one table, refilled on each call, its Boolean slots the integer functions");
    t->pfnInitHandle(&root);
    check(t->pfnLoad(&root, path) == 1, "pfnLoad");
    check(t->pfnOpen(HKEY_CURRENT_USER, "Software\\Qor", KEY_ALL_ACCESS, &key) == ERROR_SUCCESS &&
              strcmp(key.szKey, "HKEY_CURRENT_USER\\SOFTWARE\\QOR") == 0,
          "pfnOpen upper-cases the key");
    check(t->pfnGetString(&key, text, "name", sizeof text) == 1 && strcmp(text, "c99") == 0, "pfnGetString");
    check(t->pfnSetInt(&key, 42, "ANSWER") == 1, "pfnSetInt");
    check(t->pfnSave(&root, saved) == 1, "pfnSave");
    t->pfnFreeStore();

    t->pfnInitHandle(&root);
    check(t->pfnLoad(&root, saved) == 1 && t->pfnOpenReadOnly("HKEY_CURRENT_USER\\SOFTWARE\\QOR", &key, &root) == 1,
          "the saved file loads and opens");
    check(t->pfnGetBool(&key, &number, "ANSWER") == 1 && number == 42, "the saved value comes back");
    t->pfnFreeStore();

    remove(path);
    remove(saved);
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
