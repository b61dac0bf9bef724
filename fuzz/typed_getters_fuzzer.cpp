// Every typed getter of both facades on any stored text, into buffers sized
// exactly (AddressSanitizer sees a write one past). The facades' answers must
// agree; a default or range getter delivers the value read or its default; a
// default stored by a writable getter reads back.
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "CRegExt.h"
#include "FuzzSupport.h"
#include "QorFunctionTable.h"

namespace {

using qor::fuzz::Check;

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\FUZZ";
constexpr const char* kName = "V";
constexpr const char* kMissing = "MISSING";

std::vector<std::string> Pieces(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', start)) {
        pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool SameFloat(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

struct Params {
    std::uint32_t min, def, max, offset;
    bool writable;
};

void PlainReadsAgree(CRegExt& object, tagRegHandle& handle, UI_FunctionTable* t) {
    int classInt = 0, tableInt = 0;
    Check(object.GetInt(classInt, kName) == t->pfnGetInt(&handle, &tableInt, kName), "GetInt results differ");
    Check(classInt == tableInt, "GetInt values differ");

    float classFloat = 0.25f, tableFloat = 0.25f;
    Check(object.GetFloat(&classFloat, kName) == t->pfnGetFloat(&handle, &tableFloat, kName),
          "GetFloat results differ");
    Check(SameFloat(classFloat, tableFloat), "GetFloat values differ");

    DWORD classDword = 0, tableDword = 0;
    Check(object.GetDWord(classDword, kName) == 1 && t->pfnGetDWord(&handle, &tableDword, kName) == 1,
          "GetDWord of a present value failed");
}

void StringReadsAgree(CRegExt& object, tagRegHandle& handle, UI_FunctionTable* t, const std::string& text) {
    const auto exact = std::make_unique<char[]>(text.size() + 1);
    Check(t->pfnGetString(&handle, exact.get(), kName, static_cast<DWORD>(text.size() + 1)) == 1,
          "exact buffer refused");
    Check(std::strcmp(exact.get(), text.c_str()) == 0, "pfnGetString and CRegExt::GetString differ");

    if (text.empty()) return;  // size 0 means "capacity unknown", not a buffer of 0 bytes
    const auto small = std::make_unique<char[]>(text.size() + 1);
    std::memset(small.get(), 'z', text.size() + 1);
    Check(t->pfnGetString(&handle, small.get(), kName, static_cast<DWORD>(text.size())) == 0,
          "too small a buffer accepted");
    Check(object.GetString(small.get(), kName, static_cast<DWORD>(text.size())) == 0, "too small a buffer accepted");
    for (std::size_t i = 0; i <= text.size(); ++i) Check(small[i] == 'z', "a refused buffer was written");
}

void ListReadsAgree(CRegExt& object, tagRegHandle& handle, UI_FunctionTable* t, const std::string& text,
                    std::uint32_t offset) {
    const std::vector<std::string> pieces = Pieces(text);
    const int sentinel = 0x5A5A5A5A;
    std::vector<int> counted(pieces.size() + 1, sentinel);
    Check(t->pfnGetIntArray(&handle, counted.data(), kName, static_cast<int>(offset)) == 1, "pfnGetIntArray failed");
    Check(counted[0] == static_cast<int>(pieces.size()), "pfnGetIntArray count");
    std::vector<DWORD> countedDwords(pieces.size() + 1, 0);
    Check(t->pfnGetDWordArray(&handle, countedDwords.data(), kName, offset) == 1, "pfnGetDWordArray failed");

    CArray<int, int> list;
    const int n = object.GetIntArray(&list, kName, static_cast<int>(offset));
    CDWordArray dwords;
    Check(object.GetDWordArray(dwords, kName, offset) == n, "GetDWordArray and GetIntArray counts differ");
    int at = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].empty()) {
            Check(counted[i + 1] == sentinel, "an empty piece changed its element");
            continue;
        }
        Check(at < n && list[at] == counted[i + 1], "list items differ between the facades");
        Check(static_cast<int>(dwords[at]) == list[at] && static_cast<int>(countedDwords[i + 1]) == list[at],
              "int and DWORD lists differ");
        ++at;
    }
    Check(at == n, "CRegExt::GetIntArray kept an empty piece");

