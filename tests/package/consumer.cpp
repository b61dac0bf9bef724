// A program built against an installed QorCommonLib, through CRegExt:
// prints the resolution a store file keeps for the FB-2400 scanner.
//   consumer_cxx STORE-FILE
#include <QorCommonLib.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2 || CRegExt::Load(argv[1]) != 1) return 2;
    CRegExt device;
    DWORD resolution = 0;
    const bool found =
        device.Open(HKEY_CURRENT_USER, "Software\\Orvane Corp\\DocScan\\Devices\\FB-2400", KEY_READ) == ERROR_SUCCESS &&
        device.GetDWord(resolution, "Resolution") == 1;
    CRegExt().Delete();
    if (!found) return 1;
    std::printf("CRegExt: resolution %u\n", static_cast<unsigned>(resolution));
    return 0;
}
