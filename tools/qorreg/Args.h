// Command-line parsing in the GNU manner: short options (-f FILE, -fFILE,
// clustered flags such as -sv NAME), long options (--file FILE,
// --file=FILE), options anywhere among the operands, and "--" ending the
// options. The first operand is the verb; the rest are its arguments.
#ifndef QOR_TOOLS_QORREG_ARGS_H
#define QOR_TOOLS_QORREG_ARGS_H

#include <cstdint>
#include <string>
#include <vector>

#include <QorCommonLib.h>

namespace qor::qorreg {

// One bit per option, so that a verb can say which options it accepts.
enum Option : unsigned {
    kOptFile = 1u << 0,
    kOptValue = 1u << 1,
    kOptType = 1u << 2,
    kOptData = 1u << 3,
    kOptSubtree = 1u << 4,
    kOptApp = 1u << 5,
    kOptTwain = 1u << 6,
    kOptHelp = 1u << 7,
    kOptVersion = 1u << 8,
    kOptWait = 1u << 9,
    kOptRegedit = 1u << 10,
    kOptUtf16 = 1u << 11,
    kOptJson = 1u << 12,
    kOptAs = 1u << 13,
    kOptCreate = 1u << 14,
    kOptAll = 1u << 15,
    kOptCodePage = 1u << 16,
    kOptStrict = 1u << 17,
};

// How long a changing verb waits for another writer's lock by default.
inline constexpr unsigned kDefaultWaitSeconds = 10;

struct Options {
    std::string verb;                   // empty when none was given
    std::vector<std::string> operands;  // the verb's arguments, in order
    unsigned given = 0;                 // Option bits seen
    std::string file, value, type, data, as, codePage;
    unsigned waitSeconds = kDefaultWaitSeconds;  // --wait SECONDS

    bool Has(Option option) const { return (given & option) != 0; }
};

struct ParseResult {
    Options options;
    std::string error;  // one line; empty when the command line parsed
};

// Parses the arguments that follow the program name. A repeated option
// keeps its last value.
ParseResult ParseArgs(const std::vector<std::string>& args);

// The spelling used in messages: "-f, --file" is shown as "--file".
std::string OptionName(Option option);

// A REG_DWORD argument: decimal digits, or 0x / 0X and hexadecimal digits,
// at most 4294967295. False for anything else.
bool ParseDwordArgument(const std::string& text, DWORD& value);

// A REG_BINARY argument: pairs of hexadecimal digits (00cc01ff), possibly
// none. False for an odd count or another character.
bool ParseBinaryArgument(const std::string& text, std::vector<BYTE>& bytes);

}  // namespace qor::qorreg

#endif
