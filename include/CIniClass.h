/// @file
/// CIniClass: the in-memory key store that stands in for the registry.
#ifndef QOR_CINICLASS_H
#define QOR_CINICLASS_H

#include "QorCompat.h"
#include "QorExport.h"

/// The library's store code; nothing in it is for callers.
namespace qor::store {
/// How the library reaches a store's inside (defined inside the library).
struct IniClassAccess;
}  // namespace qor::store

/// The in-memory key store that stands in for the registry.
///
/// Keys are full key path texts (`HKEY_CURRENT_USER\SOFTWARE\X`) kept as flat
/// texts: a key's parent need not exist. Values are named encoded value
/// texts ("<dword>3", "<string>abc", "<hex>01,ff"). Every operation that
/// takes a key or a value name upper-cases the letters a to z first, so
/// callers may pass any case. The store takes no lock.
class QOR_API CIniClass {
public:
    /// The largest store or import file the library reads: 256 MiB. LoadFile,
    /// ImportFile, CStoreFileCheck and CRegeditFile refuse a larger file
    /// before reading any of it. The store holds about twice the file and an
    /// import reads the file whole before it merges, so a 32-bit process can
    /// always hold what is accepted.
    static constexpr unsigned long long kMaxFileBytes = 256ull * 1024 * 1024;

    /// An empty store.
    CIniClass();
    /// Empties the store (RemoveAll) and releases it.
    virtual ~CIniClass();
    /// Not copyable: a store is shared by pointer.
    CIniClass(const CIniClass&) = delete;
    /// Not assignable.
    CIniClass& operator=(const CIniClass&) = delete;

    /// 1 when the key exists, else 0.
    int KeyExists(const char* key);
    /// Adds the key with no values: 1; 0 when it exists already (its values stay).
    int AddKey(const char* key);
    /// Copies the value text to out: 1; 0 when the key or value is missing (out unchanged).
    int GetValue(const char* key, const char* name, CString& out);
    /// Inserts or replaces the value, adding the key when missing. Always 1.
    int SetValue(const char* key, const char* name, const char* text);
    /// 1 when a value of that name was removed; 0 when the key or the value is missing.
    int RemoveValue(const char* key, const char* name);
    /// Removes the key and every key below it (texts beginning with `key + "\"`).
    void DeleteSubtree(const char* key);
    /// Removes every key and value.
    void RemoveAll();
    /// Appends the key itself (when present) and every key below it, at any
    /// depth, to list; returns the list's new length.
    int GetSubKeys(const char* key, CStringArray& list);
    /// Appends every key text to list; returns the list's new length.
    int GetAllKeys(CStringArray& list);
    /// Appends one line "NAME = text" per value of the key; returns the list's new length.
    int GetValueLines(const char* key, CStringArray& list);

    /// Loads a store file into this store, adding to what it holds.
    /// Returns 1 when the whole file was read; 0 when it cannot be opened or
    /// names a key twice or a key the store already holds. On 0 the store is
    /// exactly as it was before the call.
    int LoadFile(const char* path);
    /// Writes the store file, leaving out keys that begin with excludedPrefix
    /// (empty or null: none). The old file is replaced only once the new one
    /// is complete. Returns 1 when written, else 0 (the old file untouched).
    int SaveFile(const char* path, const char* excludedPrefix);
    /// 1 when the file ends with the marker line [CINICHECKFILEVALID], else 0.
    int IsFileValid(const char* path);

    /// Builds the TWAIN export of every key containing filter (empty: all) into out. Always 1.
    int ExportText(const char* filter, CString& out);
    /// Writes the TWAIN export to path, replacing it only once complete. 1, or 0 on failure.
    int ExportFile(const char* filter, const char* path);
    /// Appends the application export of every key containing filter to path. 1, or 0 on failure.
    int ExportAppFile(const char* filter, const char* path);
    /// Merges REGEDIT4 text into the store, all of it or nothing. 0 for an empty text or when
    /// memory runs out (the store then unchanged), else 1.
    int ImportText(const CString& text);
    /// Merges a REGEDIT4 file into the store, all of it or nothing. 0 when it cannot be read, else 1.
    int ImportFile(const char* path);

private:
    friend struct qor::store::IniClassAccess;
    /// The keys and values, defined inside the library.
    struct Impl;
    Impl* m_impl;
};

#endif
