// The command line as a whole: parse, answer --help and --version, check
// the verb's operands and options, then run the verb.
#include "Help.h"
#include "Verbs.h"

#ifndef QORREG_VERSION
#define QORREG_VERSION "unknown"
#endif

namespace qorreg {
namespace {

struct VerbEntry {
    const char* name;
    int (*run)(const Options&, Io&);
    std::size_t minOperands;
    std::size_t maxOperands;
    unsigned accepted;  // options the verb takes besides --help and --version
};

const VerbEntry kVerbs[] = {
    {"query", QueryVerb, 1, 1, kOptFile | kOptValue | kOptSubtree | kOptJson},
    {"add", AddVerb, 1, 1, kOptFile | kOptValue | kOptType | kOptData | kOptWait},
    {"delete", DeleteVerb, 1, 1, kOptFile | kOptValue | kOptWait},
    {"copy", CopyVerb, 2, 2, kOptFile | kOptWait},
    {"export", ExportVerb, 1, 2, kOptFile | kOptApp | kOptRegedit | kOptUtf16},
    {"import", ImportVerb, 1, 1, kOptFile | kOptWait},
    {"validate", ValidateVerb, 0, 1, kOptFile},
    {"root", RootVerb, 1, 1, kOptFile | kOptTwain},
};

const Option kAllOptions[] = {kOptFile, kOptValue, kOptType, kOptData, kOptSubtree, kOptApp, kOptTwain,
                             kOptWait, kOptRegedit, kOptUtf16, kOptJson};

const VerbEntry* FindVerb(const std::string& name) {
    for (const VerbEntry& verb : kVerbs) {
        if (name == verb.name) return &verb;
    }
    return nullptr;
}

int UsageError(Io& io, const std::string& message, const std::string& helpCommand) {
    return Fail(io, kExitFailure, message + " (see " + helpCommand + ")");
}

// The operand count and options of the command line against the verb's.
int CheckVerbUse(const VerbEntry& verb, const Options& options, Io& io) {
    std::string help = std::string("qorreg ") + verb.name + " --help";
    for (Option option : kAllOptions) {
        if (options.Has(option) && (verb.accepted & option) == 0) {
            return UsageError(io, "option " + OptionName(option) + " does not apply to " + verb.name, help);
        }
    }
    std::size_t count = options.operands.size();
    if (count < verb.minOperands) return UsageError(io, std::string("missing argument for ") + verb.name, help);
    if (count > verb.maxOperands) return UsageError(io, "unexpected argument: " + options.operands[verb.maxOperands], help);
    // Every verb but validate works on the store named with -f.
    if (verb.run != ValidateVerb && !options.Has(kOptFile)) {
        return UsageError(io, std::string("no store file given with -f FILE for ") + verb.name, help);
    }
    return kExitOk;
}

int Dispatch(const Options& options, Io& io) {
    if (options.Has(kOptVersion)) {
        io.out << "qorreg (QorCommonLib) " << QORREG_VERSION << '\n';
        return kExitOk;
    }
    const VerbEntry* verb = FindVerb(options.verb);
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
    if (int status = CheckVerbUse(*verb, options, io)) return status;
    return verb->run(options, io);
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Io io{out, err};
    ParseResult parsed = ParseArgs(args);
    if (!parsed.error.empty()) return UsageError(io, parsed.error, "qorreg --help");
    return Dispatch(parsed.options, io);
}

}  // namespace qorreg
