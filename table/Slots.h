// The functions behind the 61 slots of UI_FunctionTable, grouped as the
// table groups them. Every slot is safe with null handles, texts and
// buffers: it then fails with its usual failure result.
#ifndef QOR_TABLE_SLOTS_H
#define QOR_TABLE_SLOTS_H

#include "QorFunctionTable.h"

namespace qor::table {

// ---- Keys (KeySlots.cpp)
// Open parent\sub (backslashes trimmed at both ends) when it exists; a
// failure clears out. The out handle may be the parent.
int OpenReadOnly(const char* sub, tagRegHandle* out, tagRegHandle* parent);
int OpenReadWrite(const char* sub, tagRegHandle* out, tagRegHandle* parent);
// Adds parent\sub when missing (never the empty path), then opens it;
// writable when access holds any bit of KEY_WRITE.
int CreateKey(const char* sub, tagRegHandle* out, tagRegHandle* parent, DWORD access);
// Removes handle\sub and its subtree on a writable handle.
void DeleteKey(tagRegHandle* h, const char* sub);
int DeleteKeyEx(tagRegHandle* h, const char* sub);
int DeleteValue(tagRegHandle* h, const char* name);
// Opens an existing key under HKEY_CURRENT_USER / HKEY_LOCAL_MACHINE (in the
// table store) or under a parent handle. 0 or ERROR_PATH_NOT_FOUND.
LONG Open(HKEY root, const char* sub, DWORD access, tagRegHandle* out);
void InitHandle(tagRegHandle* h);
LONG Close();

// ---- Store, root buffer and lock (StoreSlots.cpp, LockSlots.cpp)
int Load(tagRegHandle* h, const char* path);
int Save(tagRegHandle* h, const char* path);
int IsFileValid(tagRegHandle* h, const char* path);
void FreeStore();
int AttachRegExt(CRegExt* object, tagRegHandle* h);
char* GetRegRootBuffer(void* unused);
int CreateLock();
int CloseLock();
DWORD Lock();
int Unlock();

// ---- Values (ValueSlots.cpp)
int GetInt(tagRegHandle* h, int* out, const char* name);
int GetIntById(tagRegHandle* h, int* out, int id);
int GetIntDefault(tagRegHandle* h, int* out, int def, const char* name);
int GetIntDefaultById(tagRegHandle* h, int* out, int def, int id);
int GetIntRange(tagRegHandle* h, int* out, int min, int def, int max, const char* name);
int GetIntRangeById(tagRegHandle* h, int* out, int min, int def, int max, int id);
int GetDWord(tagRegHandle* h, DWORD* out, const char* name);
int GetDWordById(tagRegHandle* h, DWORD* out, int id);
int GetDWordDefault(tagRegHandle* h, DWORD* out, DWORD def, const char* name);
int GetDWordDefaultById(tagRegHandle* h, DWORD* out, DWORD def, int id);
int GetDWordRange(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, const char* name);
int GetDWordRangeById(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, int id);
int GetFloat(tagRegHandle* h, float* out, const char* name);
int GetFloatById(tagRegHandle* h, float* out, int id);
int GetFloatDefault(tagRegHandle* h, float* out, float def, const char* name);
int GetFloatDefaultById(tagRegHandle* h, float* out, float def, int id);
int GetFloatRange(tagRegHandle* h, float* out, float min, float def, float max, const char* name);
int GetFloatRangeById(tagRegHandle* h, float* out, float min, float def, float max, int id);
// A non-zero size is the buffer's capacity: a text that does not fit is not copied (0).
int GetString(tagRegHandle* h, char* buffer, const char* name, DWORD size);
int GetStringById(tagRegHandle* h, char* buffer, int id, DWORD size);
int GetIntArray(tagRegHandle* h, int* counted, const char* name, int offset);
int GetDWordArray(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset);
int SetIntArray(tagRegHandle* h, int* counted, const char* name, int offset);
int SetDWordArray(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset);
int SetString(tagRegHandle* h, const char* value, const char* name);
int SetStringById(tagRegHandle* h, const char* value, int id);
int GetBinary(tagRegHandle* h, BYTE* data, DWORD* size, const char* name);
int SetBinary(tagRegHandle* h, BYTE* data, DWORD count, const char* name);
int SetInt(tagRegHandle* h, int value, const char* name);
int SetIntById(tagRegHandle* h, int value, int id);
int SetDWord(tagRegHandle* h, DWORD value, const char* name);
int SetDWordById(tagRegHandle* h, DWORD value, int id);

// ---- Enumeration and root (EnumerationSlots.cpp, RootSlot.cpp)
LONG RegQueryInfoKeyA(tagRegHandle* h, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyLen,
                      DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen, DWORD* maxValueLen, DWORD* securityLen,
                      FILETIME* lastWrite);
LONG RegEnumKeyExA(tagRegHandle* key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                   DWORD* clsLen, FILETIME* lastWrite);
LONG GetSubKeyNumbers(tagRegHandle* h, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values);
char* GetRegRoot(WORD mode, const char* modulePath, char* keyBuffer);

}  // namespace qor::table

#endif
