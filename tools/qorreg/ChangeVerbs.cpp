// add, delete, copy and import: they load the store file, change the store
// and commit it back to the file (Session::Commit).
#include <fstream>
#include <iterator>

#include "FileKinds.h"
#include "Format.h"
#include "Session.h"
#include "StoreView.h"
#include "Text.h"
#include "Verbs.h"

namespace qor::qorreg {
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
            return handle.SetBinary(reinterpret_cast<BYTE*>(elements.data()), static_cast<DWORD>(value.bytes.size()),
                                    name.c_str());
        }
        default:
            return 0;
    }
}

// Reads input as kind says into the empty store staging: a store file by
// its own rules, a TWAIN export by the suite's import without its header.
int ReadInput(const std::string& input, InputKind kind, CIniClass& staging, Io& io) {
    CFileError::Clear();
    if (kind == InputKind::Store) {
        if (staging.LoadFile(input.c_str()) == 1) return kExitOk;
        return Fail(io, kExitFailure, WhyLoadFails(input) + ": " + input);
    }
    std::ifstream in(input, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return Fail(io, kExitFailure, "cannot read file: " + input);
    // The export's header would make a key "TWAIN EXPORT"; its value line after it is read as no key's.
    const std::size_t header = UpperAscii(text.substr(0, 40)).find("[TWAIN EXPORT]");
    if (text.starts_with("REGEDIT4") && header != std::string::npos) text.erase(0, header + 14);
    if (!text.empty() && staging.ImportText(CString(std::move(text))) != 1) {
        return Fail(io, kExitFailure, "cannot read file: " + input);
    }
    return kExitOk;
}

// A regedit file, by the library's regedit reader: every line it leaves out
// is named on standard error. It is read once on its own first, so that a
// file refused, or one of which nothing can be imported, locks nothing.
int ImportRegedit(const Options& options, const std::string& input, Io& io) {
    std::ifstream in(input, std::ios::binary);
    const CString text(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    if (!in.good() && !in.eof()) return Fail(io, kExitFailure, "cannot read file: " + input);
    CRegeditFile reader;
    CIniClass probe;
    if (reader.ImportText(probe, text) != 1) {
        return Fail(io, kExitFailure,
                    reader.GetProblem() == CRegeditFile::BadUtf16
                        ? "UTF-16 text that cannot be converted to the store's text: " + input
                        : "not a registry file: " + input);
    }
    const CArray<CRegeditFile::Skipped>& skipped = reader.GetSkipped();
    for (CArray<CRegeditFile::Skipped>::INT_PTR i = 0; i < skipped.GetSize(); ++i) {
        io.err << "qorreg: " << Printable(input) << ':' << skipped[i].line
               << ": skipped: " << skipped[i].reason.GetString() << '\n';
    }
    const std::string count = std::to_string(skipped.GetSize()) + (skipped.GetSize() == 1 ? " line" : " lines");
    if (skipped.GetSize() != 0 && options.Has(kOptStrict)) {
        return Fail(io, kExitFailure, count + " left out, so nothing imported (--strict): " + input);
    }
    if (skipped.GetSize() != 0 && reader.GetChangeCount() == 0) {
        return Fail(io, kExitFailure, count + " left out and nothing else to import: " + input);
    }
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds, options.Has(kOptCreate)))
        return status;
    if (reader.ImportText(session.Store(), text) != 1) return Fail(io, kExitFailure, "cannot read file: " + input);
    if (int status = session.Commit()) return status;
    if (skipped.GetSize() == 0) return kExitOk;
    io.err << "qorreg: " << count << " left out, the rest imported: " << Printable(input) << '\n';
    return kExitLinesSkipped;
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
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds, options.Has(kOptCreate)))
        return status;
    session.Store().AddKey(key.c_str());
    if (setsValue && WriteValue(key, options.value, value) != 1) {
        return Fail(io, kExitFailure, "cannot set value " + options.value + " in " + key);
    }
    return session.Commit();
}

int DeleteVerb(const Options& options, Io& io) {
    std::string key;
    if (int status = ReadKeyOperand(options.operands[0], key, io)) return status;
    // A root (HKCU, HKEY_LOCAL_MACHINE) or a one-name path (SOFTWARE) holds
    // a whole class of settings: never removed by one slip.
    if (!options.Has(kOptValue) && key.find('\\') == std::string::npos) {
        return Fail(io, kExitFailure, "will not delete a root key (a key of one name): " + key);
    }
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds, options.Has(kOptCreate)))
        return status;
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
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds, options.Has(kOptCreate)))
        return status;
    if (!KeyIsPresent(session.Store(), source)) return Fail(io, kExitNotFound, "key not found: " + source);
    CRegExt handle;
    // Each end is given whole as the root text, with an empty sub-key.
    if (handle.RegCopy(source.c_str(), CString(), target.c_str(), CString()) != 1) {
        return Fail(
            io, kExitFailure,
            "cannot copy " + source + " (a value without a type, or a path too long), not changed: " + options.file);
    }
    return session.Commit();
}

int ImportVerb(const Options& options, Io& io) {
    const std::string& input = options.operands[0];
    std::string problem = ReadProblem(input);
    if (!problem.empty()) return Fail(io, kExitFailure, problem + ": " + input);
    InputKind kind = InputKind::NotRegistry;
    if (options.Has(kOptAs) && !ParseInputKind(options.as, kind)) {
        return Fail(io, kExitFailure, "--as takes store, twain or regedit: " + options.as);
    }
    if (!options.Has(kOptAs)) kind = DetectInputKind(input);
    if (kind == InputKind::Unclear) {
        return Fail(io, kExitFailure,
                    "no end marker line, yet no regedit file either (a store file cut short?); say how to read it "
                    "with --as store or --as regedit: " +
                        input);
    }
    if (kind == InputKind::NotRegistry) return Fail(io, kExitFailure, "not a registry file: " + input);
    if (kind == InputKind::Regedit) return ImportRegedit(options, input, io);
    if (options.Has(kOptStrict)) return Fail(io, kExitFailure, "--strict applies to regedit files only: " + input);
    // The input is read whole before the store file is locked: a refused import locks nothing.
    CIniClass staging;
    if (int status = ReadInput(input, kind, staging, io)) return status;
    Session session(io);
    if (int status = session.Open(options.file, FileUse::Change, options.waitSeconds, options.Has(kOptCreate)))
        return status;
    MergeInto(session.Store(), staging);
    return session.Commit();
}

}  // namespace qor::qorreg
