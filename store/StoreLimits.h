// Limits of the store file that every reader checks before it reads.
#ifndef QOR_STORE_STORELIMITS_H
#define QOR_STORE_STORELIMITS_H

#include <cstdint>

namespace store {

// The largest store or import file the library reads: 256 MiB. The store holds about twice the
// file and an import reads the file whole before it merges, so a 32-bit process can always hold
// what is accepted. A larger file is refused before any of it is read.
inline constexpr std::uint64_t kMaxFileBytes = 256ull * 1024 * 1024;

}  // namespace store

#endif  // QOR_STORE_STORELIMITS_H
