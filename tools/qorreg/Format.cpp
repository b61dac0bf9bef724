#include "Format.h"

#include <cstdio>

#include "KeyPath.h"

namespace qorreg {
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

void WriteKeyLine(std::ostream& out, const std::string& key) {
    out << key << '\n';
}

void WriteValueLine(std::ostream& out, const std::string& name, ValueType type, const std::string& data) {
    out << kIndent << name << kIndent << TypeName(type) << kIndent << data << '\n';
}

}  // namespace qorreg
