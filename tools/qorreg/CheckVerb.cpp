// check: what loading a store file does with each of its lines, found by
// the library's own reader (CStoreFileCheck), told in words.
//
// Text report: one finding per line, as compilers write them,
//   FILE:LINE: warning: what is found: what the store does with it
// followed by the line itself, then a last line with the verdict.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "FileKinds.h"
#include "Format.h"
#include "Json.h"
#include "Text.h"
#include "Session.h"
#include "Verbs.h"

namespace qor::qorreg {
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
std::string ShownStored(const std::string& key, const std::string& name, const std::string& text) {
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
        case CStoreFileCheck::MarkerMissing:
            return WholeFileWords(f.kind);
        case CStoreFileCheck::KeyNamedAgain:
            return KeyNamedAgainWords(key, f.otherLine);
        case CStoreFileCheck::NulByte:
            return {"a NUL byte in the line",
                    "programs pass texts that end at a NUL, so what follows it cannot be reached"};
        case CStoreFileCheck::NoSection:
            return {"a value before the first key line", "ignored"};
        case CStoreFileCheck::NotASection:
            if (!name.empty()) return {"begins with \"[\" but is no key line", "read as the value " + name + in};
            return {"begins with \"[\" but is no key line (its first \"]\" must end it)",
                    key.empty() ? "ignored" : "ignored; the values below it go to " + key};
        case CStoreFileCheck::NoEquals:
            return {"neither a key line nor NAME=DATA", "ignored"};
        case CStoreFileCheck::EmptyName:
            return {"no name before \"=\"", "ignored"};
        case CStoreFileCheck::EmptyData:
            return {"no data after \"=\"", "ignored"};
        case CStoreFileCheck::UnendedLastLine:
            return {"the last line has no line end", "ignored"};
        case CStoreFileCheck::ValueNamedAgain:
            return {"value " + name + in + " is named again (first on line " + other + ")",
                    "this line's value is kept, the earlier one is lost"};
        case CStoreFileCheck::NameReadOtherwise:
            return {"the value name is not read as written", "stored under the name " + name};
        case CStoreFileCheck::DataReadOtherwise:
            return {"value " + name + in + " is not read as written",
                    "stored as " + ShownStored(key, name, f.stored.GetString())};
        case CStoreFileCheck::ChangedBySave:
            return {"value " + name + in + " does not survive the next save",
                    f.saved.IsEmpty() ? std::string("it is not written back")
                                      : "it reads back as " + ShownStored(key, name, f.saved.GetString())};
        case CStoreFileCheck::MarkerMisplaced:
            return {"an end marker line that is not at the end", "skipped; it does not mark the file complete"};
    }
    return {"?", "?"};
}

const char* VerdictText(int verdict, bool regedit) {
    if (regedit) {
        return verdict == CStoreFileCheck::Clean      ? "clean: import takes every line"
               : verdict == CStoreFileCheck::Warnings ? "import leaves out the lines above and takes the rest"
                                                      : "import cannot read it";
    }
    return verdict == CStoreFileCheck::Clean      ? "clean: every line is read as written and survives a save"
           : verdict == CStoreFileCheck::Warnings ? "the store loads it, with the warnings above"
                                                  : "the store cannot load it";
}

// One finding as the report shows it: the library's, or one of the tool's
// own about the file's code page.
struct Reported {
    unsigned line = 0;
    bool fatal = false;
    const char* kind = "";
    unsigned firstLine = 0;
    std::string key, name, text;  // the file's texts, as stored
    Words words;
};

std::vector<Reported> FromLibrary(const CArray<Finding>& findings) {
    std::vector<Reported> reported;
    for (CArray<Finding>::INT_PTR i = 0; i < findings.GetSize(); ++i) {
        const Finding& f = findings[i];
        reported.push_back({f.line, CStoreFileCheck::IsFatal(f.kind) == 1, KindId(f.kind), f.otherLine,
                            f.key.GetString(), f.name.GetString(), f.text.GetString(), Describe(f)});
    }
    return reported;
}

// Lines whose text is not valid in the file's code page, and a file whose
// 8-bit text is UTF-8 on some lines and not on others (a file written by
// programs in two code pages).
std::vector<Reported> CodePageFindings(const std::string& path) {
    std::vector<Reported> found;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    unsigned number = 0, utf8Line = 0, otherLine = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            continue;
        unsigned& first = IsUtf8(line) ? utf8Line : otherLine;
        if (first == 0) first = number;
        if (!ValidInFileCodePage(line)) {
            found.push_back({number,
                             false,
                             "not-in-code-page",
                             0,
                             {},
                             {},
                             line,
                             {"a text that is not valid in code page " + CodePageName(FileCodePage()),
                              "shown as its bytes (see --codepage)"}});
        }
    }
    if (utf8Line != 0 && otherLine != 0) {
        found.push_back({0,
                         false,
                         "mixed-8-bit-text",
                         0,
                         {},
                         {},
                         {},
                         {"UTF-8 text (line " + std::to_string(utf8Line) + ") mixed with other 8-bit text (line " +
                              std::to_string(otherLine) + ")",
                          "one of them shows wrongly in any code page"}});
    }
    return found;
}

