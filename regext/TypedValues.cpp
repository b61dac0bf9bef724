// Typed values of the key an object names. Each member is a thin wrapper
// over the shared typed access with the class's rules: a DWORD is read by
// strtoul in base 0, and a read-only object gets its default with result 1.
#include <cstdint>
#include <type_traits>
#include <vector>

#include "CRegExt.h"
#include "platform/Platform.h"
#include "regext/KeyHandles.h"
#include "core/ValueAccess.h"

namespace core = qor::core;
using qor::regext::TargetOf;
using qor::regext::TextOrEmpty;

static_assert(std::is_same_v<int, std::int32_t>, "int array elements are stored as 32-bit values");

namespace {

constexpr core::DwordParse kDwordParse = core::DwordParse::Strtoul0;
constexpr const core::DefaultRules& kRules = core::kClassRules;

std::string Name(int number) { return core::NameFromNumber(number); }

}  // namespace

// ---- Setters ------------------------------------------------------------------

int CRegExt::SetInt(int value, const char* name) { return core::SetInt(TargetOf(*this), TextOrEmpty(name), value); }
int CRegExt::SetInt(int value, int name) { return SetInt(value, Name(name).c_str()); }
int CRegExt::SetBool(int value, const char* name) { return SetInt(value, name); }
// By number the flag is written unsigned, so -1 is stored as 4294967295.
int CRegExt::SetBool(int value, int name) { return SetDWord(static_cast<DWORD>(value), name); }
int CRegExt::SetDWord(DWORD value, const char* name) {
    return core::SetDword(TargetOf(*this), TextOrEmpty(name), value);
}
int CRegExt::SetDWord(DWORD value, int name) { return SetDWord(value, Name(name).c_str()); }
int CRegExt::SetString(const char* value, const char* name) {
    return core::SetString(TargetOf(*this), TextOrEmpty(name), TextOrEmpty(value));
}
int CRegExt::SetString(const char* value, int name) { return SetString(value, Name(name).c_str()); }

int CRegExt::SetStringW(const wchar_t* value, const wchar_t* name) {
    const std::string narrowValue = qor::platform::WideToNarrow(value);
    const std::string narrowName = qor::platform::WideToNarrow(name);
    return SetString(narrowValue.c_str(), narrowName.c_str());
}

int CRegExt::SetIntArray(CArray<int, int>& array, const char* name, int offset) {
    return core::SetIntList(TargetOf(*this), TextOrEmpty(name), array.GetData(),
                            static_cast<std::size_t>(array.GetSize()), offset);
}

int CRegExt::SetDWordArray(CDWordArray& array, const char* name, DWORD offset) {
    // DWORD is unsigned long on Windows: copy rather than reinterpret.
    const std::vector<std::uint32_t> items(array.GetData(), array.GetData() + array.GetSize());
    return core::SetDwordList(TargetOf(*this), TextOrEmpty(name), items.data(), items.size(), offset);
}

int CRegExt::SetBinary(BYTE* data, DWORD count, const char* name) {
    return core::SetBytesFrom32(TargetOf(*this), TextOrEmpty(name), data, count);
}

// ---- Plain getters ----------------------------------------------------------------

int CRegExt::GetInt(int& out, const char* name) { return core::GetInt(TargetOf(*this), TextOrEmpty(name), out); }
int CRegExt::GetInt(int& out, int name) { return GetInt(out, Name(name).c_str()); }
int CRegExt::GetBool(int& out, const char* name) { return GetInt(out, name); }
int CRegExt::GetBool(int& out, int name) { return GetInt(out, name); }

int CRegExt::GetDWord(DWORD& out, const char* name) {
    std::uint32_t value = 0;
    if (!core::GetDword(TargetOf(*this), TextOrEmpty(name), value, kDwordParse)) return 0;
    out = value;
    return 1;
}
int CRegExt::GetDWord(DWORD& out, int name) { return GetDWord(out, Name(name).c_str()); }

int CRegExt::GetFloat(float* out, const char* name) {
    if (out == nullptr) return 0;
    return core::GetFloat(TargetOf(*this), TextOrEmpty(name), *out);
}
int CRegExt::GetFloat(float* out, int name) { return GetFloat(out, Name(name).c_str()); }

int CRegExt::GetIntW(int& out, const wchar_t* name) {
    const std::string narrowName = qor::platform::WideToNarrow(name);
    return GetInt(out, narrowName.c_str());
}

int CRegExt::GetDWordW(DWORD& out, const wchar_t* name) {
    const std::string narrowName = qor::platform::WideToNarrow(name);
    return GetDWord(out, narrowName.c_str());
}

// ---- Getters with a default ---------------------------------------------------------

