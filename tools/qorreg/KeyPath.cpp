#include "KeyPath.h"

namespace qorreg {
namespace {

struct RootName {
    const char* shortName;
    const char* longName;
    HKEY handle;
};

const RootName kRoots[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
};

// True when text is name alone or name followed by a backslash.
bool BeginsWithRoot(const std::string& text, const std::string& name) {
    return text.compare(0, name.size(), name) == 0 &&
           (text.size() == name.size() || text[name.size()] == '\\');
}

// Splits a full key path into root handle and sub-key; false for an unknown root.
bool SplitRoot(const std::string& full, HKEY& root, std::string& sub) {
    for (const RootName& rootName : kRoots) {
        std::string name = rootName.longName;
        if (BeginsWithRoot(full, name)) {
            root = rootName.handle;
            sub = full.size() > name.size() ? full.substr(name.size() + 1) : std::string();
            return true;
        }
    }
    return false;
}

}  // namespace

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string CanonicalKeyText(const std::string& text) {
    std::string upper = UpperAscii(text);
    for (const RootName& root : kRoots) {
        if (BeginsWithRoot(upper, root.shortName)) {
            return root.longName + upper.substr(std::string(root.shortName).size());
        }
    }
    return upper;
}

bool ParseKeyPath(const std::string& text, KeyPath& key, std::string& error) {
    std::string full = CanonicalKeyText(text);
    while (!full.empty() && full.back() == '\\') full.pop_back();
    if (!SplitRoot(full, key.root, key.sub)) {
        error = "unknown root in key (use HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKLM or HKCU): " + text;
        return false;
    }
    if (full.size() > kMaxKeyPathLength) {
        error = "key path longer than " + std::to_string(kMaxKeyPathLength) + " characters: " + text;
        return false;
    }
    if (key.sub.find("\\\\") != std::string::npos || (!key.sub.empty() && key.sub.front() == '\\')) {
        error = "empty key name in key path: " + text;
        return false;
    }
    key.full = full;
    return true;
}

}  // namespace qorreg
