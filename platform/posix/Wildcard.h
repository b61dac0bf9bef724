// Wildcard matching of one file name, the way folder searches match names.
#ifndef QOR_PLATFORM_POSIX_WILDCARD_H
#define QOR_PLATFORM_POSIX_WILDCARD_H

#include <string_view>

namespace qor::platform::posix {

// True when name matches pattern: '*' any run of characters, '?' exactly one,
// anything else itself (case-sensitive). A pattern ending in ".*" also
// matches names without that extension, so "*.*" matches every name.
bool WildcardMatches(std::string_view pattern, std::string_view name);

// True when the text holds '*' or '?'.
bool HasWildcard(std::string_view text);

}  // namespace qor::platform::posix

#endif
