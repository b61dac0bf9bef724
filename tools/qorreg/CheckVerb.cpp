// check: what loading a store file does with each of its lines, found by
// the library's own reader (CStoreFileCheck), told in words.
//
// Text report: one finding per line, as compilers write them,
//   FILE:LINE: warning: what is found: what the store does with it
// followed by the line itself, then a last line with the verdict.
#include <sstream>

#include "FileKinds.h"
#include "Format.h"
#include "Json.h"
#include "Session.h"
#include "Verbs.h"

namespace qorreg {
namespace {

using Finding = CStoreFileCheck::Finding;

struct KindText {
    CStoreFileCheck::Kind kind;
    const char* id;  // stable name in --json
};

const KindText kKinds[] = {
    {CStoreFileCheck::CannotRead, "cannot-read"},
    {CStoreFileCheck::TooLarge, "too-large"},
    {CStoreFileCheck::Utf16, "utf16"},
    {CStoreFileCheck::KeyNamedAgain, "key-named-again"},
    {CStoreFileCheck::NulByte, "nul-byte"},
    {CStoreFileCheck::NoSection, "value-before-first-key"},
    {CStoreFileCheck::NotASection, "not-a-key-line"},
    {CStoreFileCheck::NoEquals, "no-equals"},
    {CStoreFileCheck::EmptyName, "empty-name"},
    {CStoreFileCheck::EmptyData, "empty-data"},
    {CStoreFileCheck::UnendedLastLine, "no-line-end"},
    {CStoreFileCheck::ValueNamedAgain, "value-named-again"},
    {CStoreFileCheck::NameReadOtherwise, "name-read-otherwise"},
    {CStoreFileCheck::DataReadOtherwise, "data-read-otherwise"},
    {CStoreFileCheck::ChangedBySave, "changed-by-save"},
    {CStoreFileCheck::MarkerMissing, "no-end-marker"},
    {CStoreFileCheck::MarkerMisplaced, "misplaced-end-marker"},
    {CStoreFileCheck::Empty, "empty"},
    {CStoreFileCheck::NotAStore, "not-a-store"},
};

const char* KindId(CStoreFileCheck::Kind kind) {
    for (const KindText& entry : kKinds) {
        if (entry.kind == kind) return entry.id;
    }
    return "unknown";
}

// A stored text as query shows it: "TYPE DATA".
std::string Shown(const std::string& key, const std::string& name, const std::string& text) {
    CIniClass store;
    store.SetValue(key.c_str(), name.c_str(), text.c_str());
    const ValueType type = TypeOfStoredText(text);
    return std::string(TypeName(type)) + " " + ShowValueData(store, key, {name, text});
}

Words Describe(const Finding& f) {
    const std::string key = f.key.GetString(), name = f.name.GetString();
    const std::string in = key.empty() ? std::string() : " of " + key;
    const std::string other = std::to_string(f.otherLine);
    switch (f.kind) {
        case CStoreFileCheck::CannotRead:
        case CStoreFileCheck::TooLarge:
        case CStoreFileCheck::Utf16:
        case CStoreFileCheck::Empty:
        case CStoreFileCheck::NotAStore:
        case CStoreFileCheck::MarkerMissing: return WholeFileWords(f.kind);
        case CStoreFileCheck::KeyNamedAgain: return KeyNamedAgainWords(key, f.otherLine);
        case CStoreFileCheck::NulByte:
            return {"a NUL byte in the line", "programs pass texts that end at a NUL, so what follows it cannot be reached"};
        case CStoreFileCheck::NoSection: return {"a value before the first key line", "ignored"};
        case CStoreFileCheck::NotASection:
            if (!name.empty()) return {"begins with \"[\" but is no key line", "read as the value " + name + in};
            return {"begins with \"[\" but is no key line (its first \"]\" must end it)",
                    key.empty() ? "ignored" : "ignored; the values below it go to " + key};
        case CStoreFileCheck::NoEquals: return {"neither a key line nor NAME=DATA", "ignored"};
        case CStoreFileCheck::EmptyName: return {"no name before \"=\"", "ignored"};
        case CStoreFileCheck::EmptyData: return {"no data after \"=\"", "ignored"};
        case CStoreFileCheck::UnendedLastLine: return {"the last line has no line end", "ignored"};
        case CStoreFileCheck::ValueNamedAgain:
            return {"value " + name + in + " is named again (first on line " + other + ")",
                    "this line's value is kept, the earlier one is lost"};
        case CStoreFileCheck::NameReadOtherwise:
            return {"the value name is not read as written", "stored under the name " + name};
        case CStoreFileCheck::DataReadOtherwise:
            return {"value " + name + in + " is not read as written",
                    "stored as " + Shown(key, name, f.stored.GetString())};
        case CStoreFileCheck::ChangedBySave:
            return {"value " + name + in + " does not survive the next save",
                    f.saved.IsEmpty() ? std::string("it is not written back")
                                      : "it reads back as " + Shown(key, name, f.saved.GetString())};
        case CStoreFileCheck::MarkerMisplaced:
            return {"an end marker line that is not at the end", "skipped; it does not mark the file complete"};
    }
    return {"?", "?"};
}

const char* VerdictText(int verdict) {
    return verdict == CStoreFileCheck::Clean      ? "clean: every line is read as written and survives a save"
           : verdict == CStoreFileCheck::Warnings ? "the store loads it, with the warnings above"
                                                  : "the store cannot load it";
}

void WriteText(std::ostream& out, const std::string& path, const CArray<Finding>& findings, int verdict) {
    std::size_t warnings = 0, errors = 0;
    for (CArray<Finding>::INT_PTR i = 0; i < findings.GetSize(); ++i) {
        const Finding& f = findings[i];
        const bool fatal = CStoreFileCheck::IsFatal(f.kind) == 1;
        ++(fatal ? errors : warnings);
        const Words words = Describe(f);
        out << path << (f.line != 0 ? ":" + std::to_string(f.line) : std::string()) << ": "
            << (fatal ? "error: " : "warning: ") << words.found << ": " << words.does << '\n';
        if (!f.text.IsEmpty()) out << "    " << f.text.GetString() << '\n';
    }
    out << path << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning: " : " warnings: ") << VerdictText(verdict) << '\n';
}

void WriteJson(std::ostream& out, const std::string& path, const CArray<Finding>& findings, int verdict) {
    out << "{\"file\": " << JsonString(path) << ", \"status\": " << verdict
        << ", \"verdict\": " << JsonString(VerdictText(verdict)) << ", \"findings\": [";
    for (CArray<Finding>::INT_PTR i = 0; i < findings.GetSize(); ++i) {
        const Finding& f = findings[i];
        const Words words = Describe(f);
        out << (i == 0 ? "\n" : ",\n") << "  {\"line\": " << f.line << ", \"severity\": \""
            << (CStoreFileCheck::IsFatal(f.kind) ? "error" : "warning") << "\", \"kind\": \"" << KindId(f.kind)
            << "\", \"found\": " << JsonString(words.found) << ", \"store_does\": " << JsonString(words.does);
        if (f.otherLine != 0) out << ", \"first_line\": " << f.otherLine;
        if (!f.key.IsEmpty()) out << ", \"key\": " << JsonString(f.key.GetString());
        if (!f.name.IsEmpty()) out << ", \"name\": " << JsonString(f.name.GetString());
        if (!f.text.IsEmpty()) out << ", \"text\": " << JsonString(f.text.GetString());
        out << '}';
    }
    out << (findings.IsEmpty() ? "]}\n" : "\n]}\n");
}

}  // namespace

int CheckVerb(const Options& options, Io& io) {
    const std::string& path = options.operands[0];
    std::string problem = ReadProblem(path);
    if (!problem.empty()) return Fail(io, CStoreFileCheck::CannotLoad, problem + ": " + path);
    CStoreFileCheck check;
    const int verdict = check.Check(path.c_str());
    if (options.Has(kOptJson)) {
        WriteJson(io.out, path, check.GetFindings(), verdict);
    } else {
        WriteText(io.out, path, check.GetFindings(), verdict);
    }
    return verdict;
}

}  // namespace qorreg
