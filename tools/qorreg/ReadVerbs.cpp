// query, export, validate and root: they read a store file and never write it.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "FileKinds.h"
#include "Format.h"
#include "Session.h"
#include "StoreView.h"
#include "Text.h"
#include "Verbs.h"
#include "host/Host.h"

namespace qor::qorreg {
namespace {

// GetRegRoot writes at most this many bytes into its key buffer.
constexpr std::size_t kRootKeyBufferSize = 260;
const char* const kRootNotFound = "Software\\Company\\Error";

// The data column of a value.
std::string ShowData(CRegExt& handle, const StoredValue& value) {
    const ValueData data = ReadValueData(handle, value);
    if (data.type == ValueType::Dword) return FormatDword(data.number);
    if (data.type == ValueType::Binary) return FormatBytes(data.bytes);
    return data.text;
}

// Writes one key block; with onlyName set, only that value and only when the
// key holds it. Returns whether anything was written.
bool WriteKeyBlock(std::ostream& out, CIniClass& store, const std::string& key, const std::string* onlyName) {
    std::vector<StoredValue> values = ReadValues(store, key);
    if (onlyName != nullptr) {
        std::erase_if(values, [onlyName](const StoredValue& v) { return v.name != *onlyName; });
        if (values.empty()) return false;
    }
    CRegExt handle;
    CRegExt noParent;
    handle.OpenReadOnly(key.c_str(), &noParent);
    WriteKeyLine(out, key);
    for (const StoredValue& value : values)
        WriteValueLine(out, value.name, TypeNameOf(value.text), ShowData(handle, value));
    return true;
}

// The library may join folder names with backslashes; where they are not the
// host's separator they are shown as slashes, so the path can be used as it is.
std::string HostPath(std::string path) {
    if (std::filesystem::path::preferred_separator == '/') std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool AnyKeyContains(CIniClass& store, const std::string& filter) {
    CStringArray keys;
    store.GetAllKeys(keys);
    for (CStringArray::INT_PTR i = 0; i < keys.GetSize(); ++i) {
        if (keys[i].str().find(filter) != std::string::npos) return true;
    }
    return false;
}

// The whole store, as -s shows a key: each first path component (a root
// name, or the first name of a root-less product key) in byte order, then
// depth first every path below it.
std::vector<std::string> WholeStorePaths(CIniClass& store) {
    CStringArray keys;
    store.GetAllKeys(keys);
    std::set<std::string> tops;
    for (CStringArray::INT_PTR i = 0; i < keys.GetSize(); ++i)
        tops.insert(keys[i].str().substr(0, keys[i].str().find('\\')));
    std::vector<std::string> paths;
    for (const std::string& top : tops) {
        std::vector<std::string> below = SubtreePaths(BuildKeyTree(store, top), top);
        paths.insert(paths.end(), below.begin(), below.end());
    }
    return paths;
}

// The keys an export took: key and its subtree (every key when key is
// empty), or with contains every key whose text contains key.
Snapshot Exported(CIniClass& store, const std::string& key, bool contains) {
    Snapshot taken = TakeSnapshot(store);
    std::erase_if(taken, [&](const auto& entry) {
        const std::string& k = entry.first;
        if (contains) return k.find(key) == std::string::npos;
        return !key.empty() && k != key && k.rfind(key + "\\", 0) != 0;
    });
    return taken;
}

// Reads the export back as its readers would and names on the error
// stream every key and value that does not arrive as the store holds it.
int WarnNotReadBack(CIniClass& store, const std::string& key, const std::string& path, bool twain, Io& io) {
    CIniClass back;
    if (twain) {
        back.ImportFile(path.c_str());
        back.DeleteSubtree("TWAIN EXPORT");
    } else {
        CRegeditFile().ImportFile(back, path.c_str());
    }
    for (const std::string& lost : NotReadBack(store, Exported(store, key, twain), back)) {
        io.err << "qorreg: warning: " << Shown(lost)
               << (twain ? " is read back otherwise by the suite's import (ImportFileTWAINCase)\n"
                         : " does not arrive as stored (regedit takes keys under a root name and typed values only; "
                           "use --twain)\n");
    }
    return kExitOk;
}

// Writes the file's bytes to standard output unchanged.
int CopyToOutput(const std::string& path, Io& io) {
    host::UseBinaryStandardStreams();
    std::ifstream in(path, std::ios::binary);
    io.out << in.rdbuf();
    io.out.flush();
    return in.good() || in.eof() ? kExitOk : Fail(io, kExitFailure, "cannot write the export to standard output");
}

// Why the store-root search found nothing: the lookup key, its ROOTn
// values and the folders they name, as the search walks them.
std::string WhyNoRoot(CIniClass& store, const Options& options) {
    const std::string lookup = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner";
    if (!KeyIsPresent(store, lookup)) return "the lookup key " + lookup + " is not in " + options.file;
    const std::string appData = HostPath(CRegExt::GetAppDataFolder().GetString());
    std::error_code ec;
    if (!std::filesystem::is_directory(appData, ec)) {
        return "the application-data folder " + appData + " does not exist (QOR_COMMON_APPDATA)";
    }
    std::string why;
    for (int index = 1;; ++index) {
        const std::string name = "ROOT" + std::to_string(index);
        const std::vector<StoredValue> values = ReadValues(store, lookup);
        auto value = std::find_if(values.begin(), values.end(), [&](const StoredValue& v) { return v.name == name; });
        const std::string fragment = value == values.end() ? std::string() : ShowValueData(store, lookup, *value);
        if (fragment.empty()) {
            return index == 1 ? "the lookup key " + lookup + " holds no ROOT1 value" : why;
        }
        if (!why.empty()) why += "; ";
        const std::string folder = HostPath(appData + fragment);
        if (fragment.front() != '\\' && fragment.front() != '/') {
            why.append(name).append(" \"").append(fragment).append("\" is relative: it must begin with \\");
        } else if (!std::filesystem::is_directory(folder, ec)) {
            why.append(name).append(": the folder ").append(folder).append(" does not exist");
        } else {
            why.append(name).append(": no sub-folder S of ").append(folder);
            why.append(" holds S.ini and a root.ini that names the module as ");
            why.append(options.Has(kOptTwain) ? "\"Twain Pathname\"" : "\"System Directory\"");
        }
    }
}

}  // namespace

std::string ShowValueData(CIniClass& store, const std::string& key, const StoredValue& value) {
    CIniClass* attached = CRegExt::m_pIni;
    CRegExt().SetObject(&store);
    std::string data;
    {
        CRegExt handle;
        CRegExt noParent;
        handle.OpenReadOnly(key.c_str(), &noParent);
        data = ShowData(handle, value);
    }
    CRegExt().SetObject(attached);
    return data;
}

int ReadKeyOperand(const std::string& text, std::string& key, Io& io) {
    std::string error;
    if (!ParseKeyPath(text, key, error)) return Fail(io, kExitFailure, error);
    return kExitOk;
}

int QueryVerb(const Options& options, Io& io) {
    // Without KEY, -s lists every key of the store.
    const bool wholeStore = options.operands.empty();
    if (wholeStore && (!options.Has(kOptSubtree) || options.Has(kOptJson))) {
        return Fail(io, kExitFailure, "query without KEY takes -s and no --json (see qorreg query --help)");
    }
    std::string key;
    if (!wholeStore) {
        if (int status = ReadKeyOperand(options.operands[0], key, io)) return status;
    }
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Read)) return status;
    CIniClass& store = session.Store();
    if (!wholeStore && !KeyIsPresent(store, key)) return Fail(io, kExitNotFound, "key not found: " + key);

