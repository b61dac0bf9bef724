#include "Args.h"

#include <charconv>

namespace qor::qorreg {
namespace {

struct OptionEntry {
    char shortName;  // 0: long form only
    const char* longName;
    bool takesValue;
    Option bit;
};

const OptionEntry kOptionTable[] = {
    {'f', "file", true, kOptFile},        {'v', "value", true, kOptValue},
    {'t', "type", true, kOptType},        {'d', "data", true, kOptData},
    {'s', "subtree", false, kOptSubtree}, {0, "app", false, kOptApp},
    {0, "twain", false, kOptTwain},       {0, "wait", true, kOptWait},
    {'h', "help", false, kOptHelp},       {'V', "version", false, kOptVersion},
    {0, "regedit", false, kOptRegedit},   {0, "utf16", false, kOptUtf16},
    {0, "json", false, kOptJson},         {0, "as", true, kOptAs},
    {0, "create", false, kOptCreate},     {0, "all", false, kOptAll},
    {0, "codepage", true, kOptCodePage},  {0, "strict", false, kOptStrict},
};

const OptionEntry* FindShort(char name) {
    for (const OptionEntry& entry : kOptionTable) {
        if (entry.shortName != 0 && entry.shortName == name) return &entry;
    }
    return nullptr;
}

const OptionEntry* FindLong(const std::string& name) {
    for (const OptionEntry& entry : kOptionTable) {
        if (name == entry.longName) return &entry;
    }
    return nullptr;
}

// A whole number of seconds, 0 to a day: the wait for another writer's lock.
bool ParseWaitSeconds(const std::string& text, unsigned& seconds) {
    constexpr unsigned kLongestWait = 24 * 60 * 60;
    if (text.empty() || text.size() > 5) return false;
    unsigned number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number > kLongestWait) return false;
    seconds = number;
    return true;
}

// Records an option; the error text when its value is not acceptable.
std::string Record(Options& options, const OptionEntry& entry, const std::string& value) {
    options.given |= entry.bit;
    if (entry.bit == kOptWait && !ParseWaitSeconds(value, options.waitSeconds)) {
        return "--wait needs a whole number of seconds from 0 to 86400: " + value;
    }
    switch (entry.bit) {
        case kOptFile:
            options.file = value;
            break;
        case kOptValue:
            options.value = value;
            break;
        case kOptType:
            options.type = value;
            break;
        case kOptData:
            options.data = value;
            break;
        case kOptAs:
            options.as = value;
            break;
        case kOptCodePage:
            options.codePage = value;
            break;
        default:
            break;
    }
    return std::string();
}

// Walks the arguments once; options may come before, between and after operands.
class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    ParseResult Run() {
        bool optionsEnded = false;
        for (index_ = 0; index_ < args_.size() && result_.error.empty(); ++index_) {
            const std::string& arg = args_[index_];
            if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
                AddOperand(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (arg[1] == '-') {
                LongOption(arg.substr(2));
            } else {
                ShortCluster(arg);
            }
        }
        return result_;
    }

private:
    void AddOperand(const std::string& arg) {
        Options& o = result_.options;
        if (o.verb.empty() && o.operands.empty()) {
            o.verb = arg;
        } else {
            o.operands.push_back(arg);
        }
    }

    void LongOption(const std::string& body) {
        std::size_t equals = body.find('=');
        std::string name = body.substr(0, equals);
        const OptionEntry* entry = FindLong(name);
        if (entry == nullptr) {
            result_.error = "unknown option: --" + name;
        } else if (!entry->takesValue) {
            if (equals != std::string::npos)
                result_.error = "option --" + name + " takes no value";
            else
                Take(*entry, std::string());
        } else if (equals != std::string::npos) {
            Take(*entry, body.substr(equals + 1));
        } else {
            TakeNextAsValue(*entry);
        }
    }

    // "-sv NAME", "-fFILE": flags first, a value-taking option ends the cluster.
    void ShortCluster(const std::string& arg) {
        for (std::size_t i = 1; i < arg.size(); ++i) {
            const OptionEntry* entry = FindShort(arg[i]);
            if (entry == nullptr) {
                result_.error = std::string("unknown option: -") + arg[i];
                return;
            }
            if (!entry->takesValue) {
                Take(*entry, std::string());
            } else if (i + 1 < arg.size()) {
                Take(*entry, arg.substr(i + 1));
                return;
            } else {
                TakeNextAsValue(*entry);
                return;
            }
        }
    }

    void Take(const OptionEntry& entry, const std::string& value) {
        std::string error = Record(result_.options, entry, value);
        if (!error.empty()) result_.error = error;
    }

    void TakeNextAsValue(const OptionEntry& entry) {
        if (index_ + 1 >= args_.size()) {
            result_.error = "option " + OptionName(entry.bit) + " needs a value";
            return;
        }
        ++index_;
        Take(entry, args_[index_]);
    }

    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
    ParseResult result_;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

ParseResult ParseArgs(const std::vector<std::string>& args) { return Parser(args).Run(); }

std::string OptionName(Option option) {
    for (const OptionEntry& entry : kOptionTable) {
        if (entry.bit == option) return std::string("--") + entry.longName;
    }
    return "?";
}

bool ParseDwordArgument(const std::string& text, DWORD& value) {
    int base = 10;
    std::size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (first == last || HexDigit(*first) < 0 || (base == 10 && HexDigit(*first) > 9)) return false;
    std::uint64_t number = 0;
    auto [end, status] = std::from_chars(first, last, number, base);
    if (status != std::errc() || end != last || number > 0xFFFFFFFFull) return false;
    value = static_cast<DWORD>(number);
    return true;
}

bool ParseBinaryArgument(const std::string& text, std::vector<BYTE>& bytes) {
    if (text.size() % 2 != 0) return false;
    std::vector<BYTE> parsed;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = HexDigit(text[i]);
        int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        parsed.push_back(static_cast<BYTE>(high * 16 + low));
    }
    bytes = parsed;
    return true;
}

}  // namespace qor::qorreg