    std::vector<BYTE> classBytes(pieces.size()), tableBytes(pieces.size());
    DWORD ignored = 0;
    Check(object.GetBinary(classBytes.data(), &ignored, kName) == 1, "GetBinary failed");
    Check(t->pfnGetBinary(&handle, tableBytes.data(), &ignored, kName) == 1, "pfnGetBinary failed");
    Check(classBytes == tableBytes, "byte lists differ between the facades");
}

void DefaultsAndRanges(CRegExt& object, tagRegHandle& handle, UI_FunctionTable* t, const Params& p) {
    const int min = static_cast<int>(p.min), def = static_cast<int>(p.def), max = static_cast<int>(p.max);
    int value = 0;
    t->pfnGetIntRange(&handle, &value, min, def, max, kName);
    Check(value == def || (min <= value && value <= max), "pfnGetIntRange delivered a value outside its range");
    object.GetInt(value, min, def, max, kName);
    Check(value == def || (min <= value && value <= max), "GetInt range delivered a value outside its range");

    DWORD dword = 0;
    t->pfnGetDWordRange(&handle, &dword, p.min, p.def, p.max, kName);
    Check(dword == p.def || (p.min <= dword && dword <= p.max), "pfnGetDWordRange out of range");
    object.GetDWord(dword, p.min, p.def, p.max, kName);
    Check(dword == p.def || (p.min <= dword && dword <= p.max), "GetDWord range out of range");

    float f = 0;
    float fmin = 0, fdef = 0, fmax = 0;
    std::memcpy(&fmin, &p.min, sizeof f);
    std::memcpy(&fdef, &p.def, sizeof f);
    std::memcpy(&fmax, &p.max, sizeof f);
    t->pfnGetFloatRange(&handle, &f, fmin, fdef, fmax, kName);
    object.GetFloat(&f, fmin, fdef, fmax, kName);

    // A missing value: the default is delivered, and stored only when writable.
    const int stored = t->pfnGetIntDefault(&handle, &value, def, kMissing);
    Check(value == def, "pfnGetIntDefault did not deliver its default");
    Check(stored == (p.writable ? 1 : 0), "pfnGetIntDefault result");
    int back = ~def;
    Check(t->pfnGetInt(&handle, &back, kMissing) == stored, "a stored default is not there");
    if (stored == 1) Check(back == def, "a stored default reads back differently");
    object.GetFloat(&f, fdef, kMissing);
    t->pfnGetFloatDefault(&handle, &f, fdef, kMissing);
    object.GetDWord(dword, p.def, kMissing);
    t->pfnGetDWordDefault(&handle, &dword, p.def, kMissing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qor::fuzz::FuzzReader in(data, size);
    Params p{};
    p.writable = (in.Byte() & 1) != 0;
    p.min = in.Word();
    p.def = in.Word();
    p.max = in.Word();
    p.offset = in.Word();
    const std::string stored = in.Rest();

    CIniClass store;
    store.SetValue(kKey, kName, stored.c_str());
    CRegExt::m_pIni = &store;
    CRegExt object;
    object.Attach(kKey);
    object.m_fWrite = p.writable ? 1 : 0;
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    tagRegHandle handle;
    t->pfnInitHandle(&handle);
    std::strcpy(handle.szKey, kKey);
    handle.pIni = &store;
    handle.fWrite = object.m_fWrite;

    CString text;
    Check(object.GetString(text, kName, 0) == 1, "GetString of a present value failed");
    PlainReadsAgree(object, handle, t);
    StringReadsAgree(object, handle, t, text.str());
    ListReadsAgree(object, handle, t, text.str(), p.offset);
    DefaultsAndRanges(object, handle, t, p);

    CRegExt::m_pIni = nullptr;
    return 0;
}
