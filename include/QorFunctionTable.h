/** @file
    The flat function table of QorCommonLib: 61 plain functions over
    caller-owned handle records (tagRegHandle) and the table's own
    process-wide store, lock, sub-key list and root path buffer.
    This header compiles as C99 as well as C++.

    Slots return 1 for success and 0 for failure, except the registry-shaped
    ones (pfnOpen, pfnRegQueryInfoKeyA, pfnRegEnumKeyExA, pfnClose,
    pfnGetSubKeyNumbers), which return ERROR_SUCCESS, ERROR_PATH_NOT_FOUND or
    ERROR_INVALID_DATA. Failures are results only: nothing is shown or logged.
    A value name given as an int id is formatted with "%d". Nothing here
    takes the lock but pfnFreeStore: callers bracket their work with pfnLock
    and pfnUnlock. */
#ifndef QOR_QORFUNCTIONTABLE_H
#define QOR_QORFUNCTIONTABLE_H

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

/** One open key of the flat interface, owned by the caller. No slot
    allocates or frees one; pfnInitHandle empties it. */
typedef struct tagRegHandle {
    char szKey[1040]; /**< Upper-case full key path; empty: no key (a parent for full paths). */
    CIniClass* pIni;  /**< The store this handle uses, or null. */
    int fWrite;       /**< 1: may write; anything else: read-only. */
} tagRegHandle;

/** The 61 slots, in the order callers index them. There is one table per
    process; UI_GetQorFunctionTable() fills it. Slots 18 to 21 hold the
    functions of slots 6 to 9, and slots 42 and 43 those of 38 and 39. */
