// The value slots: thin wrappers over the shared typed value access, with
// the table's rules (a read-only default or range getter returns 0; a float
// that is found but unreadable returns 0 without a default; DWORD plain
// reads use strtoul, default and range reads atol). Slots by id format the
// id with "%d" and behave as their named twins.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ValueAccess.h"
#include "util/FixedText.h"
#include "table/Slots.h"

namespace qor::table {
namespace {

using core::DwordParse;
using core::kTableRules;
using core::ValueTarget;

ValueTarget TargetOf(const tagRegHandle& h) { return ValueTarget{h.pIni, FixedView(h.szKey), h.fWrite == 1}; }

// Null handles, names and out pointers fail every slot before it starts.
bool Usable(const tagRegHandle* h, const char* name, const void* out) {
    return h != nullptr && name != nullptr && out != nullptr;
}

std::string IdName(int id) { return core::NameFromNumber(id); }

// Fills a counted array from a stored list: element 0 the count, then each
// item; an empty item leaves its element as it was.
template <typename Element>
int FillCounted(tagRegHandle* h, Element* counted, const char* name, std::uint32_t offset) {
    if (!Usable(h, name, counted)) return 0;
    std::vector<std::optional<std::uint32_t>> items;
    if (!core::FetchList(TargetOf(*h), name, offset, items) || items.empty()) return 0;
    counted[0] = static_cast<Element>(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i]) counted[i + 1] = static_cast<Element>(*items[i]);
    }
    return 1;
}

template <typename Element>
std::size_t CountOf(const Element* counted) {
    const auto n = static_cast<std::int32_t>(counted[0]);
    return n < 1 ? 0u : static_cast<std::size_t>(n);
}

}  // namespace

// ---- Integers and Booleans

int GetInt(tagRegHandle* h, int* out, const char* name) {
    if (!Usable(h, name, out)) return 0;
    return core::GetInt(TargetOf(*h), name, *out);
}

int GetIntById(tagRegHandle* h, int* out, int id) { return GetInt(h, out, IdName(id).c_str()); }

int GetIntDefault(tagRegHandle* h, int* out, int def, const char* name) {
    if (!Usable(h, name, out)) return 0;
    return core::GetIntDefault(TargetOf(*h), name, *out, def, kTableRules);
}

int GetIntDefaultById(tagRegHandle* h, int* out, int def, int id) {
    return GetIntDefault(h, out, def, IdName(id).c_str());
}

int GetIntRange(tagRegHandle* h, int* out, int min, int def, int max, const char* name) {
    if (!Usable(h, name, out)) return 0;
    return core::GetIntRange(TargetOf(*h), name, *out, min, def, max, kTableRules);
}

int GetIntRangeById(tagRegHandle* h, int* out, int min, int def, int max, int id) {
    return GetIntRange(h, out, min, def, max, IdName(id).c_str());
}

int SetInt(tagRegHandle* h, int value, const char* name) {
    if (!Usable(h, name, name)) return 0;
    return core::SetInt(TargetOf(*h), name, value);
}

int SetIntById(tagRegHandle* h, int value, int id) { return SetInt(h, value, IdName(id).c_str()); }

// ---- Unsigned values

int GetDWord(tagRegHandle* h, DWORD* out, const char* name) {
    if (!Usable(h, name, out)) return 0;
    // DWORD is unsigned long on Windows: read through a 32-bit copy.
    std::uint32_t value = *out;
    const int result = core::GetDword(TargetOf(*h), name, value, DwordParse::Strtoul10);
    *out = value;
    return result;
}

int GetDWordById(tagRegHandle* h, DWORD* out, int id) { return GetDWord(h, out, IdName(id).c_str()); }

int GetDWordDefault(tagRegHandle* h, DWORD* out, DWORD def, const char* name) {
    if (!Usable(h, name, out)) return 0;
    std::uint32_t value = *out;
    const int result = core::GetDwordDefault(TargetOf(*h), name, value, def, DwordParse::Atol, kTableRules);
    *out = value;
    return result;
}

int GetDWordDefaultById(tagRegHandle* h, DWORD* out, DWORD def, int id) {
    return GetDWordDefault(h, out, def, IdName(id).c_str());
}

