// The key-handle rules both facades follow: which handle values are the
// predefined roots, how key paths are trimmed and joined, whether a path
// fits a handle's key field, and which access masks grant writing. Where
// the facades differ (which trimming, which write rule), the caller names
// the rule.
#ifndef QOR_CORE_KEYRULES_H
#define QOR_CORE_KEYRULES_H

#include <cstddef>
#include <string>
#include <string_view>

#include "QorWinTypes.h"
#include "util/SmallText.h"

namespace qor::core {

// Capacity of the key field of a CRegExt object and of a table handle.
inline constexpr std::size_t kKeyFieldSize = 1040;
// The longest key path a key field holds.
inline constexpr std::size_t kMaxKeyPath = kKeyFieldSize - 1;
inline bool FitsKeyField(std::string_view path) { return path.size() <= kMaxKeyPath; }

// ---- Handle values
enum class HandleKind { CurrentUser, LocalMachine, OtherRoot, Address };
// A predefined root is recognised by its low 32 bits, which 64-bit Windows
// sign-extends; a value whose high half is neither all zeros nor all ones
// is an address, never a root.
HandleKind KindOf(const void* handle);
// "HKEY_CURRENT_USER\" or "HKEY_LOCAL_MACHINE\" for those two kinds, else empty.
std::string_view RootPrefix(HandleKind kind);

// ---- Key path text
void TrimTrailingBackslashes(std::string& path);
void TrimBackslashes(std::string& path);  // both ends
// parent + "\" + sub.
std::string JoinKeyPath(std::string_view parent, std::string_view sub);
using qor::TextOrEmpty;

// ---- Write right
// The KEY_WRITE bits, the only access-mask bits either facade reads.
inline constexpr DWORD kWriteBits = 0x20006;
enum class WriteRule {
    AllBits,  // opening: every KEY_WRITE bit must be set
    AnyBit,   // creating: one KEY_WRITE bit is enough
};
// The write flag (1 or 0) that mask grants under rule.
inline int WriteFlag(DWORD mask, WriteRule rule) {
    const DWORD held = mask & kWriteBits;
    return (rule == WriteRule::AllBits ? held == kWriteBits : held != 0) ? 1 : 0;
}

}  // namespace qor::core

#endif
