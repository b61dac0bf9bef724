#include "KeyPath.h"

namespace qorreg {
namespace {

const std::pair<const char*, const char*> kShortRoots[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE"},
    {"HKCU", "HKEY_CURRENT_USER"},
};

// Registry roots the store has no place for; a key beginning with one of
// them is a mistake, not a root-less key.
bool IsOtherRoot(const std::string& first) {
    if (first == "HKEY_LOCAL_MACHINE" || first == "HKEY_CURRENT_USER") return false;
    return first.rfind("HKEY_", 0) == 0 || first == "HKCR" || first == "HKU" || first == "HKCC";
}

// True when text is name alone or name followed by a backslash.
bool BeginsWithName(const std::string& text, const std::string& name) {
    return text.compare(0, name.size(), name) == 0 &&
           (text.size() == name.size() || text[name.size()] == '\\');
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
    for (const auto& [shortName, longName] : kShortRoots) {
        if (BeginsWithName(upper, shortName)) return longName + upper.substr(std::string(shortName).size());
    }
    return upper;
}

bool ParseKeyPath(const std::string& text, std::string& full, std::string& error) {
    std::string path = CanonicalKeyText(text);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    if (path.empty()) {
        error = "empty key path: '" + text + "'";
        return false;
    }
    if (IsOtherRoot(path.substr(0, path.find('\\')))) {
        error = "unknown root in key (use HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKLM or HKCU): " + text;
        return false;
    }
    if (path.front() == '\\' || path.find("\\\\") != std::string::npos) {
        error = "empty key name in key path: " + text;
        return false;
    }
    if (path.size() > kMaxKeyPathLength) {
        error = "key path longer than " + std::to_string(kMaxKeyPathLength) + " characters: " + text;
        return false;
    }
    full = path;
    return true;
}

}  // namespace qorreg