    KeyTree tree = wholeStore ? KeyTree() : BuildKeyTree(store, key);
    if (options.Has(kOptJson)) return QueryJson(options, store, tree, key, io);
    std::string name = UpperAscii(options.value);
    const std::string* onlyName = options.Has(kOptValue) ? &name : nullptr;
    std::vector<std::string> keys = wholeStore                 ? WholeStorePaths(store)
                                    : options.Has(kOptSubtree) ? SubtreePaths(tree, key)
                                                               : std::vector<std::string>{key};
    bool any = false;
    for (const std::string& path : keys) {
        std::ostringstream block;
        if (!WriteKeyBlock(block, store, path, onlyName)) continue;
        io.out << (any ? "\n" : "") << block.str();
        any = true;
    }
    if (onlyName != nullptr && !any) {
        const std::string where = wholeStore ? " in the store" : (options.Has(kOptSubtree) ? " under " : " in ") + key;
        return Fail(io, kExitNotFound, "value not found: " + name + where);
    }
    std::vector<std::string> children = ChildPaths(tree, key);
    if (onlyName == nullptr && !options.Has(kOptSubtree) && !children.empty()) {
        io.out << '\n';
        for (const std::string& child : children) WriteKeyLine(io.out, child);
    }
    return kExitOk;
}

