// The help texts of qorreg and of each verb.
#ifndef QOR_TOOLS_QORREG_HELP_H
#define QOR_TOOLS_QORREG_HELP_H

#include <ostream>
#include <string>

namespace qor::qorreg {

struct VerbHelp {
    const char* name;
    const char* usage;    // the arguments after "qorreg"
    const char* summary;  // one line for the overview
    const char* details;  // what --help adds after the usage line
};

// The help of a verb, or null when there is no such verb.
const VerbHelp* FindVerbHelp(const std::string& verb);

void WriteToolHelp(std::ostream& out);
void WriteVerbHelp(std::ostream& out, const VerbHelp& help);

}  // namespace qor::qorreg

#endif
