/* The flat function table of QorCommonLib: 61 plain functions over
   caller-owned handle records (tagRegHandle) and the table's own
   process-wide store, lock, sub-key list and root path buffer.
   This header compiles as C99 as well as C++. */
#ifndef QOR_FUNCTION_TABLE_H
#define QOR_FUNCTION_TABLE_H

#include "QorExport.h"
#include "QorWinTypes.h"

#ifdef __cplusplus
class CIniClass;
class CRegExt;
extern "C" {
#else
typedef struct CIniClass CIniClass;
typedef struct CRegExt CRegExt;
#endif

/* One open key of the flat interface, owned by the caller. */
typedef struct tagRegHandle {
    char szKey[1040];  /* upper-case full key path; empty: no key */
    CIniClass* pIni;   /* the store this handle uses, or null */
    int fWrite;        /* 1: may write */
} tagRegHandle;

typedef struct UI_FunctionTable {
    /* Keys (slots 0-5) */
    int (*pfnOpenReadOnly)(const char* sub, tagRegHandle* out, tagRegHandle* parent);
    int (*pfnOpenReadWrite)(const char* sub, tagRegHandle* out, tagRegHandle* parent);
    int (*pfnCreateKey)(const char* sub, tagRegHandle* out, tagRegHandle* parent, DWORD access);
    void (*pfnDeleteKey)(tagRegHandle* h, const char* sub);
    int (*pfnDeleteKeyEx)(tagRegHandle* h, const char* sub);
    int (*pfnDeleteValue)(tagRegHandle* h, const char* name);
    /* Integers and unsigned values (slots 6-17) */
    int (*pfnGetInt)(tagRegHandle* h, int* out, const char* name);
    int (*pfnGetIntById)(tagRegHandle* h, int* out, int id);
    int (*pfnGetIntDefault)(tagRegHandle* h, int* out, int def, const char* name);
    int (*pfnGetIntDefaultById)(tagRegHandle* h, int* out, int def, int id);
    int (*pfnGetIntRange)(tagRegHandle* h, int* out, int min, int def, int max, const char* name);
    int (*pfnGetIntRangeById)(tagRegHandle* h, int* out, int min, int def, int max, int id);
    int (*pfnGetDWord)(tagRegHandle* h, DWORD* out, const char* name);
    int (*pfnGetDWordById)(tagRegHandle* h, DWORD* out, int id);
    int (*pfnGetDWordDefault)(tagRegHandle* h, DWORD* out, DWORD def, const char* name);
    int (*pfnGetDWordDefaultById)(tagRegHandle* h, DWORD* out, DWORD def, int id);
    int (*pfnGetDWordRange)(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, const char* name);
    int (*pfnGetDWordRangeById)(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, int id);
    /* Booleans: the integer getters again (slots 18-21) */
    int (*pfnGetBool)(tagRegHandle* h, int* out, const char* name);
    int (*pfnGetBoolById)(tagRegHandle* h, int* out, int id);
    int (*pfnGetBoolDefault)(tagRegHandle* h, int* out, int def, const char* name);
    int (*pfnGetBoolDefaultById)(tagRegHandle* h, int* out, int def, int id);
    /* Floats (slots 22-27) */
    int (*pfnGetFloat)(tagRegHandle* h, float* out, const char* name);
    int (*pfnGetFloatById)(tagRegHandle* h, float* out, int id);
    int (*pfnGetFloatDefault)(tagRegHandle* h, float* out, float def, const char* name);
    int (*pfnGetFloatDefaultById)(tagRegHandle* h, float* out, float def, int id);
    int (*pfnGetFloatRange)(tagRegHandle* h, float* out, float min, float def, float max, const char* name);
    int (*pfnGetFloatRangeById)(tagRegHandle* h, float* out, float min, float def, float max, int id);
    /* Strings, lists and bytes (slots 28-37) */
    int (*pfnGetString)(tagRegHandle* h, char* buffer, const char* name, DWORD size);
    int (*pfnGetStringById)(tagRegHandle* h, char* buffer, int id, DWORD size);
    int (*pfnGetIntArray)(tagRegHandle* h, int* counted, const char* name, int offset);
    int (*pfnGetDWordArray)(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset);
    int (*pfnSetIntArray)(tagRegHandle* h, int* counted, const char* name, int offset);
    int (*pfnSetDWordArray)(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset);
    int (*pfnSetString)(tagRegHandle* h, const char* value, const char* name);
    int (*pfnSetStringById)(tagRegHandle* h, const char* value, int id);
    int (*pfnGetBinary)(tagRegHandle* h, BYTE* data, DWORD* size, const char* name);
    int (*pfnSetBinary)(tagRegHandle* h, BYTE* data, DWORD count, const char* name);
    /* Setters (slots 38-43) */
    int (*pfnSetInt)(tagRegHandle* h, int value, const char* name);
    int (*pfnSetIntById)(tagRegHandle* h, int value, int id);
    int (*pfnSetDWord)(tagRegHandle* h, DWORD value, const char* name);
    int (*pfnSetDWordById)(tagRegHandle* h, DWORD value, int id);
    int (*pfnSetBool)(tagRegHandle* h, int value, const char* name);
    int (*pfnSetBoolById)(tagRegHandle* h, int value, int id);
    /* Handles, enumeration, store and lock (slots 44-60) */
    LONG (*pfnOpen)(HKEY root, const char* sub, DWORD access, tagRegHandle* out);
    void (*pfnInitHandle)(tagRegHandle* h);
    LONG (*pfnRegQueryInfoKeyA)(tagRegHandle* h, char* cls, DWORD* clsLen, DWORD* reserved,
                                DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* maxClassLen,
                                DWORD* values, DWORD* maxValueNameLen, DWORD* maxValueLen,
                                DWORD* securityLen, FILETIME* lastWrite);
    LONG (*pfnRegEnumKeyExA)(tagRegHandle* key, DWORD index, char* name, DWORD* nameLen,
                             DWORD* reserved, char* cls, DWORD* clsLen, FILETIME* lastWrite);
    LONG (*pfnClose)(void);
    void (*pfnFreeStore)(void);
    char* (*pfnGetRegRoot)(WORD mode, const char* modulePath, char* keyBuffer);
    int (*pfnLoad)(tagRegHandle* h, const char* path);
    char* (*pfnGetRegRootBuffer)(void* unused);
    int (*pfnSave)(tagRegHandle* h, const char* path);
    int (*pfnAttachRegExt)(CRegExt* object, tagRegHandle* h);
    int (*pfnCreateLock)(void);
    int (*pfnCloseLock)(void);
    DWORD (*pfnLock)(void);
    int (*pfnUnlock)(void);
    LONG (*pfnGetSubKeyNumbers)(tagRegHandle* h, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values);
    int (*pfnIsFileValid)(tagRegHandle* h, const char* path);
} UI_FunctionTable;

/* Fills the process-wide table and returns its address (the same every call). */
QOR_API UI_FunctionTable* UI_GetQorFunctionTable(void);

#ifdef __cplusplus
}
#endif

#endif
