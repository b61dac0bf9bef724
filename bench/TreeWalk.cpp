#include "bench/TreeWalk.h"

#include <set>

#include "CRegExt.h"

namespace qor::bench {
namespace {

// FNV-1a over the name and a separator, so that the order of names counts.
void Fold(std::uint64_t& sum, std::string_view name) {
    for (const char c : name) sum = (sum ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    sum = (sum ^ '\\') * 0x100000001B3ull;
}

// One query through the class facade: the names a caller enumerates.
std::vector<std::string> ListWithRegExt(CRegExt& reg, const std::string& path) {
    std::vector<std::string> names;
    DWORD count = 0;
    DWORD longest = 0;
    const LONG result = reg.RegQueryInfoKeyA(path.c_str(), nullptr, nullptr, nullptr, &count, &longest, nullptr,
                                             nullptr, nullptr, nullptr, nullptr, nullptr);
    if (result != 0) return names;
    names.reserve(count);
    char name[260];
    for (DWORD i = 0; i < count; ++i) {
        reg.RegEnumKeyExA(static_cast<HKEY>(nullptr), i, name, nullptr, nullptr, nullptr, nullptr, nullptr);
        names.emplace_back(name);
    }
    reg.Close();
    return names;
}

template <typename List>
void Visit(const std::string& path, List&& list, WalkResult& result) {
    ++result.queries;
    const std::vector<std::string> names = list(path);
    for (const std::string& name : names) {
        ++result.names;
        Fold(result.checksum, name);
        Visit(path + "\\" + name, list, result);
    }
}

}  // namespace

WalkResult WalkWithRegExt(const std::string& root) {
    CRegExt reg;
    WalkResult result;
    Visit(
        root, [&reg](const std::string& path) { return ListWithRegExt(reg, path); }, result);
    return result;
}

std::vector<std::string> ScanDirectSubKeys(const std::vector<std::string>& keys, std::string_view key) {
    const std::string prefix = std::string(key) + "\\";
    std::set<std::string, std::less<>> names;
    for (const std::string& candidate : keys) {
        if (!candidate.starts_with(prefix)) continue;
        const std::string_view below = std::string_view(candidate).substr(prefix.size());
        names.emplace(below.substr(0, below.find('\\')));
    }
    return std::vector<std::string>(names.begin(), names.end());
}

WalkResult ScanPerQueryWalk(const std::vector<std::string>& keys, const std::string& root) {
    WalkResult result;
    Visit(
        root, [&keys](const std::string& path) { return ScanDirectSubKeys(keys, path); }, result);
    return result;
}

}  // namespace qor::bench
