/* A program built against an installed QorCommonLib, through the C table:
   prints the resolution a store file keeps for the FB-2400 scanner.
     consumer_c STORE-FILE */
#include <stdio.h>

#include <QorFunctionTable.h>

int main(int argc, char** argv) {
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    tagRegHandle root, device;
    DWORD resolution = 0;
    int found;
    if (argc != 2) return 2;
    t->pfnCreateLock();
    t->pfnLock();
    t->pfnInitHandle(&root);
    found = t->pfnLoad(&root, argv[1]) == 1 &&
            t->pfnOpen(HKEY_CURRENT_USER, "Software\\Orvane Corp\\DocScan\\Devices\\FB-2400", KEY_READ, &device) ==
                ERROR_SUCCESS &&
            t->pfnGetDWord(&device, &resolution, "Resolution") == 1;
    t->pfnFreeStore();
    t->pfnUnlock();
    t->pfnCloseLock();
    if (!found) return 1;
    printf("C table: resolution %u\n", (unsigned)resolution);
    return 0;
}
