/// @file
/// CRegExt: key handles over the process-wide key store, in the vocabulary
/// of the Windows registry.
#ifndef QOR_CREGEXT_H
#define QOR_CREGEXT_H

#include <vector>

#include "CIniClass.h"
#include "QorCompat.h"
#include "QorExport.h"
#include "QorWinTypes.h"

/// One name of a key's sub-key list.
struct SubKeyNode {
    /// The sub-key name, at most 259 characters.
    char szName[260];
    /// 0-based position in the list.
    DWORD dwIndex;
    /// The next node; null at the tail.
    SubKeyNode* pNext;
    /// The previous node; null at the head.
    SubKeyNode* pPrev;
};

/// The names gathered by RegQueryInfoKeyA for RegEnumKeyExA, in order.
/// Owned by its CRegExt; only Close and Delete empty it.
struct SubKeyList {
    /// Number of nodes; also the index the next appended name receives.
    int nCount;
    /// The first node; null when the list is empty.
    SubKeyNode* pHead;
    /// The node last appended or last found by index.
    SubKeyNode* pCurrent;
    /// The library's work pointer for appending.
    SubKeyNode* pWalk;
};

/// A key handle over the process-wide key store CRegExt::m_pIni.
///
/// An object names at most one key by its upper-case full path (szKey) and
/// carries the right to write through it (m_fWrite exactly 1). Every object
/// shares the one store; no object owns it. Results are 1 / 0, except the
/// registry-shaped calls (Open, OpenW, Close, RegQueryInfoKeyA,
/// RegEnumKeyExA), which return ERROR_SUCCESS, ERROR_PATH_NOT_FOUND or
/// ERROR_INVALID_DATA. Failures are results only; the wide (W) members
/// throw when a text cannot be converted. CRegExt takes no lock: callers
/// that share objects or the store between threads serialise the calls.
class QOR_API CRegExt {
public:
    /// Upper-case full path of the key the object names; empty when none.
    char szKey[1040];
    /// 1: values and keys may be written and removed through the object.
    int m_fWrite;
    /// 1: szKey names a key (set by a successful open, create or attach).
    int m_fOpen;
    /// Names gathered by RegQueryInfoKeyA, handed out by RegEnumKeyExA.
    SubKeyList m_SubKeyList;

    /// The process-wide store every object uses; null until Load or SetObject.
    static CIniClass* m_pIni;
    /// The product folder GetRegRoot found, with a trailing separator.
    static char m_pSysPath[260];
    /// The path SetLogPath stored; nothing in the library reads it.
    static char m_pPath[260];

    // ---- Construction and copying ----------------------------------------
    /// Closed: empty szKey, flags 0, empty sub-key list. The store is not touched.
    CRegExt();
    /// Deep copies: the copy owns its own sub-key nodes.
    ///@{
    CRegExt(const CRegExt& other);
    CRegExt& operator=(const CRegExt& other);
    ///@}

