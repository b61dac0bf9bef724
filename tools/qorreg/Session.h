// One store file opened for a verb: its store is loaded into a fresh
// CIniClass and attached as CRegExt's process-wide store for the session's
// lifetime (the store it replaces is put back afterwards).
//
// A verb that changes the store commits it: the store is first saved to a
// private temporary file and read back, and the real file is written only
// when every key and value that the verb added or changed reads back the
// same. Otherwise, and whenever a file fails to load, the file is left as
// it was.
#ifndef QORREG_SESSION_H
#define QORREG_SESSION_H

#include <string>

#include <QorCommonLib.h>

#include "Io.h"
#include "StoreView.h"

namespace qorreg {

enum class FileUse {
    Read,            // any loadable file; a missing end marker gives a warning
    Change,          // the file must exist and end with its end marker
    ChangeOrCreate,  // as Change; a missing or empty file starts an empty store
};

// Why a file cannot be read ("no such file", "it is a folder", ...), or
// the empty text when it can be opened for reading.
std::string ReadProblem(const std::string& path);

class Session {
public:
    explicit Session(Io& io);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads path. kExitOk, or kExitFailure with the reason reported.
    int Open(const std::string& path, FileUse use);
    CIniClass& Store() { return store_; }
    // Checks that the file keeps the changes, then saves every key
    // (HKEY_LOCAL_MACHINE included). kExitOk, or kExitFailure reported.
    int Commit();

private:
    int OpenExisting(FileUse use);
    // The first key or value that does not read back from a saved file
    // unchanged and was not already so in the loaded file; empty when none.
    // Sets failed when the check itself could not be made.
    std::string FirstLostChange(bool& failed);

    Io& io_;
    CIniClass store_;
    CIniClass* previous_;
    std::string path_;
    Snapshot loaded_;
};

}  // namespace qorreg

#endif
