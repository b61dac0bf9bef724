#include "KeyPath.h"

namespace qor::qorreg {
namespace {

const std::pair<const char*, const char*> kShortRoots[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"},   {"HKCR", "HKEY_CLASSES_ROOT"},
    {"HKU", "HKEY_USERS"},          {"HKCC", "HKEY_CURRENT_CONFIG"},
};

// A first name that begins with "HK" but is no root name is a mistyped
// root (HKLN), not a key without a root name.
bool IsMistypedRoot(const std::string& first) { return first.rfind("HK", 0) == 0 && !IsRootName(first); }

// True when text is name alone or name followed by a backslash.
bool BeginsWithName(const std::string& text, const std::string& name) {
    return text.compare(0, name.size(), name) == 0 && (text.size() == name.size() || text[name.size()] == '\\');
}

}  // namespace

bool IsRootName(const std::string& name) {
    for (const auto& root : kShortRoots) {
        if (name == root.second) return true;
    }
    return false;
}

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
    if (IsMistypedRoot(path.substr(0, path.find('\\')))) {
        error =
            "unknown root in key (use HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS, "
            "HKEY_CURRENT_CONFIG or HKLM, HKCU, HKCR, HKU, HKCC): " +
            text;
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

}  // namespace qor::qorreg