int CRegExt::GetInt(int& out, int def, const char* name) {
    return core::GetIntDefault(TargetOf(*this), TextOrEmpty(name), out, def, kRules);
}
int CRegExt::GetInt(int& out, int def, int name) { return GetInt(out, def, Name(name).c_str()); }
int CRegExt::GetBool(int& out, int def, const char* name) { return GetInt(out, def, name); }
int CRegExt::GetBool(int& out, int def, int name) { return GetInt(out, def, name); }

int CRegExt::GetDWord(DWORD& out, DWORD def, const char* name) {
    std::uint32_t value = out;
    const int result = core::GetDwordDefault(TargetOf(*this), TextOrEmpty(name), value, def, kDwordParse, kRules);
    out = value;
    return result;
}
int CRegExt::GetDWord(DWORD& out, DWORD def, int name) { return GetDWord(out, def, Name(name).c_str()); }

int CRegExt::GetFloat(float* out, float def, const char* name) {
    if (out == nullptr) return 0;
    return core::GetFloatDefault(TargetOf(*this), TextOrEmpty(name), *out, def, kRules);
}
int CRegExt::GetFloat(float* out, float def, int name) { return GetFloat(out, def, Name(name).c_str()); }

// ---- Getters with a range -------------------------------------------------------------

int CRegExt::GetInt(int& out, int min, int def, int max, const char* name) {
    return core::GetIntRange(TargetOf(*this), TextOrEmpty(name), out, min, def, max, kRules);
}
int CRegExt::GetInt(int& out, int min, int def, int max, int name) {
    return GetInt(out, min, def, max, Name(name).c_str());
}

int CRegExt::GetDWord(DWORD& out, DWORD min, DWORD def, DWORD max, const char* name) {
    std::uint32_t value = out;
    const int result =
        core::GetDwordRange(TargetOf(*this), TextOrEmpty(name), value, min, def, max, kDwordParse, kRules);
    out = value;
    return result;
}
int CRegExt::GetDWord(DWORD& out, DWORD min, DWORD def, DWORD max, int name) {
    return GetDWord(out, min, def, max, Name(name).c_str());
}

int CRegExt::GetFloat(float* out, float min, float def, float max, const char* name) {
    if (out == nullptr) return 0;
    return core::GetFloatRange(TargetOf(*this), TextOrEmpty(name), *out, min, def, max, kRules);
}
int CRegExt::GetFloat(float* out, float min, float def, float max, int name) {
    return GetFloat(out, min, def, max, Name(name).c_str());
}

// ---- Strings ------------------------------------------------------------------------------

// When the value is missing, out keeps its text less a type prefix at its
// start; callers of the wide form rely on getting their text back.
int CRegExt::GetString(CString& out, const char* name, DWORD /*size*/) {
    std::string text;
    if (core::FetchText(TargetOf(*this), TextOrEmpty(name), text)) {
        out = CString(std::move(text));
        return 1;
    }
    RemovePrefix(out);
    return 0;
}
int CRegExt::GetString(CString& out, int name, DWORD size) { return GetString(out, Name(name).c_str(), size); }

int CRegExt::GetString(char* buffer, const char* name, DWORD size) {
    return core::GetStringInto(TargetOf(*this), TextOrEmpty(name), buffer, size);
}
int CRegExt::GetString(char* buffer, int name, DWORD size) { return GetString(buffer, Name(name).c_str(), size); }

int CRegExt::GetStringW(CStringW& out, const wchar_t* name, DWORD size) {
    CString narrowOut(qor::platform::WideToNarrow(out.GetString()));
    const std::string narrowName = qor::platform::WideToNarrow(name);
    const int result = GetString(narrowOut, narrowName.c_str(), size);
    out = CStringW(qor::platform::NarrowToWide(narrowOut.str()));
    return result;
}

// ---- Lists and bytes -------------------------------------------------------------------------

namespace {

// Empties the array, then appends every non-empty piece of the stored list.
template <typename Array>
int FillList(const CRegExt& self, Array& array, const char* name, std::uint32_t offset) {
    array.RemoveAll();
    std::vector<std::optional<std::uint32_t>> items;
    if (!core::FetchList(TargetOf(self), TextOrEmpty(name), offset, items)) return 0;
    for (const std::optional<std::uint32_t>& item : items) {
        if (item) array.Add(static_cast<std::decay_t<decltype(array.GetAt(0))>>(*item));
    }
    return static_cast<int>(array.GetSize());
}

}  // namespace

int CRegExt::GetIntArray(CArray<int, int>* array, const char* name, int offset) {
    if (array == nullptr) return 0;
    return FillList(*this, *array, name, static_cast<std::uint32_t>(offset));
}

int CRegExt::GetDWordArray(CDWordArray& array, const char* name, DWORD offset) {
    return FillList(*this, array, name, offset);
}

int CRegExt::GetBinary(BYTE* data, DWORD* /*count*/, const char* name) {
    return core::GetBytes(TargetOf(*this), TextOrEmpty(name), data);
}