int GetDWordRange(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, const char* name) {
    if (!Usable(h, name, out)) return 0;
    std::uint32_t value = *out;
    const int result = core::GetDwordRange(TargetOf(*h), name, value, min, def, max, DwordParse::Atol, kTableRules);
    *out = value;
    return result;
}

int GetDWordRangeById(tagRegHandle* h, DWORD* out, DWORD min, DWORD def, DWORD max, int id) {
    return GetDWordRange(h, out, min, def, max, IdName(id).c_str());
}

int SetDWord(tagRegHandle* h, DWORD value, const char* name) {
    if (!Usable(h, name, name)) return 0;
    return core::SetDword(TargetOf(*h), name, value);
}

int SetDWordById(tagRegHandle* h, DWORD value, int id) { return SetDWord(h, value, IdName(id).c_str()); }

// ---- Floats (stored only by the default and range getters)

int GetFloat(tagRegHandle* h, float* out, const char* name) {
    if (!Usable(h, name, out)) return 0;
    return core::GetFloat(TargetOf(*h), name, *out);
}

int GetFloatById(tagRegHandle* h, float* out, int id) { return GetFloat(h, out, IdName(id).c_str()); }

int GetFloatDefault(tagRegHandle* h, float* out, float def, const char* name) {
    if (!Usable(h, name, out)) return 0;
    return core::GetFloatDefault(TargetOf(*h), name, *out, def, kTableRules);
}

int GetFloatDefaultById(tagRegHandle* h, float* out, float def, int id) {
    return GetFloatDefault(h, out, def, IdName(id).c_str());
}

int GetFloatRange(tagRegHandle* h, float* out, float min, float def, float max, const char* name) {
    if (!Usable(h, name, out)) return 0;
    return core::GetFloatRange(TargetOf(*h), name, *out, min, def, max, kTableRules);
}

int GetFloatRangeById(tagRegHandle* h, float* out, float min, float def, float max, int id) {
    return GetFloatRange(h, out, min, def, max, IdName(id).c_str());
}

// ---- Strings

int GetString(tagRegHandle* h, char* buffer, const char* name, DWORD size) {
    if (!Usable(h, name, buffer)) return 0;
    return core::GetStringInto(TargetOf(*h), name, buffer, size);
}

int GetStringById(tagRegHandle* h, char* buffer, int id, DWORD size) {
    return GetString(h, buffer, IdName(id).c_str(), size);
}

int SetString(tagRegHandle* h, const char* value, const char* name) {
    if (!Usable(h, name, value)) return 0;
    return core::SetString(TargetOf(*h), name, value);
}

int SetStringById(tagRegHandle* h, const char* value, int id) { return SetString(h, value, IdName(id).c_str()); }

// ---- Lists of numbers

int GetIntArray(tagRegHandle* h, int* counted, const char* name, int offset) {
    return FillCounted(h, counted, name, static_cast<std::uint32_t>(offset));
}

int GetDWordArray(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset) {
    return FillCounted(h, counted, name, offset);
}

int SetIntArray(tagRegHandle* h, int* counted, const char* name, int offset) {
    if (!Usable(h, name, counted)) return 0;
    return core::SetIntList(TargetOf(*h), name, counted + 1, CountOf(counted), offset);
}

int SetDWordArray(tagRegHandle* h, DWORD* counted, const char* name, DWORD offset) {
    if (!Usable(h, name, counted)) return 0;
    const std::vector<std::uint32_t> items(counted + 1, counted + 1 + CountOf(counted));
    return core::SetDwordList(TargetOf(*h), name, items.data(), items.size(), offset);
}

// ---- Bytes

int GetBinary(tagRegHandle* h, BYTE* data, DWORD* /*size*/, const char* name) {
    if (!Usable(h, name, data)) return 0;
    return core::GetBytes(TargetOf(*h), name, data);
}

int SetBinary(tagRegHandle* h, BYTE* data, DWORD count, const char* name) {
    if (!Usable(h, name, name) || (data == nullptr && count != 0)) return 0;
    return core::SetBytesFrom32(TargetOf(*h), name, data, count);
}

}  // namespace qor::table
