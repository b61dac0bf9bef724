// The command line as a whole: parse, answer --help and --version, check
// the verb's operands and options, then run the verb.
#include "Help.h"
#include "Session.h"
#include "Text.h"
#include "Verbs.h"
#include "host/Host.h"

#include <sstream>

#ifndef QORREG_VERSION
#  define QORREG_VERSION "unknown"
#endif

namespace qor::qorreg {
namespace {

struct VerbEntry {
    const char* name;
    int (*run)(const Options&, Io&);
    std::size_t minOperands;
    std::size_t maxOperands;
    unsigned accepted;  // options the verb takes besides --help and --version
    bool needsFile;     // works on the store named with -f
    bool fileOperand;   // -f FILE stands for its first FILE operand
};

const VerbEntry kVerbs[] = {
    {"query", QueryVerb, 0, 1, kOptFile | kOptValue | kOptSubtree | kOptJson, true, false},
    {"add", AddVerb, 1, 1, kOptFile | kOptValue | kOptType | kOptData | kOptWait | kOptCreate, true, false},
    {"delete", DeleteVerb, 1, 1, kOptFile | kOptValue | kOptWait | kOptCreate, true, false},
    {"copy", CopyVerb, 2, 2, kOptFile | kOptWait | kOptCreate, true, false},
    {"export", ExportVerb, 1, 2, kOptFile | kOptApp | kOptRegedit | kOptUtf16 | kOptTwain | kOptAll, true, false},
    {"import", ImportVerb, 1, 1, kOptFile | kOptWait | kOptCreate | kOptAs | kOptStrict, true, false},
    {"validate", ValidateVerb, 1, 1, kOptFile, false, true},
    {"root", RootVerb, 1, 1, kOptFile | kOptTwain, true, false},
    {"compare", CompareVerb, 2, 3, kOptFile | kOptSubtree | kOptJson, false, true},
    {"check", CheckVerb, 1, 1, kOptFile | kOptJson, false, true},
};

// --codepage applies to every verb.
const Option kAllOptions[] = {kOptFile,    kOptValue, kOptType, kOptData, kOptSubtree, kOptApp, kOptTwain, kOptWait,
                              kOptRegedit, kOptUtf16, kOptJson, kOptAs,   kOptCreate,  kOptAll, kOptStrict};

// Verbs as reg.exe users type them (QUERY, Add) are taken in lower case.
std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// compare answers as the Windows registry tool's compare does, where 2
// means "different": any failure there, usage errors included, is 1.
int FailureStatusOf(const std::string& verb) {
    return LowerAscii(verb) == "compare" ? kExitCompareFailed : kExitFailure;
}

const VerbEntry* FindVerb(const std::string& name) {
    for (const VerbEntry& verb : kVerbs) {
        if (name == verb.name) return &verb;
    }
    return nullptr;
}

// Whether operand index (of count) names a file rather than a text of the store.
bool IsFileOperand(const VerbEntry& verb, std::size_t index, std::size_t count) {
    const std::string name = verb.name;
    if (name == "import" || name == "validate" || name == "check") return true;
    if (name == "export") return index + 1 == count;
    return name == "compare" && index < 2;
}

// The store's texts given on the command line (KEY, SRC, DST, MODULE, -v
// NAME, -d DATA), converted to the file's code page.
int ConvertGivenTexts(const VerbEntry& verb, Options& options, Io& io) {
    std::vector<std::string*> texts{&options.value, &options.data};
    for (std::size_t i = 0; i < options.operands.size(); ++i) {
        if (!IsFileOperand(verb, i, options.operands.size())) texts.push_back(&options.operands[i]);
    }
    for (std::string* text : texts) {
        std::string converted;
        if (!ToFileText(*text, converted)) {
            return Fail(io, FailureStatusOf(verb.name),
                        "not a text of code page " + CodePageName(FileCodePage()) + " (see --codepage): " + *text);
        }
        *text = std::move(converted);
    }
    return kExitOk;
}

// "-" as a file to read: standard input, copied to a temporary file that
// the verb reads by its path. Only one file can be standard input.
int ReadStandardInput(const VerbEntry& verb, Options& options, StandardInputFile& copy, Io& io) {
    std::vector<std::string*> inputs;
    const bool reads = (verb.accepted & (kOptWait | kOptCreate)) == 0;
    if (options.Has(kOptFile) && options.file == "-" && !verb.fileOperand) {
        if (!reads)
            return Fail(io, kExitFailure,
                        std::string(verb.name) + " changes FILE: -f - (standard input) is for reading verbs");
        inputs.push_back(&options.file);
    }
    for (std::size_t i = 0; i < options.operands.size(); ++i) {
        const bool input = verb.fileOperand ? i < 2 : std::string(verb.name) == "import" && i == 0;
        if (input && options.operands[i] == "-") inputs.push_back(&options.operands[i]);
    }
    if (inputs.empty()) return kExitOk;
    if (inputs.size() > 1) return Fail(io, FailureStatusOf(verb.name), "only one file can be standard input (-)");
    host::UseBinaryStandardStreams();
    if (!copy.Copy(io.in)) return Fail(io, FailureStatusOf(verb.name), "cannot read standard input");
    *inputs.front() = copy.Path();
    io.standardInput = copy.Path();
    return kExitOk;
}

int UsageError(Io& io, const std::string& message, const std::string& helpCommand, int status = kExitFailure) {
    return Fail(io, status, message + " (see " + helpCommand + ")");
}

// The operand count and options of the command line against the verb's.
int CheckVerbUse(const VerbEntry& verb, const Options& options, Io& io) {
    std::string help = std::string("qorreg ") + verb.name + " --help";
    const int status = FailureStatusOf(verb.name);
    for (Option option : kAllOptions) {
        if (options.Has(option) && (verb.accepted & option) == 0) {
            return UsageError(io, "option " + OptionName(option) + " does not apply to " + verb.name, help, status);
        }
    }
    std::size_t count = options.operands.size();
    if (count < verb.minOperands) return UsageError(io, std::string("missing argument for ") + verb.name, help, status);
    if (count > verb.maxOperands) {
        return UsageError(io, "unexpected argument: " + options.operands[verb.maxOperands], help, status);
    }
    if (verb.needsFile && !options.Has(kOptFile)) {
        return UsageError(io, std::string("no store file given with -f FILE for ") + verb.name, help, status);
    }
    return kExitOk;
}

int Dispatch(Options options, Io& io) {
    if (options.Has(kOptVersion)) {
        // -V among other arguments is a reg.exe user's /V for a value name: nothing is changed.
        if (!options.verb.empty() || options.given != kOptVersion) {
            return UsageError(io, "-V/--version stands alone; a value name is given with -v NAME", "qorreg --help",
                              FailureStatusOf(options.verb));
        }
        io.out << "qorreg (QorCommonLib) " << QORREG_VERSION << '\n';
        return kExitOk;
    }
    const VerbEntry* verb = FindVerb(LowerAscii(options.verb));
    if (options.Has(kOptHelp) && options.verb.empty()) {
        WriteToolHelp(io.out);
        return kExitOk;
    }
    if (options.verb.empty()) return UsageError(io, "no verb given", "qorreg --help");
    if (verb == nullptr) return UsageError(io, "unknown verb: " + options.verb, "qorreg --help");
    if (options.Has(kOptHelp)) {
        WriteVerbHelp(io.out, *FindVerbHelp(verb->name));
        return kExitOk;
    }
    if (verb->fileOperand && options.Has(kOptFile)) options.operands.insert(options.operands.begin(), options.file);
    if (int status = CheckVerbUse(*verb, options, io)) return status;
    if (!SelectFileCodePage(options.codePage)) {
        return UsageError(io, "unknown code page (such as 1252 or utf-8): " + options.codePage, "qorreg --help",
                          FailureStatusOf(verb->name));
    }
    if (int status = ConvertGivenTexts(*verb, options, io)) return status;
    StandardInputFile standardInput;
    if (int status = ReadStandardInput(*verb, options, standardInput, io)) return status;
    return verb->run(options, io);
}

}  // namespace

int Fail(Io& io, int status, const std::string& message) {
    std::string text;
    std::size_t from = 0;
    for (std::size_t at; !io.standardInput.empty() && (at = message.find(io.standardInput, from)) != std::string::npos;
         from = at + io.standardInput.size()) {
        text.append(message, from, at - from).append("-");
    }
    text.append(message, from, std::string::npos);
    io.err << "qorreg: " << Printable(text) << '\n';
    return status;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::istringstream nothing;
    return Run(args, nothing, out, err);
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    Io io{in, out, err};
    ParseResult parsed = ParseArgs(args);
    if (!parsed.error.empty()) {
        return UsageError(io, parsed.error, "qorreg --help", FailureStatusOf(parsed.options.verb));
    }
    return Dispatch(parsed.options, io);
}

}  // namespace qor::qorreg
