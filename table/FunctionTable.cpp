// UI_GetQorFunctionTable: the one process-wide table, refilled on every
// call. The Boolean slots hold the integer functions a second time.
#include "QorFunctionTable.h"
#include "table/Slots.h"

namespace {

void Fill(UI_FunctionTable& t) {
    using namespace qor::table;
    t.pfnOpenReadOnly = OpenReadOnly;
    t.pfnOpenReadWrite = OpenReadWrite;
    t.pfnCreateKey = CreateKey;
    t.pfnDeleteKey = DeleteKey;
    t.pfnDeleteKeyEx = DeleteKeyEx;
    t.pfnDeleteValue = DeleteValue;
    t.pfnGetInt = GetInt;
    t.pfnGetIntById = GetIntById;
    t.pfnGetIntDefault = GetIntDefault;
    t.pfnGetIntDefaultById = GetIntDefaultById;
    t.pfnGetIntRange = GetIntRange;
    t.pfnGetIntRangeById = GetIntRangeById;
    t.pfnGetDWord = GetDWord;
    t.pfnGetDWordById = GetDWordById;
    t.pfnGetDWordDefault = GetDWordDefault;
    t.pfnGetDWordDefaultById = GetDWordDefaultById;
    t.pfnGetDWordRange = GetDWordRange;
    t.pfnGetDWordRangeById = GetDWordRangeById;
    t.pfnGetBool = GetInt;
    t.pfnGetBoolById = GetIntById;
    t.pfnGetBoolDefault = GetIntDefault;
    t.pfnGetBoolDefaultById = GetIntDefaultById;
    t.pfnGetFloat = GetFloat;
    t.pfnGetFloatById = GetFloatById;
    t.pfnGetFloatDefault = GetFloatDefault;
    t.pfnGetFloatDefaultById = GetFloatDefaultById;
    t.pfnGetFloatRange = GetFloatRange;
    t.pfnGetFloatRangeById = GetFloatRangeById;
    t.pfnGetString = GetString;
    t.pfnGetStringById = GetStringById;
    t.pfnGetIntArray = GetIntArray;
    t.pfnGetDWordArray = GetDWordArray;
    t.pfnSetIntArray = SetIntArray;
    t.pfnSetDWordArray = SetDWordArray;
    t.pfnSetString = SetString;
    t.pfnSetStringById = SetStringById;
    t.pfnGetBinary = GetBinary;
    t.pfnSetBinary = SetBinary;
    t.pfnSetInt = SetInt;
    t.pfnSetIntById = SetIntById;
    t.pfnSetDWord = SetDWord;
    t.pfnSetDWordById = SetDWordById;
    t.pfnSetBool = SetInt;
    t.pfnSetBoolById = SetIntById;
    t.pfnOpen = Open;
    t.pfnInitHandle = InitHandle;
    t.pfnRegQueryInfoKeyA = RegQueryInfoKeyA;
    t.pfnRegEnumKeyExA = RegEnumKeyExA;
    t.pfnClose = Close;
    t.pfnFreeStore = FreeStore;
    t.pfnGetRegRoot = GetRegRoot;
    t.pfnLoad = Load;
    t.pfnGetRegRootBuffer = GetRegRootBuffer;
    t.pfnSave = Save;
    t.pfnAttachRegExt = AttachRegExt;
    t.pfnCreateLock = CreateLock;
    t.pfnCloseLock = CloseLock;
    t.pfnLock = Lock;
    t.pfnUnlock = Unlock;
    t.pfnGetSubKeyNumbers = GetSubKeyNumbers;
    t.pfnIsFileValid = IsFileValid;
}

}  // namespace

extern "C" QOR_API UI_FunctionTable* UI_GetQorFunctionTable(void) {
    static UI_FunctionTable table;
    Fill(table);
    return &table;
}
