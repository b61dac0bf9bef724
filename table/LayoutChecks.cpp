// Compile-time checks of the layouts that callers compiled elsewhere rely
// on: the handle record they allocate and the slot positions of the table
// they index. A build whose layout drifts fails here instead of corrupting
// a caller's memory at run time. The exact figures are those of the 32-bit
// programs that use the library; the pointer-relative forms hold on every
// width.
#include <cstddef>

#include "QorFunctionTable.h"
#include "core/KeyRules.h"

namespace {

constexpr std::size_t kPointer = sizeof(void*);
constexpr bool kIs32Bit = kPointer == 4;

// tagRegHandle: szKey[1040], then the store pointer, then the write flag.
static_assert(offsetof(tagRegHandle, szKey) == 0);
static_assert(sizeof(tagRegHandle::szKey) == qor::core::kKeyFieldSize, "szKey holds the key paths the core checks");
static_assert(offsetof(tagRegHandle, pIni) == 1040);
static_assert(offsetof(tagRegHandle, fWrite) == 1040 + kPointer);
static_assert(sizeof(tagRegHandle) == 1040 + 2 * kPointer);
static_assert(!kIs32Bit || sizeof(tagRegHandle) == 1048);
static_assert(!kIs32Bit || offsetof(tagRegHandle, fWrite) == 1044);
static_assert(sizeof(int) == 4, "fWrite is a 32-bit flag");

// UI_FunctionTable: 61 pointers and nothing else, on every width.
static_assert(sizeof(UI_FunctionTable) == 61 * kPointer);

// Slot numbers callers index by: the first and last slot of every group,
// so a slot moved within the table or into another group is caught.
#define QOR_SLOT_AT(name, slot) static_assert(offsetof(UI_FunctionTable, name) == (slot)*kPointer, #name)
QOR_SLOT_AT(pfnOpenReadOnly, 0);
QOR_SLOT_AT(pfnDeleteValue, 5);
QOR_SLOT_AT(pfnGetInt, 6);
QOR_SLOT_AT(pfnGetDWordRangeById, 17);
QOR_SLOT_AT(pfnGetBool, 18);
QOR_SLOT_AT(pfnGetBoolDefaultById, 21);
QOR_SLOT_AT(pfnGetFloat, 22);
QOR_SLOT_AT(pfnGetFloatRangeById, 27);
QOR_SLOT_AT(pfnGetString, 28);
QOR_SLOT_AT(pfnSetBinary, 37);
QOR_SLOT_AT(pfnSetInt, 38);
QOR_SLOT_AT(pfnSetBoolById, 43);
QOR_SLOT_AT(pfnOpen, 44);
QOR_SLOT_AT(pfnGetRegRoot, 50);
QOR_SLOT_AT(pfnAttachRegExt, 54);
QOR_SLOT_AT(pfnLock, 57);
QOR_SLOT_AT(pfnIsFileValid, 60);
#undef QOR_SLOT_AT

}  // namespace