    // ---- The virtual operations, in their slot order ----------------------
    /// Releases the sub-key list; the store is not touched.
    virtual ~CRegExt();
    /// Removes one value of the object's key. 1 when removed; 0 when read-only,
    /// the key is missing, or there is no such value.
    virtual LONG DeleteValue(const char* name);
    /// Open under a parent object: the same as Open((HKEY)&parent, sub, mask).
    ///@{
    virtual LONG Open(CRegExt parent, const char* sub, DWORD mask);
    virtual LONG Open(CRegExt* parent, const char* sub, DWORD mask);
    ///@}
    /// Opens an existing key under HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or a
    /// parent handle; writable when mask holds all of KEY_WRITE (0x20006).
    /// Under a root, trailing backslashes of sub are dropped.
    /// Returns ERROR_SUCCESS (0) or ERROR_PATH_NOT_FOUND (3).
    virtual LONG Open(HKEY root, const char* sub, DWORD mask);
    /// Converts sub to 8-bit text (throws on failure), then Open.
    virtual LONG OpenW(HKEY root, const wchar_t* sub, DWORD mask);
    /// Destroys the process-wide store (every object loses it), then detaches
    /// this object and clears its sub-key list.
    virtual void Delete();
    /// The process-wide store, or null.
    virtual CIniClass* GetObjectA();
    /// Makes p the process-wide store; the store it replaces is left alone.
    virtual void SetObject(CIniClass* p);
    /// Counts the direct sub-keys of a key, appends their sorted names to this
    /// object's sub-key list and reports the count and the longest name length.
    /// Returns 0, 3 (nothing at or below the key) or 13 (no key below it).
    /// Only key, subKeys and maxSubKeyLen are used. The list is not emptied
    /// first: Close the object before querying another key.
    ///@{
    virtual LONG RegQueryInfoKeyA(CRegExt* key, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                                  DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                                  DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite);
    virtual LONG RegQueryInfoKeyA(CRegExt key, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                                  DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                                  DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite);
    virtual LONG RegQueryInfoKeyA(HKEY key, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                                  DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                                  DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite);
    virtual LONG RegQueryInfoKeyA(const char* keyPath, char* cls, DWORD* clsLen, DWORD* reserved, DWORD* subKeys,
                                  DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values, DWORD* maxValueNameLen,
                                  DWORD* maxValueLen, DWORD* securityLen, FILETIME* lastWrite);
    ///@}
    /// Copies the name at index of this object's sub-key list into name
    /// (260 bytes), or the empty text when there is none. Always 0.
    ///@{
    virtual LONG RegEnumKeyExA(CRegExt* key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                               DWORD* clsLen, FILETIME* lastWrite);
    virtual LONG RegEnumKeyExA(CRegExt key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                               DWORD* clsLen, FILETIME* lastWrite);
    virtual LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* reserved, char* cls,
                               DWORD* clsLen, FILETIME* lastWrite);
    ///@}

    // ---- Store pointer and flags ------------------------------------------
    /// 1 when a process-wide store is attached, else 0.
    static int IsIniExisted();
    /// With a store: *pp = the store, 1. Without: 0, *pp untouched.
    static int GetIniStruct(CIniClass** pp);
    /// Returns m_fWrite.
    int GetStructWriteble();

    // ---- Opening, creating, attaching, closing ----------------------------
    /// Open an existing key read-only. The sub-key may itself be a full key
    /// path. The parent is an open CRegExt or key path text. 1 / 0.
    ///@{
    int OpenReadOnly(const char* sub, HKEY parent);
    int OpenReadOnly(const char* sub, const char* parent);
    int OpenReadOnly(const char* sub, CRegExt* parent);
    int OpenReadOnly(const char* sub, CRegExt parent);
    int OpenReadOnly(int sub, HKEY parent);
    int OpenReadOnly(int sub, const char* parent);
    int OpenReadOnly(int sub, CRegExt* parent);
    int OpenReadOnly(int sub, CRegExt parent);
    ///@}
    /// As OpenReadOnly, then m_fWrite = 1 whether or not it succeeded.
    ///@{
    int OpenReadWrite(const char* sub, HKEY parent);
    int OpenReadWrite(const char* sub, const char* parent);
    int OpenReadWrite(const char* sub, CRegExt* parent);
    int OpenReadWrite(const char* sub, CRegExt parent);
    int OpenReadWrite(int sub, HKEY parent);
    int OpenReadWrite(int sub, const char* parent);
    int OpenReadWrite(int sub, CRegExt* parent);
    int OpenReadWrite(int sub, CRegExt parent);
    ///@}
    /// Adds `parent\sub` when missing, then opens it; writable when the mask
    /// holds any bit of 0x20006. Nothing is added when the parent names no key.
    ///@{
    int CreateKey(const char* sub, HKEY parent, DWORD mask);
    int CreateKey(const char* sub, CRegExt* parent, DWORD mask);
    int CreateKey(const char* sub, CRegExt parent, DWORD mask);
    int CreateKey(const char* sub, const char* parent, DWORD mask);
    int CreateKey(int sub, HKEY parent, DWORD mask);
    int CreateKey(int sub, CRegExt* parent, DWORD mask);
    int CreateKey(int sub, CRegExt parent, DWORD mask);
    int CreateKey(int sub, const char* parent, DWORD mask);
    ///@}
    /// Makes the object refer to the parent's own key. 1 / 0.
    ///@{
    int CreateKey(HKEY parent, DWORD mask);
    int CreateKey(CRegExt parent, DWORD mask);
    ///@}
    /// Takes over an open parent's key and flags, or a key path text.
    ///@{
    void Attach(HKEY parent);
    void Attach(const char* parent);
    void Attach(CRegExt* parent);
    void Attach(CRegExt parent);
    ///@}
    /// Forgets the key; returns the object's own address.
    HKEY Detach();
    /// Forgets the key and empties the sub-key list. Always 0.
    LONG Close();
    /// Takes over another object's key and flags, only while a store is attached.
    void operator=(CRegExt* other);

    // ---- Typed values ------------------------------------------------------
    /// Setters: 1 when stored; 0 when m_fWrite is not 1, no store is attached
    /// or szKey is empty. A number name is formatted with "%d". SetBool by
    /// number writes the value unsigned (-1 as 4294967295).
    ///@{
    int SetInt(int value, const char* name);
    int SetInt(int value, int name);
    int SetBool(int value, const char* name);
    int SetBool(int value, int name);
    int SetDWord(DWORD value, const char* name);
    int SetDWord(DWORD value, int name);
    int SetString(const char* value, const char* name);
    int SetString(const char* value, int name);
    int SetStringW(const wchar_t* value, const wchar_t* name);
    int SetIntArray(CArray<int, int>& array, const char* name, int offset);
    int SetDWordArray(CDWordArray& array, const char* name, DWORD offset);
    ///@}
    /// Stores the low-order byte of each of count 32-bit elements of data.
    int SetBinary(BYTE* data, DWORD count, const char* name);

    /// Plain getters: 1 and out set when found; 0 and out unchanged when not.
    /// The stored type is not checked (GetInt of "<string>12" reads 12);
    /// GetDWord reads like strtoul base 0 (0x.. hexadecimal, 0.. octal).
    ///@{
    int GetInt(int& out, const char* name);
    int GetInt(int& out, int name);
    int GetBool(int& out, const char* name);
    int GetBool(int& out, int name);
    int GetDWord(DWORD& out, const char* name);
    int GetDWord(DWORD& out, int name);
    int GetFloat(float* out, const char* name);
    int GetFloat(float* out, int name);
    int GetIntW(int& out, const wchar_t* name);
    int GetDWordW(DWORD& out, const wchar_t* name);
    ///@}
    /// Getters with a default: a missing value delivers def and, on a writable
    /// object, stores it (1 when stored, 0 when not); read-only objects get 1.
    /// A float text that does not parse counts as missing.
    ///@{
    int GetInt(int& out, int def, const char* name);
    int GetInt(int& out, int def, int name);
    int GetBool(int& out, int def, const char* name);
    int GetBool(int& out, int def, int name);
    int GetDWord(DWORD& out, DWORD def, const char* name);
    int GetDWord(DWORD& out, DWORD def, int name);
    int GetFloat(float* out, float def, const char* name);
    int GetFloat(float* out, float def, int name);
    ///@}
    /// Getters with an inclusive range: a value outside it counts as missing.
    ///@{
    int GetInt(int& out, int min, int def, int max, const char* name);
    int GetInt(int& out, int min, int def, int max, int name);
    int GetDWord(DWORD& out, DWORD min, DWORD def, DWORD max, const char* name);
    int GetDWord(DWORD& out, DWORD min, DWORD def, DWORD max, int name);
    int GetFloat(float* out, float min, float def, float max, const char* name);
    int GetFloat(float* out, float min, float def, float max, int name);
    ///@}
    /// String getters. A non-zero size is the buffer's capacity: a text that
    /// does not fit with its terminator is not copied and the result is 0.
    /// The CString forms ignore size.
    ///@{
    int GetString(CString& out, const char* name, DWORD size);
    int GetString(CString& out, int name, DWORD size);
    int GetString(char* buffer, const char* name, DWORD size);
    int GetString(char* buffer, int name, DWORD size);
    int GetStringW(CStringW& out, const wchar_t* name, DWORD size);
    ///@}
    /// List getters: empty the array, then fill it; return its element count.
    ///@{
    int GetIntArray(CArray<int, int>* array, const char* name, int offset);
    int GetDWordArray(CDWordArray& array, const char* name, DWORD offset);
    ///@}
    /// Writes one byte per stored piece into data; count is not consulted.
    int GetBinary(BYTE* data, DWORD* count, const char* name);

    // ---- Removal and enumeration ------------------------------------------
    /// Removes `keyPath\sub` and its subtree. A closed object is made writable
    /// first; only an object opened read-only is refused. 1 / 0.
    ///@{
    int DeleteKey(const char* keyPath, const char* sub);
    int DeleteKey(HKEY keyPath, const char* sub);
    ///@}
    /// Removes `szKey\sub` and its subtree when writable.
    void DeleteAllSubKey(const char* sub);
    /// Appends every key text of the store to list.
    void GetAllGroupArray(CStringArray& list);
    /// Points szKey at an existing key given by its full path. 1 / 0.
    int SetGroup(const char* keyPath);

    // ---- Key copy -----------------------------------------------------------
    /// Copies a key tree with its values to another place in the store,
    /// merging into what is there. 1 / 0 (1 also when no store is attached).
    ///@{
    int RegCopy(HKEY srcRoot, CString srcSub, HKEY dstRoot, CString dstSub);
    int RegCopy(const char* srcRoot, CString srcSub, const char* dstRoot, CString dstSub);
    int RegCopyW(HKEY srcRoot, CStringW srcSub, HKEY dstRoot, CStringW dstSub);
    int RegCopyW(const char* srcRoot, CStringW srcSub, const char* dstRoot, CStringW dstSub);
    ///@}

    // ---- Store root, files and environment --------------------------------
    /// Finds the product folder whose root.ini names the calling module (mode
    /// 0: its "System Directory" is the module's folder; otherwise its "Twain
    /// Pathname" is the module path); the folder goes to m_pSysPath. Returns
    /// keyBuffer holding the product key or `"Software\Company\Error"`.
    char* GetRegRoot(unsigned short mode, const char* modulePath, char* keyBuffer);
    /// The common application-data folder GetRegRoot searches below, without
    /// a trailing separator (POSIX: QOR_COMMON_APPDATA, else /var/lib/qor).
    static CString GetAppDataFolder();
    /// Appends the names of path's sub-folders to names. 1 when any, else 0 (names emptied).
    static int GetSysDirectory(CString path, CStringArray& names);
    /// 1 when `folder\name` holds a file named name + ext (case-sensitive), else 0.
    static int CheckModuleName(CString name, CString folder, CString ext);
    /// Loads a store file into m_pIni, creating the store on first use. 1 / 0;
    /// on 0 the store is as it was (a failed first load leaves no store).
    ///@{
    static int Load(const char* path);
    static int LoadW(const wchar_t* path);
    ///@}
    /// Saves m_pIni without the HKEY_LOCAL_MACHINE keys, then checks the marker. 1 / 0.
    ///@{
    static int Save(const char* path);
    static int SaveW(const wchar_t* path);
    ///@}
    /// 1 when the file ends with the store file's marker line.
    static int isFileValid(const char* path);
    /// 1 when anything matches the path or wildcard pattern.
    static int IsFileExist(const char* path);
    /// Copies path into m_pPath (refused when it does not fit).
    ///@{
    static void SetLogPath(const char* path);
    static void SetLogPathW(const wchar_t* path);
    ///@}
    /// The address of m_pSysPath.
    static char* GetSysPath();
    /// The library's build date as YYYYMMDD.
    static char* ParseDate();
    /// A pseudo-random integer from low to high.
    static int GetRandom(int low, int high);

    // ---- Export and import on m_pIni (0 when no store is attached) ---------
    /// Merges a REGEDIT4 file, or REGEDIT4 text, into the store: 1; 0 when
    /// the file cannot be read or the text is empty.
    ///@{
    static int ImportFileTWAINCase(const char* path);
    static int ImportFileTWAINCase(const CString& text);
    ///@}
    /// The TWAIN export of every key whose text contains filter (empty: all),
    /// as text or written to path (replaced only once complete). 1 / 0.
    ///@{
    static int ExportFileTWAINCase(const char* filter, CString& out);
    static int ExportFileTWAINCase(const char* filter, const char* path);
    ///@}
    /// Appends the application export of every key whose text contains
    /// filter to path. 1 / 0.
    static int ExportFilePellorCase(const char* filter, const char* path);

    // ---- Text splitting ---------------------------------------------------------
    /// Appends the pieces of text between occurrences of sep to parts. An
    /// empty separator gives the whole text as one piece.
    static void Split(CString text, std::vector<CString>& parts, CString sep);
    /// The same; each piece is a NUL-terminated copy owned by the library,
    /// valid until FreeSplitParts releases it or the library unloads.
    static void Split(const char* text, std::vector<char*>& parts, CString sep);
    /// Releases the piece copies that the char* form of Split put into parts
    /// and empties parts. Pointers not made by Split are left alone.
    static void FreeSplitParts(std::vector<char*>& parts);

private:
    // Strips a leading "<string>" (1), "<dword>" (2) or "<hex>" (3); else 0.
    static int RemovePrefix(CString& text);
    friend struct CRegExtAccess;
};

#endif
