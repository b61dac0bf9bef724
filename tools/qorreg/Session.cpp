#include "Session.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>

#include "FileKinds.h"
#include "Format.h"
#include "Text.h"

namespace qor::qorreg {
namespace fs = std::filesystem;

namespace {

bool Unchanged(const Snapshot& before, const std::string& key, const std::string& name, const std::string& text) {
    auto k = before.find(key);
    if (k == before.end()) return false;
    auto v = k->second.find(name);
    return v != k->second.end() && v->second == text;
}

// What tells that a file was written: its size and its time of change.
using FileStamp = std::pair<std::uintmax_t, fs::file_time_type>;
FileStamp StampOf(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    const fs::file_time_type changed = fs::last_write_time(path, ec);
    return {ec ? 0 : size, ec ? fs::file_time_type() : changed};
}

}  // namespace

PrivateFolder::PrivateFolder() {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) return;
    std::random_device random;
    for (int attempt = 0; attempt < 16 && path_.empty(); ++attempt) {
        fs::path candidate = base / ("qorreg-" + std::to_string(random()));
        if (fs::create_directory(candidate, ec)) path_ = candidate.string();
    }
}

PrivateFolder::~PrivateFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string PrivateFolder::File(const char* name) const { return (fs::path(path_) / name).string(); }

bool StandardInputFile::Copy(std::istream& in) {
    if (!folder_.Ok()) return false;
    path_ = folder_.File("stdin");
    std::ofstream out(path_, std::ios::binary);
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) out.write(buffer, in.gcount());
    out.close();
    return out.good() && !in.bad();
}

std::string ReadProblem(const std::string& path) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return "no such file";
    if (ec) return "cannot read file (" + ec.message() + ")";
    if (fs::is_directory(status)) return "it is a folder";
    // Refused before it is read: the library would refuse it too, and the
    // message says why.
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > CIniClass::kMaxFileBytes) {
        return "file too large (more than " + std::to_string(CIniClass::kMaxFileBytes >> 20) + " MiB)";
    }
    errno = 0;
    std::ifstream probe(path, std::ios::binary);
    // The C library's open underneath sets errno on both hosts.
    if (!probe)
        return "cannot read file" + (errno == 0 ? std::string() : " (" + std::generic_category().message(errno) + ")");
    return std::string();
}

std::string SystemReason() {
    return CFileError::GetLast() == 0 ? std::string() : ": " + std::string(CFileError::GetLastText().GetString());
}

Session::Session(Io& io) : io_(io), previous_(CRegExt::m_pIni) { CRegExt().SetObject(&store_); }

Session::~Session() { CRegExt().SetObject(previous_); }

int Session::Refuse(const std::string& found, FileUse use) {
    return Fail(io_, kExitFailure, found + (use == FileUse::Change ? ", not changed: " : ": ") + path_);
}

int Session::Open(const std::string& path, FileUse use, unsigned waitSeconds, bool create) {
    path_ = path;
    std::error_code ec;
    const bool missing = fs::status(path, ec).type() == fs::file_type::not_found;
    if (missing && (use == FileUse::Read || !create)) {
        return Fail(io_, kExitFailure,
                    "no such file: " + path + (use == FileUse::Change ? " (--create makes a new store file)" : ""));
    }
    FileStamp loaded;
    if (!missing) {
        std::string problem = ReadProblem(path);
        if (!problem.empty()) return Fail(io_, kExitFailure, problem + ": " + path);
        if (int status = Load(use)) return status;
        loaded = StampOf(path);
    }
    if (use == FileUse::Read) return kExitOk;
    if (int status = TakeLock(waitSeconds)) return status;
    // Another writer may have written the file between the load and the lock.
    if (StampOf(path) != loaded) {
        store_.RemoveAll();
        if (fs::exists(path, ec)) return Load(use);
    }
    return kExitOk;
}

int Session::TakeLock(unsigned waitSeconds) {
    CFileError::Clear();
    lock_ = std::make_unique<CStoreFileLock>(path_.c_str(), waitSeconds * 1000u);
    if (lock_->IsLocked() == 1) return kExitOk;
    std::error_code ec;
    // A lock file that is not there, or that the system refused to open,
    // could not be made: no writer holds it.
    if (CFileError::GetLast() != 0 || !fs::exists(fs::path(lock_->LockFilePath()), ec)) {
        return Fail(io_, kExitFailure,
                    std::string("cannot create the lock file: ") + lock_->LockFilePath() + SystemReason());
    }
    return Fail(io_, kExitFailure,
                "store file is locked by another writer (waited " + std::to_string(waitSeconds) +
                    " s; see --wait), not changed; lock file: " + lock_->LockFilePath());
}

int Session::Load(FileUse use) {
    CStoreFileCheck::Kind kind;
    bool complete = true;
    if (CStoreFileCheck::Classify(path_.c_str(), kind) == 1) {
        if (kind != CStoreFileCheck::MarkerMissing || use == FileUse::Change)
            return Refuse(WholeFileWords(kind).found, use);
        complete = false;
    }
    if (store_.LoadFile(path_.c_str()) != 1) return Refuse(WhyLoadFails(path_), use);
    if (!complete) io_.err << "qorreg: warning: " << WholeFileWords(kind).found << ": " << Printable(path_) << '\n';
    loaded_ = TakeSnapshot(store_);
    return kExitOk;
}

std::string Session::FirstLostChange(bool& failed) {
    failed = true;
    PrivateFolder folder;
    if (!folder.Ok()) return std::string();
    std::string copy = folder.File("check.ini");
    CIniClass reread;
    CFileError::Clear();
    if (store_.SaveFile(copy.c_str(), "") != 1 || reread.LoadFile(copy.c_str()) != 1) return std::string();
    failed = false;
    Snapshot after = TakeSnapshot(reread);
    for (const auto& [key, values] : TakeSnapshot(store_)) {
        static const std::map<std::string, std::string> kNoValues;
        auto readBack = after.find(key);
        if (readBack == after.end() && loaded_.count(key) == 0) return "key " + key;
        const auto& keptValues = readBack == after.end() ? kNoValues : readBack->second;
        for (const auto& [name, text] : values) {
            auto v = keptValues.find(name);
            bool kept = v != keptValues.end() && ReadsTheSame(store_, reread, key, name, text, v->second);
            if (!kept && !Unchanged(loaded_, key, name, text))
                return std::string("value ").append(name).append(" of ").append(key);
        }
    }
    return std::string();
}

int Session::Commit() {
    bool failed = false;
    std::string lost = FirstLostChange(failed);
    if (failed) {
        return Fail(io_, kExitFailure,
                    "cannot check the change in a temporary file, not changed: " + path_ + SystemReason());
    }
    if (!lost.empty()) {
        return Fail(io_, kExitFailure, "the store file cannot keep " + lost + " as given, not changed: " + path_);
    }
    std::error_code ec;
    if (!fs::exists(path_, ec)) io_.err << "qorreg: creating new store file: " << Printable(path_) << '\n';
    CFileError::Clear();
    if (store_.SaveFile(path_.c_str(), "") != 1)
        return Fail(io_, kExitFailure, "cannot write file: " + path_ + SystemReason());
    return kExitOk;
}

}  // namespace qor::qorreg
