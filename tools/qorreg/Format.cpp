#include "Format.h"

#include <cstdio>

#include "KeyPath.h"
#include "Text.h"

namespace qor::qorreg {
namespace {

struct TypeEntry {
    ValueType type;
    const char* prefix;  // how the store's text of this type begins
    const char* name;
};

const TypeEntry kTypes[] = {
    {ValueType::Dword, "<dword>", "REG_DWORD"},
    {ValueType::String, "<string>", "REG_SZ"},
    {ValueType::Binary, "<hex>", "REG_BINARY"},
};

const char* const kIndent = "    ";

// The registry's type names by type number.
const char* const kTypeNumberNames[] = {
    "REG_NONE",
    "REG_SZ",
    "REG_EXPAND_SZ",
    "REG_BINARY",
    "REG_DWORD",
    "REG_DWORD_BIG_ENDIAN",
    "REG_LINK",
    "REG_MULTI_SZ",
    "REG_RESOURCE_LIST",
    "REG_FULL_RESOURCE_DESCRIPTOR",
    "REG_RESOURCE_REQUIREMENTS_LIST",
    "REG_QWORD",
};

}  // namespace

ValueType TypeOfStoredText(const std::string& text) {
    for (const TypeEntry& entry : kTypes) {
        if (text.rfind(entry.prefix, 0) == 0) return entry.type;
    }
    return ValueType::Untyped;
}

const char* TypeName(ValueType type) {
    for (const TypeEntry& entry : kTypes) {
        if (entry.type == type) return entry.name;
    }
    return "REG_NONE";
}

bool ParseTypeName(const std::string& text, ValueType& type) {
    std::string upper = UpperAscii(text);
    for (const TypeEntry& entry : kTypes) {
        if (upper == entry.name) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

bool SplitTypedByteList(const std::string& text, unsigned& typeNumber, std::string& byteList) {
    if (text.rfind("hex(", 0) != 0) return false;
    const std::size_t close = text.find("):", 4);
    if (close == std::string::npos || close == 4 || close > 12) return false;
    unsigned number = 0;
    for (std::size_t i = 4; i < close; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return false;
        number = number * 16 + static_cast<unsigned>(digit);
    }
    typeNumber = number;
    byteList = text.substr(close + 2);
    return true;
}

std::string TypeNameOf(const std::string& text) {
    unsigned number = 0;
    std::string unused;
    if (TypeOfStoredText(text) != ValueType::Untyped || !SplitTypedByteList(text, number, unused)) {
        return TypeName(TypeOfStoredText(text));
    }
    const std::size_t known = sizeof kTypeNumberNames / sizeof kTypeNumberNames[0];
    return std::string(number < known ? kTypeNumberNames[number] : "REG_NONE") + " (raw)";
}

std::string FormatDword(DWORD value) {
    char text[32];
    (void)std::snprintf(text, sizeof text, "0x%08x (%u)", static_cast<unsigned>(value), static_cast<unsigned>(value));
    return text;
}

std::string FormatBytes(const std::vector<BYTE>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (BYTE b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

void WriteKeyLine(std::ostream& out, const std::string& key) { out << Shown(key) << '\n'; }

void WriteValueLine(std::ostream& out, const std::string& name, ValueType type, const std::string& data) {
    WriteValueLine(out, name, std::string(TypeName(type)), data);
}

void WriteValueLine(std::ostream& out, const std::string& name, const std::string& typeName, const std::string& data) {
    out << kIndent << Shown(name) << kIndent << typeName << kIndent << Shown(data) << '\n';
}

}  // namespace qor::qorreg
