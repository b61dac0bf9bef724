#include "platform/posix/Wildcard.h"

namespace qor::platform::posix {
namespace {

// Greedy match with one backtrack point: the last '*' seen. Linear in
// practice and never recursive, whatever the pattern.
bool MatchesPlain(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool WildcardMatches(std::string_view pattern, std::string_view name) {
    if (MatchesPlain(pattern, name)) return true;
    constexpr std::string_view kAnyExtension = ".*";
    if (pattern.size() > kAnyExtension.size() && pattern.ends_with(kAnyExtension)) {
        std::string_view stem = pattern.substr(0, pattern.size() - kAnyExtension.size());
        return name.find('.') == std::string_view::npos ? MatchesPlain(stem, name) : false;
    }
    return false;
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

}  // namespace qor::platform::posix
