// The verbs of qorreg. Each takes the parsed command line (already checked
// for the verb's operand count and options) and the streams to write to,
// and returns the exit status (Io.h).
#ifndef QOR_TOOLS_QORREG_VERBS_H
#define QOR_TOOLS_QORREG_VERBS_H

#include <string>
#include <vector>

#include "Args.h"
#include "Io.h"
#include "KeyPath.h"
#include "StoreView.h"

namespace qor::qorreg {

// Reading verbs.
int QueryVerb(const Options& options, Io& io);     // -f FILE query KEY [-v NAME] [-s]
int ExportVerb(const Options& options, Io& io);    // -f FILE export [--twain | --app | --utf16] KEY OUT | --all OUT
int ValidateVerb(const Options& options, Io& io);  // validate FILE
int RootVerb(const Options& options, Io& io);      // -f FILE root [--twain] MODULE

// Verbs for support: they read files and never write them.
int CompareVerb(const Options& options, Io& io);  // compare FILE_A FILE_B [KEY] [-s] [--json]
int CheckVerb(const Options& options, Io& io);    // check FILE [--json]

// A value's data as query shows it, read through the library's typed getters
// with store attached as the process-wide store for the moment of the read.
std::string ShowValueData(CIniClass& store, const std::string& key, const StoredValue& value);

// Changing verbs: they save the whole store back to FILE.
int AddVerb(const Options& options, Io& io);     // -f FILE add KEY [-v NAME [-t TYPE] [-d DATA]]
int DeleteVerb(const Options& options, Io& io);  // -f FILE delete KEY [-v NAME]
int CopyVerb(const Options& options, Io& io);    // -f FILE copy SRC DST
int ImportVerb(const Options& options, Io& io);  // -f FILE import IN

// query --json: key (found in store, tree built below it) as one JSON object.
int QueryJson(const Options& options, CIniClass& store, const KeyTree& tree, const std::string& key, Io& io);

// Reads a key operand; kExitOk, or kExitFailure with the reason reported.
int ReadKeyOperand(const std::string& text, std::string& key, Io& io);

// Runs a whole command line (the arguments after the program name); in is
// what "-" as an input file reads.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
// The same, with nothing to read on standard input (in-process tests).
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qor::qorreg

#endif