int ExportVerb(const Options& options, Io& io) {
    const bool all = options.Has(kOptAll);
    if (options.operands.size() != (all ? 1u : 2u)) {
        return Fail(io, kExitFailure,
                    all ? "export --all takes only OUT (see qorreg export --help)"
                        : "export needs KEY and OUT; export --all OUT exports every key (see qorreg export --help)");
    }
    const bool twain = options.Has(kOptTwain), app = options.Has(kOptApp);
    if (twain + app + options.Has(kOptRegedit) > 1)
        return Fail(io, kExitFailure, "--twain, --app and --regedit exclude each other");
    if (options.Has(kOptUtf16) && (twain || app)) return Fail(io, kExitFailure, "--utf16 is for the regedit form only");
    std::string key;
    if (!all && (twain || app)) key = CanonicalKeyText(options.operands[0]);
    if (!all && !twain && !app && ReadKeyOperand(options.operands[0], key, io) != kExitOk) return kExitFailure;
    // OUT "-": the export is written to a private file, then to standard output.
    const bool toOutput = options.operands.back() == "-";
    PrivateFolder folder;
    if (toOutput && !folder.Ok()) return Fail(io, kExitFailure, "cannot make a temporary folder for the export");
    const std::string target = toOutput ? folder.File("export") : options.operands.back();
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Read)) return status;
    CIniClass& store = session.Store();
    CFileError::Clear();
    if (twain || app) {
        if (!key.empty() && !AnyKeyContains(store, key)) return Fail(io, kExitNotFound, "no key contains: " + key);
        const int written =
            app ? store.ExportAppFile(key.c_str(), target.c_str()) : store.ExportFile(key.c_str(), target.c_str());
        if (written != 1) return Fail(io, kExitFailure, "cannot write file: " + target + SystemReason());
        if (twain) WarnNotReadBack(store, key, target, true, io);
        return toOutput ? CopyToOutput(target, io) : kExitOk;
    }
    if (!key.empty() && !KeyIsPresent(store, key)) return Fail(io, kExitNotFound, "key not found: " + key);
    if (CRegeditFile::ExportFile(store, key.c_str(), target.c_str(), options.Has(kOptUtf16) ? 1 : 0) != 1) {
        if (CFileError::GetLast() != 0) return Fail(io, kExitFailure, "cannot write file: " + target + SystemReason());
        return Fail(io, kExitFailure,
                    "cannot write file: " + target + ": a text is not valid in this system's code page");
    }
    WarnNotReadBack(store, key, target, false, io);
    return toOutput ? CopyToOutput(target, io) : kExitOk;
}

int ValidateVerb(const Options& options, Io& io) {
    const std::string& path = options.operands[0];
    std::string problem = ReadProblem(path);
    if (!problem.empty()) return Fail(io, kExitFailure, problem + ": " + path);
    CIniClass probe;
    CStoreFileCheck::Kind kind;
    const bool judged = CStoreFileCheck::Classify(path.c_str(), kind) == 1;
    if (judged && (kind == CStoreFileCheck::CannotRead || kind == CStoreFileCheck::TooLarge)) {
        return Fail(io, kExitFailure, WholeFileWords(kind).found + ": " + path);
    }
    if (judged || probe.LoadFile(path.c_str()) != 1) {
        io.out << "invalid\n";
        return Fail(io, kExitNotFound, (judged ? WholeFileWords(kind).found : WhyLoadFails(path)) + ": " + path);
    }
    io.out << "valid\n";
    return kExitOk;
}

int RootVerb(const Options& options, Io& io) {
    const std::string& module = options.operands[0];
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Read)) return status;
    char key[kRootKeyBufferSize] = {};
    CRegExt handle;
    handle.GetRegRoot(options.Has(kOptTwain) ? 1 : 0, module.c_str(), key);
    if (std::strcmp(key, kRootNotFound) == 0) {
        return Fail(
            io, kExitNotFound,
            "no product folder names this module: " + module + " (" + WhyNoRoot(session.Store(), options) + ")");
    }
    io.out << key << '\n' << HostPath(CRegExt::GetSysPath()) << '\n';
    return kExitOk;
}

}  // namespace qor::qorreg