typedef struct UI_FunctionTable {
    /* Keys (slots 0-5) */
    /** Opens the existing key parent\\sub read-only into out (backslashes trimmed at both ends, so
        under an empty parent key sub is a full path). 1 / 0; a failure clears out
        (a parent without a store leaves it untouched). */
    int (*pfnOpenReadOnly)(const char* sub, tagRegHandle* out, tagRegHandle* parent);
    /** As pfnOpenReadOnly, writable. */
    int (*pfnOpenReadWrite)(const char* sub, tagRegHandle* out, tagRegHandle* parent);
    /** Adds parent\\sub when missing, then opens it into out; writable when access holds any
        KEY_WRITE bit (KEY_READ included). 1 / 0. */
    int (*pfnCreateKey)(const char* sub, tagRegHandle* out, tagRegHandle* parent, DWORD access);
    /** Removes h's key\\sub and every key below it when h is writable; an empty sub removes h's own
        key. */
    void (*pfnDeleteKey)(tagRegHandle* h, const char* sub);
    /** As pfnDeleteKey: 1 when removed; 0 when read-only or missing. */
    int (*pfnDeleteKeyEx)(tagRegHandle* h, const char* sub);
    /** Removes one value of h's key: 1 when removed; 0 when read-only, the key is missing or there
        is no such value. */
    int (*pfnDeleteValue)(tagRegHandle* h, const char* name);
    /* Integers and unsigned values (slots 6-17) */
    /** Reads a value as a signed integer (atoi): 1 and *out set when found; 0 and *out unchanged
        when not. */
    int (*pfnGetInt)(tagRegHandle* h, int* out, const char* name);
    /** As pfnGetInt, by id. */
    int (*pfnGetIntById)(tagRegHandle* h, int* out, int id);
    /** As pfnGetInt; a missing value delivers def and, on a writable handle, stores it (1 when
        stored). A read-only handle gets def and 0. */
    int (*pfnGetIntDefault)(tagRegHandle* h, int* out, int def, const char* name);
    /** As pfnGetIntDefault, by id. */
    int (*pfnGetIntDefaultById)(tagRegHandle* h, int* out, int def, int id);
    /** As pfnGetIntDefault; a value outside min..max (inclusive, signed) also counts as missing and
        is replaced by def. */
    int (*pfnGetIntRange)(tagRegHandle* h, int* out, int min, int def, int max, const char* name);
    /** As pfnGetIntRange, by id. */
    int (*pfnGetIntRangeById)(tagRegHandle* h, int* out, int min, int def, int max, int id);
    /** Reads a value as an unsigned 32-bit number (strtoul, base 10): 1 and *out set when found; 0
        when not. */
    int (*pfnGetDWord)(tagRegHandle* h, DWORD* out, const char* name);
    /** As pfnGetDWord, by id. */
    int (*pfnGetDWordById)(tagRegHandle* h, DWORD* out, int id);
    /** As pfnGetIntDefault for an unsigned value (read by atol: -1 is 4294967295). */
    int (*pfnGetDWordDefault)(tagRegHandle* h, DWORD* out, DWORD def, const char* name);
    /** As pfnGetDWordDefault, by id. */
    int (*pfnGetDWordDefaultById)(tagRegHandle* h, DWORD* out, DWORD def, int id);
    /** As pfnGetDWordDefault; a value outside min..max (inclusive, unsigned) counts as missing. */
    int (*pfnGetDWordRange)(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, const char* name);
    /** As pfnGetDWordRange, by id. */
    int (*pfnGetDWordRangeById)(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, int id);
    /* Booleans: the integer getters again (slots 18-21) */
    /** The function of pfnGetInt; the value is not reduced to 0 or 1. */
    int (*pfnGetBool)(tagRegHandle* h, int* out, const char* name);
    /** The function of pfnGetIntById. */
    int (*pfnGetBoolById)(tagRegHandle* h, int* out, int id);
    /** The function of pfnGetIntDefault. */
    int (*pfnGetBoolDefault)(tagRegHandle* h, int* out, int def, const char* name);
    /** The function of pfnGetIntDefaultById. */
    int (*pfnGetBoolDefaultById)(tagRegHandle* h, int* out, int def, int id);
    /* Floats (slots 22-27) */
    /** Reads a value with "%f": 1 and *out set; 0 and *out unchanged when missing or unreadable. */
    int (*pfnGetFloat)(tagRegHandle* h, float* out, const char* name);
    /** As pfnGetFloat, by id. */
    int (*pfnGetFloatById)(tagRegHandle* h, float* out, int id);
    /** As pfnGetFloat; a missing value delivers def and, on a writable handle, stores it with six
        decimals (1 when stored). A found but unreadable value gives 0 and no default. */
    int (*pfnGetFloatDefault)(tagRegHandle* h, float* out, float def, const char* name);
    /** As pfnGetFloatDefault, by id. */
    int (*pfnGetFloatDefaultById)(tagRegHandle* h, float* out, float def, int id);
    /** As pfnGetFloatDefault; a value outside min..max (inclusive; a NaN passes) counts as missing.
        As pfnGetFloatDefault; a value outside min..max (inclusive; a NaN passes) counts as missing. */
    int (*pfnGetFloatRange)(tagRegHandle* h, float* out, float min, float def, float max, const char* name);
    /** As pfnGetFloatRange, by id. */
    int (*pfnGetFloatRangeById)(tagRegHandle* h, float* out, float min, float def, float max, int id);
    /* Strings, lists and bytes (slots 28-37) */
    /** Copies the value's text and terminator into buffer: 1; 0 (buffer untouched) when missing. A
        non-zero size is the buffer's capacity: a text that does not fit is not copied and the
        result is 0. */
    int (*pfnGetString)(tagRegHandle* h, char* buffer, const char* name, DWORD size);
    /** As pfnGetString, by id. */
    int (*pfnGetStringById)(tagRegHandle* h, char* buffer, int id, DWORD size);
    /** Reads a list into a counted array: element 0 the item count, then each item (atoi) plus
        offset; an empty item leaves its element alone. 0 (array unchanged) when missing. The caller
        sizes the array. */
    int (*pfnGetIntArray)(tagRegHandle* h, int* counted, const char* name, int offset);
    /** As pfnGetIntArray for unsigned items (atol). */
    int (*pfnGetDWordArray)(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset);
    /** Writes items 1 to counted[0] of a counted array, each plus offset, as a list. 1 / 0. */
    int (*pfnSetIntArray)(tagRegHandle* h, int* counted, const char* name, int offset);
    /** As pfnSetIntArray for unsigned items. */
    int (*pfnSetDWordArray)(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset);
    /** Writes a string value, replacing a value of any type. 1; 0 when read-only, without a store
        or with an empty key. */
    int (*pfnSetString)(tagRegHandle* h, const char* value, const char* name);
    /** As pfnSetString, by id. */
    int (*pfnSetStringById)(tagRegHandle* h, const char* value, int id);
    /** Writes one byte per stored piece into data: 1; 0 (data untouched) when missing. size is
        neither read nor written; the caller sizes data. */
    int (*pfnGetBinary)(tagRegHandle* h, BYTE* data, DWORD* size, const char* name);
    /** Stores the low-order byte of each of count 32-bit elements of data (every byte, 0xCC too). 1
        / 0. */
    int (*pfnSetBinary)(tagRegHandle* h, BYTE* data, DWORD count, const char* name);
    /* Setters (slots 38-43) */
    /** Writes a signed integer. 1 / 0 (read-only handle, no store, empty key). */
    int (*pfnSetInt)(tagRegHandle* h, int value, const char* name);
    /** As pfnSetInt, by id. */
    int (*pfnSetIntById)(tagRegHandle* h, int value, int id);
    /** Writes an unsigned 32-bit number. 1 / 0. */
    int (*pfnSetDWord)(tagRegHandle* h, DWORD value, const char* name);
    /** As pfnSetDWord, by id. */
    int (*pfnSetDWordById)(tagRegHandle* h, DWORD value, int id);
    /** The function of pfnSetInt. */
    int (*pfnSetBool)(tagRegHandle* h, int value, const char* name);
    /** The function of pfnSetIntById. */
    int (*pfnSetBoolById)(tagRegHandle* h, int value, int id);
    /* Handles, enumeration, store and lock (slots 44-60) */
    /** Opens an existing key under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE (in the table store) or
        under a parent handle; writable when access holds all of KEY_WRITE. ERROR_SUCCESS or
        ERROR_PATH_NOT_FOUND; never creates a key. */
    LONG (*pfnOpen)(HKEY root, const char* sub, DWORD access, tagRegHandle* out);
    /** Empties a handle: no key, no store, read-only. */
    void (*pfnInitHandle)(tagRegHandle* h);
    /** Lists the keys directly below h's key, sorted, into the table's one sub-key list (replacing
        it) and reports their count and the longest name's length. ERROR_SUCCESS;
        ERROR_PATH_NOT_FOUND when nothing is at or below the key; ERROR_INVALID_DATA when nothing is
        below it. Only h, subKeys and maxSubKeyLen are used. */
    /* Laid out by hand: clang-format 14 lays these two long members out differently each run. */
    /* clang-format off */
    LONG (*pfnRegQueryInfoKeyA)(tagRegHandle* h, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                                DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                                DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite);
    /* clang-format on */
    /** Copies the name at index of the sub-key list into name, or the empty text past its end.
        Always ERROR_SUCCESS; only index and name are used. */
    /* clang-format off */
    LONG (*pfnRegEnumKeyExA)(tagRegHandle* key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                             DWORD* clsLen, FILETIME* lastWrite);
    /* clang-format on */
    /** Does nothing and returns ERROR_SUCCESS: handles need no closing. */
    LONG (*pfnClose)(void);
    /** Destroys the table store, under the lock. A store shared with CRegExt is gone for CRegExt
        too; handles that point at it must not be used again. */
    void (*pfnFreeStore)(void);
    /** Finds the product folder whose root.ini names the module, as CRegExt::GetRegRoot does, in
        the table store; the folder goes to the root path buffer. Returns keyBuffer. */
    char* (*pfnGetRegRoot)(WORD mode, const char* modulePath, char* keyBuffer);
    /** Loads a store file into the table store (created on first use) and attaches h to it; h's key
        and write flag are untouched. 1 / 0; on 0 the store is as it was. */
    int (*pfnLoad)(tagRegHandle* h, const char* path);
    /** The 260-byte root path buffer that pfnGetRegRoot fills; the argument is not read. */
    char* (*pfnGetRegRootBuffer)(void* unused);
    /** Writes h's whole store to the file, machine keys included, replacing the file only once the
        new one is complete. 1 when written and ending with its marker line. */
    int (*pfnSave)(tagRegHandle* h, const char* path);
    /** Makes the table store and h's store the store of CRegExt; h takes object's key and write
        flag when that key is a path, else an empty key, read-only. Always 1. */
    int (*pfnAttachRegExt)(CRegExt* object, tagRegHandle* h);
    /** Creates the table's lock (recursive, private to the process) unless it exists. Always 1. */
    int (*pfnCreateLock)(void);
    /** Closes the lock: nonzero on success; 0 when there is none. */
    int (*pfnCloseLock)(void);
    /** Takes the lock, waiting without a time limit: the wait result, 0 when taken. 0 at once when
        there is no lock. */
    DWORD (*pfnLock)(void);
    /** Releases one take of the lock: nonzero on success; 0 when there is no lock or the thread
        does not hold it. */
    int (*pfnUnlock)(void);
    /** The names of the keys directly below h's key, in text order, read as numbers (atol) into
        values, one per name; results as pfnRegQueryInfoKeyA. The sub-key list is untouched. */
    LONG (*pfnGetSubKeyNumbers)(tagRegHandle* h, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values);
    /** 1 when the file ends with the store file's marker line, else 0. */
    int (*pfnIsFileValid)(tagRegHandle* h, const char* path);
} UI_FunctionTable;

/** Fills the process-wide table and returns its address (the same every call). */
QOR_API UI_FunctionTable* UI_GetQorFunctionTable(void);

#ifdef __cplusplus
}
#endif

#endif