void WriteText(std::ostream& out, const std::string& path, const std::vector<Reported>& findings, int verdict,
               bool regedit) {
    std::size_t warnings = 0, errors = 0;
    for (const Reported& f : findings) {
        ++(f.fatal ? errors : warnings);
        out << Printable(path) << (f.line != 0 ? ":" + std::to_string(f.line) : std::string()) << ": "
            << (f.fatal ? "error: " : "warning: ") << Shown(f.words.found) << ": " << Shown(f.words.does) << '\n';
        if (!f.text.empty()) out << "    " << Shown(f.text) << '\n';
    }
    out << Printable(path) << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning: " : " warnings: ") << VerdictText(verdict, regedit) << '\n';
}

const char* VerdictId(int verdict) {
    return verdict == CStoreFileCheck::Clean      ? "clean"
           : verdict == CStoreFileCheck::Warnings ? "warnings"
                                                  : "cannot-load";
}

void WriteJsonReport(std::ostream& out, const std::string& path, const std::vector<Reported>& findings, int verdict,
                     bool regedit) {
    Json list = Json::array();
    for (const Reported& f : findings) {
        Json finding{{"line", f.line}, {"severity", f.fatal ? "error" : "warning"}, {"kind", f.kind}};
        if (f.firstLine != 0) finding["first_line"] = f.firstLine;
        if (!f.key.empty()) finding["key"] = Utf8Of(f.key);
        if (!f.name.empty()) finding["name"] = Utf8Of(f.name);
        if (!f.text.empty()) finding["text"] = Utf8Of(f.text);
        finding["message"] = Utf8Of(f.words.found + ": " + f.words.does);
        list.push_back(std::move(finding));
    }
    WriteJson(out, {{"file", path},
                    {"status", verdict},
                    {"verdict", VerdictId(verdict)},
                    {"findings", std::move(list)},
                    {"message", VerdictText(verdict, regedit)}});
}

// A regedit file: the lines the regedit reader of import leaves out, each a
// warning; UTF-16 text it cannot convert, an error. -1 when the file has no
// regedit header after all (a UTF-16 file): the store's check then speaks.
int CheckRegedit(const std::string& path, std::vector<Reported>& findings) {
    std::ifstream in(path, std::ios::binary);
    const CString text(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    CRegeditFile reader;
    CIniClass probe;
    if (reader.ImportText(probe, text) != 1) {
        if (reader.GetProblem() != CRegeditFile::BadUtf16) return -1;
        findings.push_back(
            {0,
             true,
             "utf16",
             0,
             {},
             {},
             {},
             {"UTF-16 text that cannot be converted to the store's text", "import reads nothing of it"}});
        return CStoreFileCheck::CannotLoad;
    }
    const CArray<CRegeditFile::Skipped>& skipped = reader.GetSkipped();
    for (CArray<CRegeditFile::Skipped>::INT_PTR i = 0; i < skipped.GetSize(); ++i) {
        findings.push_back({skipped[i].line,
                            false,
                            "skipped",
                            0,
                            {},
                            {},
                            {},
                            {skipped[i].reason.GetString(), "import leaves it out"}});
    }
    return skipped.GetSize() == 0 ? CStoreFileCheck::Clean : CStoreFileCheck::Warnings;
}

}  // namespace

int CheckVerb(const Options& options, Io& io) {
    const std::string& path = options.operands[0];
    std::string problem = ReadProblem(path);
    if (!problem.empty()) return Fail(io, CStoreFileCheck::CannotLoad, problem + ": " + path);
    std::vector<Reported> findings;
    int verdict = DetectInputKind(path) == InputKind::Regedit ? CheckRegedit(path, findings) : -1;
    const bool regedit = verdict >= 0;
    if (!regedit) {
        CStoreFileCheck check;
        verdict = check.Check(path.c_str());
        findings = FromLibrary(check.GetFindings());
        std::vector<Reported> textFindings = CodePageFindings(path);
        if (!textFindings.empty() && verdict == CStoreFileCheck::Clean) verdict = CStoreFileCheck::Warnings;
        findings.insert(findings.end(), textFindings.begin(), textFindings.end());
    }
    if (options.Has(kOptJson)) {
        WriteJsonReport(io.out, Named(io, path), findings, verdict, regedit);
    } else {
        WriteText(io.out, Named(io, path), findings, verdict, regedit);
    }
    return verdict;
}

}  // namespace qor::qorreg
