/// @file
/// CStoreFileLock: one writer at a time for a store file, across processes.
#ifndef QOR_CSTOREFILELOCK_H
#define QOR_CSTOREFILELOCK_H

#include "QorExport.h"

/// Holds the writers' lock of one store file for its lifetime.
///
/// Writers of a store file coordinate through a lock file beside it, named
/// the store file's name plus `.lock` (`root.ini.lock`), made when missing
/// and left in place. A store file reached through a symbolic link is locked
/// beside the link's target, so every path to one file takes one lock. The
/// lock is exclusive and advisory; the system releases it when its holder
/// dies, so a killed writer never leaves the file locked.
///
/// Put one around a whole load-change-save:
///
///     CStoreFileLock lock("root.ini", 10000);
///     if (lock.IsLocked() != 1) { /* another writer kept it; nothing done */ }
///     store.LoadFile("root.ini"); /* change */ store.SaveFile("root.ini", "");
///
/// While a lock file exists, `CIniClass::SaveFile`, `ExportFile` and
/// `ExportAppFile` take the lock for their write as well, waiting at most
/// kLibraryWaitMilliseconds, and return 0 with nothing changed when they do
/// not get it. The thread that holds a CStoreFileLock does not wait on
/// itself in those calls; another thread of the same process waits as
/// another process does. Readers take no lock: a save replaces the file in
/// one step, so a reader always sees a whole file.
class QOR_API CStoreFileLock {
public:
    /// How long the library's own writes wait for a lock that someone holds: 10 s.
    static constexpr unsigned kLibraryWaitMilliseconds = 10000;

    /// Takes the lock of the store file at storePath, waiting at most
    /// waitMilliseconds (0: one try) while another thread or process holds
    /// it. IsLocked says whether it was got.
    CStoreFileLock(const char* storePath, unsigned waitMilliseconds);
    /// Releases the lock when it was got.
    ~CStoreFileLock();
    /// Not copyable: one object is one hold.
    CStoreFileLock(const CStoreFileLock&) = delete;
    /// Not assignable.
    CStoreFileLock& operator=(const CStoreFileLock&) = delete;

    /// 1 when this object holds the lock; 0 when another writer kept it for
    /// the whole wait or the lock file cannot be made or opened.
    int IsLocked() const;
    /// The lock file's path (the resolved store file's path plus ".lock");
    /// the empty text for a null store path.
    const char* LockFilePath() const;

private:
    /// The lock as the library holds it.
    struct Held;
    Held* m_held;
};

#endif
