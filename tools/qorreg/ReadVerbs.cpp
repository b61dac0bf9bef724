// query, export, validate and root: they read a store file and never write it.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "Format.h"
#include "Session.h"
#include "StoreView.h"
#include "Verbs.h"

namespace qorreg {
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
    for (const StoredValue& value : values) WriteValueLine(out, value.name, TypeNameOf(value.text), ShowData(handle, value));
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
    for (CStringArray::INT_PTR i = 0; i < keys.GetSize(); ++i) tops.insert(keys[i].str().substr(0, keys[i].str().find('\\')));
    std::vector<std::string> paths;
    for (const std::string& top : tops) {
        std::vector<std::string> below = SubtreePaths(BuildKeyTree(store, top), top);
        paths.insert(paths.end(), below.begin(), below.end());
    }
    return paths;
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
    std::vector<std::string> keys = wholeStore                     ? WholeStorePaths(store)
                                    : options.Has(kOptSubtree)     ? SubtreePaths(tree, key)
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
    std::string filter = options.operands.size() == 2 ? CanonicalKeyText(options.operands[0]) : std::string();
    const std::string& target = options.operands.back();
    if (options.Has(kOptRegedit) && options.Has(kOptApp)) return Fail(io, kExitFailure, "--regedit and --app exclude each other");
    if (options.Has(kOptUtf16) && !options.Has(kOptRegedit)) return Fail(io, kExitFailure, "--utf16 needs --regedit");
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Read)) return status;
    CIniClass& store = session.Store();
    if (!filter.empty() && !AnyKeyContains(store, filter)) return Fail(io, kExitNotFound, "no key contains: " + filter);
    if (options.Has(kOptRegedit)) return RegeditExportVerb(options, store, filter, io);
    int written = options.Has(kOptApp) ? store.ExportAppFile(filter.c_str(), target.c_str())
                                       : store.ExportFile(filter.c_str(), target.c_str());
    if (written != 1) return Fail(io, kExitFailure, "cannot write file: " + target);
    return kExitOk;
}

int ValidateVerb(const Options& options, Io& io) {
    if (options.operands.empty() == !options.Has(kOptFile)) {
        return Fail(io, kExitFailure, "validate takes one FILE (see qorreg validate --help)");
    }
    const std::string& path = options.operands.empty() ? options.file : options.operands[0];
    std::string problem = ReadProblem(path);
    if (!problem.empty()) return Fail(io, kExitFailure, problem + ": " + path);
    CIniClass probe;
    if (probe.IsFileValid(path.c_str()) != 1) {
        io.out << "invalid\n";
        return Fail(io, kExitNotFound, "no end marker line at the end (incomplete?): " + path);
    }
    if (probe.LoadFile(path.c_str()) != 1) {
        io.out << "invalid\n";
        return Fail(io, kExitNotFound, "a key is named twice: " + path);
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
    if (std::strcmp(key, kRootNotFound) == 0) return Fail(io, kExitNotFound, "no product folder names this module: " + module);
    io.out << key << '\n' << HostPath(CRegExt::GetSysPath()) << '\n';
    return kExitOk;
}

}  // namespace qorreg
