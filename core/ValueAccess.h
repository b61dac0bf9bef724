// Typed value access shared by both facades: CRegExt's typed members and
// the function table's value slots call these, and differ only through the
// parameters below (which parse reads a DWORD, what a read-only default
// returns, whether an unreadable float counts as missing).
//
// A target is a store, a key text and the write right. Reads find nothing
// without a store; writes fail without a store, without the write right,
// or when the key text is empty (nothing is ever stored under "").
#ifndef QOR_CORE_VALUEACCESS_H
#define QOR_CORE_VALUEACCESS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CIniClass.h"

namespace qor::core {

struct ValueTarget {
    CIniClass* store;      // null: nothing found, nothing written
    std::string_view key;  // any case
    bool writable;         // the facade's write flag is exactly 1
};

enum class DwordParse { Strtoul0, Strtoul10, Atol };

// Where the getters with a default differ between the facades.
struct DefaultRules {
    int readOnlyResult;             // default delivered, not stored: CRegExt 1, table 0
    bool unreadableFloatIsMissing;  // CRegExt: yes (default delivered); table: no (0, nothing delivered)
};
inline constexpr DefaultRules kClassRules{1, true};
inline constexpr DefaultRules kTableRules{0, false};

// A value name given as a number: "%d".
std::string NameFromNumber(int number);

// Stores already encoded text. 1 when stored, else 0.
int StoreText(const ValueTarget& t, std::string_view name, std::string_view encoded);
// The value's text with its type prefix removed; false when missing.
bool FetchText(const ValueTarget& t, std::string_view name, std::string& text);
// The same text as a view into the store, valid until the store changes:
// for reads that parse it at once. nullopt when missing.
std::optional<std::string_view> FetchView(const ValueTarget& t, std::string_view name);

// Setters: 1 when stored, else 0.
int SetInt(const ValueTarget& t, std::string_view name, std::int32_t value);
int SetDword(const ValueTarget& t, std::string_view name, std::uint32_t value);
int SetString(const ValueTarget& t, std::string_view name, std::string_view value);
int SetIntList(const ValueTarget& t, std::string_view name, const std::int32_t* items, std::size_t count,
               std::int32_t offset);
int SetDwordList(const ValueTarget& t, std::string_view name, const std::uint32_t* items, std::size_t count,
                 std::uint32_t offset);
// count 32-bit elements; the low-order byte of each is stored (0xCC included).
int SetBytesFrom32(const ValueTarget& t, std::string_view name, const unsigned char* data, std::size_t count);

// Plain getters: 1 and out set when found (and, for a float, readable); else 0, out unchanged.
int GetInt(const ValueTarget& t, std::string_view name, std::int32_t& out);
int GetDword(const ValueTarget& t, std::string_view name, std::uint32_t& out, DwordParse parse);
int GetFloat(const ValueTarget& t, std::string_view name, float& out);

// Getters with a default, and with an inclusive range (a value outside it
// counts as missing; a NaN float passes). A missing value delivers def and,
// when the target may write, stores it: 1 when stored, 0 when not;
// otherwise rules.readOnlyResult.
int GetIntDefault(const ValueTarget& t, std::string_view name, std::int32_t& out, std::int32_t def,
                  const DefaultRules& rules);
int GetIntRange(const ValueTarget& t, std::string_view name, std::int32_t& out, std::int32_t min, std::int32_t def,
                std::int32_t max, const DefaultRules& rules);
int GetDwordDefault(const ValueTarget& t, std::string_view name, std::uint32_t& out, std::uint32_t def,
                    DwordParse parse, const DefaultRules& rules);
int GetDwordRange(const ValueTarget& t, std::string_view name, std::uint32_t& out, std::uint32_t min, std::uint32_t def,
                  std::uint32_t max, DwordParse parse, const DefaultRules& rules);
int GetFloatDefault(const ValueTarget& t, std::string_view name, float& out, float def, const DefaultRules& rules);
int GetFloatRange(const ValueTarget& t, std::string_view name, float& out, float min, float def, float max,
                  const DefaultRules& rules);

// Copies the text and its terminator into buffer. size is the buffer's
// capacity (0: unknown to the library, copied whatever its length); a text
// that does not fit is not copied. 1 when copied, else 0 (buffer untouched).
int GetStringInto(const ValueTarget& t, std::string_view name, char* buffer, std::uint32_t size);

// The pieces of a stored list, split at ",": each non-empty piece read as
// atoi (or atol, the same 32-bit reading) plus offset, modulo 2^32; empty
// pieces as nullopt. False when the value is missing.
bool FetchList(const ValueTarget& t, std::string_view name, std::uint32_t offset,
               std::vector<std::optional<std::uint32_t>>& items);

// Writes one byte per piece of a stored byte list into data. 1 / 0 (missing, data untouched).
int GetBytes(const ValueTarget& t, std::string_view name, unsigned char* data);

}  // namespace qor::core

#endif
