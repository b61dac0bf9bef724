// Full-tree enumeration walks for the benchmarks: query a key, list every
// direct sub-key, recurse into each, starting from a root key.
//
// WalkWithRegExt goes through CRegExt::RegQueryInfoKeyA / RegEnumKeyExA on
// the process store, as a caller would. ScanPerQueryWalk is the naive
// reference: every query scans every key of the store, so a whole walk costs
// the number of keys squared.
#ifndef QOR_BENCH_TREEWALK_H
#define QOR_BENCH_TREEWALK_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor::bench {

struct WalkResult {
    std::size_t queries = 0;     // keys queried
    std::size_t names = 0;       // sub-key names enumerated
    std::uint64_t checksum = 0;  // of every name in visiting order
};

// Walks CRegExt::m_pIni from root (a full key path).
WalkResult WalkWithRegExt(const std::string& root);

// The direct sub-key names of key among keys, sorted, found by scanning
// every key.
std::vector<std::string> ScanDirectSubKeys(const std::vector<std::string>& keys, std::string_view key);
// Walks keys from root with ScanDirectSubKeys for every query.
WalkResult ScanPerQueryWalk(const std::vector<std::string>& keys, const std::string& root);

}  // namespace qor::bench

#endif
