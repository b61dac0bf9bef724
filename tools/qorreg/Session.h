// One store file opened for a verb: its store is loaded into a fresh
// CIniClass and attached as CRegExt's process-wide store for the session's
// lifetime (the store it replaces is put back afterwards).
//
// A verb that changes the store commits it: the store is first saved to a
// private temporary file and read back, and the real file is written only
// when every key and value that the verb added or changed reads back the
// same. Otherwise, and whenever a file fails to load, the file is left as
// it was.
//
// A changing session holds the store file's writers' lock (CStoreFileLock,
// which makes the lock file beside the store file) from before its load
// until the session ends, after its new file is in place, so that
// concurrent runs queue instead of overwriting each other.
#ifndef QOR_TOOLS_QORREG_SESSION_H
#define QOR_TOOLS_QORREG_SESSION_H

#include <istream>
#include <memory>
#include <string>

#include <QorCommonLib.h>

#include "Args.h"
#include "Io.h"
#include "StoreView.h"

namespace qor::qorreg {

enum class FileUse {
    Read,    // a store file that loads; a missing end marker gives a warning
    Change,  // a store file that loads and ends with its end marker
};

// Why a file cannot be read ("no such file", "it is a folder", "file too
// large", ...), or the empty text when it can be opened for reading.
std::string ReadProblem(const std::string& path);

// ": " and the system's words for why the library's last failing file call
// failed (CFileError: "Permission denied"), or the empty text when none
// failed since the last CFileError::Clear.
std::string SystemReason();

// A folder of its own below the system's temporary folder, removed again
// with everything in it when the object goes.
class PrivateFolder {
public:
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool Ok() const { return !path_.empty(); }
    std::string File(const char* name) const;

private:
    std::string path_;
};

// Standard input copied to a private temporary file ("-" given as a file
// to read), so that the verb reads it by its path like any file.
class StandardInputFile {
public:
    // Copies the whole of in; false when the copy cannot be made.
    bool Copy(std::istream& in);
    const std::string& Path() const { return path_; }

private:
    PrivateFolder folder_;
    std::string path_;
};

class Session {
public:
    explicit Session(Io& io);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Judges path as every verb does (CStoreFileCheck::Classify, then the
    // load), then for a change takes the lock, waiting at most waitSeconds
    // for another writer; a file that changed meanwhile is loaded again. A
    // missing file is refused, unless create is set for a change: then the
    // store starts empty. Nothing is locked for a refused file. kExitOk, or
    // kExitFailure with the reason reported.
    int Open(const std::string& path, FileUse use, unsigned waitSeconds = kDefaultWaitSeconds, bool create = false);
    CIniClass& Store() { return store_; }
    // Checks that the file keeps the changes, then saves every key
    // (HKEY_LOCAL_MACHINE included). kExitOk, or kExitFailure reported.
    int Commit();

private:
    int Refuse(const std::string& found, FileUse use);
    // Judges and loads the existing file into the empty store.
    int Load(FileUse use);
    int TakeLock(unsigned waitSeconds);
    // The first key or value that does not read back from a saved file
    // unchanged and was not already so in the loaded file; empty when none.
    // Sets failed when the check itself could not be made.
    std::string FirstLostChange(bool& failed);

    Io& io_;
    CIniClass store_;
    CIniClass* previous_;
    std::string path_;
    Snapshot loaded_;
    std::unique_ptr<CStoreFileLock> lock_;
};

}  // namespace qor::qorreg

#endif
