// add, delete, copy and import: they load the store file, change the store
// and commit it back to the file (Session::Commit).
#include "Format.h"
#include "Session.h"
#include "StoreView.h"
#include "Verbs.h"

namespace qorreg {
namespace {

// The value that add is to write, read and checked before the file is touched.
struct NewValue {
    ValueType type = ValueType::String;
    std::string text;
    DWORD number = 0;
    std::vector<BYTE> bytes;
};

int ReadNewValue(const Options& options, NewValue& value, Io& io) {
    if (options.Has(kOptType) && !ParseTypeName(options.type, value.type)) {
        return Fail(io, kExitFailure, "unknown value type (use REG_DWORD, REG_SZ or REG_BINARY): " + options.type);
    }
    value.text = options.data;
    if (value.type == ValueType::Dword) {
        if (!options.Has(kOptData)) return Fail(io, kExitFailure, "REG_DWORD needs its number with -d");
        if (!ParseDwordArgument(options.data, value.number)) {
            return Fail(io, kExitFailure, "not a 32-bit number (decimal, or 0x and hex digits): " + options.data);
        }
    }
    if (value.type == ValueType::Binary && !ParseBinaryArgument(options.data, value.bytes)) {
        return Fail(io, kExitFailure, "not pairs of hex digits (such as 00cc01ff): " + options.data);
    }
    return kExitOk;
}

// Writes the value through a handle opened writable on key, with the
// library's own setter of its type.
int WriteValue(const std::string& key, const std::string& name, const NewValue& value) {
    CRegExt handle;
    CRegExt noParent;
    if (handle.OpenReadWrite(key.c_str(), &noParent) != 1) return 0;
    switch (value.type) {
        case ValueType::String:
            return handle.SetString(value.text.c_str(), name.c_str());
        case ValueType::Dword:
            return handle.SetDWord(value.number, name.c_str());
        case ValueType::Binary: {
            // SetBinary takes one 32-bit element per byte and keeps its low-order byte.
            std::vector<DWORD> elements(value.bytes.begin(), value.bytes.end());
            elements.push_back(0);  // never hand over a null buffer
            return handle.SetBinary(reinterpret_cast<BYTE*>(elements.data()),
                                    static_cast<DWORD>(value.bytes.size()), name.c_str());
        }
        default:
            return 0;
    }
}

}  // namespace

int AddVerb(const Options& options, Io& io) {
    std::string key;
    if (int status = ReadKeyOperand(options.operands[0], key, io)) return status;
    bool setsValue = options.Has(kOptValue);
    if (!setsValue && (options.Has(kOptType) || options.Has(kOptData))) {
        return Fail(io, kExitFailure, "-t and -d need the value's name with -v NAME");
    }
    NewValue value;
    if (setsValue) {
        if (int status = ReadNewValue(options, value, io)) return status;
    }
    Session session(io);
    if (int status = session.Open(options.file, FileUse::ChangeOrCreate, options.waitSeconds)) return status;
    session.Store().AddKey(key.c_str());
    if (setsValue && WriteValue(key, options.value, value) != 1) {
        return Fail(io, kExitFailure, "cannot set value " + options.value + " in " + key);
    }
    return session.Commit();
}

int DeleteVerb(const Options& options, Io& io) {
    std::string key;
    if (int status = ReadKeyOperand(options.operands[0], key, io)) return status;
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds)) return status;
    CIniClass& store = session.Store();
    if (options.Has(kOptValue)) {
        if (store.KeyExists(key.c_str()) != 1) return Fail(io, kExitNotFound, "key not found: " + key);
        if (store.RemoveValue(key.c_str(), options.value.c_str()) != 1) {
            return Fail(io, kExitNotFound, "value not found: " + UpperAscii(options.value) + " in " + key);
        }
    } else {
        if (!KeyIsPresent(store, key)) return Fail(io, kExitNotFound, "key not found: " + key);
        store.DeleteSubtree(key.c_str());
    }
    return session.Commit();
}

int CopyVerb(const Options& options, Io& io) {
    std::string source, target;
    if (int status = ReadKeyOperand(options.operands[0], source, io)) return status;
    if (int status = ReadKeyOperand(options.operands[1], target, io)) return status;
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds)) return status;
    if (!KeyIsPresent(session.Store(), source)) return Fail(io, kExitNotFound, "key not found: " + source);
    CRegExt handle;
    // Each end is given whole as the root text, with an empty sub-key.
    if (handle.RegCopy(source.c_str(), CString(), target.c_str(), CString()) != 1) {
        return Fail(io, kExitFailure,
                    "cannot copy " + source + " (a value without a type, or a path too long), not changed: " + options.file);
    }
    return session.Commit();
}

int ImportVerb(const Options& options, Io& io) {
    const std::string& input = options.operands[0];
    std::string problem = ReadProblem(input);
    if (!problem.empty()) return Fail(io, kExitFailure, problem + ": " + input);
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds)) return status;
    if (session.Store().ImportFile(input.c_str()) != 1) return Fail(io, kExitFailure, "cannot read file: " + input);
    return session.Commit();
}

}  // namespace qorreg
