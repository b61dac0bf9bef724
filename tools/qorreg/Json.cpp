#include "Json.h"

#include "Format.h"
#include "Text.h"

namespace qor::qorreg {
namespace {

// The data member of one stored value, read through handle.
Json DataOf(CRegExt& handle, const StoredValue& value) {
    const ValueData data = ReadValueData(handle, value);
    unsigned typeNumber = 0;
    std::string byteList;
    if (data.type == ValueType::Dword) return data.number;
    if (data.type == ValueType::Binary) return FormatBytes(data.bytes);
    if (data.type == ValueType::String) return Utf8Of(data.text);
    if (SplitTypedByteList(value.text, typeNumber, byteList)) {
        std::string digits;
        for (char c : byteList) {
            if (c != ',' && c != ' ') digits += (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return digits;
    }
    return FormatBytes(std::vector<BYTE>(value.text.begin(), value.text.end()));
}

}  // namespace

Json ValueJson(CIniClass& store, const std::string& key, const StoredValue& value) {
    CIniClass* attached = CRegExt::m_pIni;
    CRegExt().SetObject(&store);
    Json data;
    {
        CRegExt handle;
        CRegExt noParent;
        handle.OpenReadOnly(key.c_str(), &noParent);
        data = DataOf(handle, value);
    }
    CRegExt().SetObject(attached);
    return Json{
        {"name", Utf8Of(value.name)}, {"type", TypeNameOf(value.text)}, {"data", data}, {"raw", Utf8Of(value.text)}};
}

void WriteJson(std::ostream& out, const Json& json) {
    out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace qor::qorreg
