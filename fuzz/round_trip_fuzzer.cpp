// A store built from the input, saved and loaded into an empty store, must
// come back whole. The generator keeps to what the store file can carry;
// it leaves out, by the rules below, what the file format is known not to
// carry unchanged:
//   keys       no "]", no "[" at the start, no line ends
//   names      no "=", no double quote at either end, no line ends
//   strings    no "dword:" or "hex:", no backslash-quote pair, and no
//              backslash pair unless the string starts with one
//   bytes      (after "<hex>") no quote, backslash or prefix word
//   raw texts  (no type prefix) not empty, no quote or backslash, not read
//              whole as a hexadecimal number, no prefix word inside
// Within those limits the only change allowed is the documented one:
// "<dword>" texts that are whole 32-bit decimals come back as the signed
// decimal of the same bits, and any other "<dword>" text (a float, a hex
// text, an out-of-range number) comes back as the same text under
// "<string>". Every value must also read back as the same integer, DWORD
// and float as before the save.
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "store/ValueText.h"

namespace {

using qor::fuzz::Check;
using qor::fuzz::Snapshot;
namespace text = qor::store;

bool Has(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

bool HasLineEndOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool KeyTravels(std::string_view key) { return !HasLineEndOrNul(key) && !Has(key, "]") && !key.starts_with('['); }

bool NameTravels(std::string_view name) {
    return !HasLineEndOrNul(name) && !Has(name, "=") && !name.starts_with('"') && !name.ends_with('"');
}

bool StringTravels(std::string_view s) {
    if (HasLineEndOrNul(s) || Has(s, "dword:") || Has(s, "hex:") || Has(s, "\\\"")) return false;
    return !Has(s, "\\\\") || s.starts_with("\\\\");
}

bool HasPrefixWord(std::string_view s) { return Has(s, "<string>") || Has(s, "<dword>") || Has(s, "<hex>"); }

bool HexTravels(std::string_view s) {
    return !HasLineEndOrNul(s) && !Has(s, "\"") && !Has(s, "\\") && !Has(s, "dword:") && !Has(s, "hex:") &&
           !HasPrefixWord(s);
}

bool RawTravels(std::string_view s) {
    std::size_t consumed = 0;
    text::ParseStrtoul(s, 16, &consumed);
    return !s.empty() && consumed != s.size() && HexTravels(s);
}

// The number a "<dword>" text stands for when it is a whole 32-bit decimal:
// an optional minus and digits only, from -2147483648 to 4294967295.
bool WholeDecimal32(std::string_view s, std::int32_t& bits) {
    const bool negative = s.starts_with('-');
    if (negative) s.remove_prefix(1);
    if (s.empty() || s.find_first_not_of("0123456789") != std::string_view::npos) return false;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), magnitude);
    if (error != std::errc() || magnitude > (negative ? 0x80000000ull : 0xFFFFFFFFull)) return false;
    bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude));
    return true;
}

// What a "<dword>" + number text reads back as, or false when the text
// cannot travel at all.
bool DwordExpected(std::string_view number, std::string& expected) {
    std::int32_t bits = 0;
    if (WholeDecimal32(number, bits)) {
        expected = text::EncodeInt(bits);
        return true;
    }
    expected = std::string(text::kStringPrefix) + std::string(number);
    return StringTravels(number) && !HasPrefixWord(number);
}

// One value of the generated store: its text and the text it must load as.
bool NextValue(qor::fuzz::FuzzReader& in, std::string& stored, std::string& expected) {
    switch (in.Byte() % 7) {
        case 0:
            stored = expected = text::EncodeInt(static_cast<std::int32_t>(in.Word()));
            return true;
        case 1:
            stored = text::EncodeDword(in.Word());
            return DwordExpected(text::WithoutPrefix(stored), expected);
        case 2: {
            const std::uint32_t bits = in.Word();
            float f = 0;
            std::memcpy(&f, &bits, sizeof f);
            stored = text::EncodeFloat(f);
            return DwordExpected(text::WithoutPrefix(stored), expected);
        }
        case 3: {
            const std::string s = in.Text();
            stored = expected = text::EncodeString(s);
            return StringTravels(s);
        }
        case 4: {
            const std::string s = in.Text();
            stored = expected = std::string(text::kHexPrefix) + s;
            return HexTravels(s);
        }
        case 5: {
            const std::string s = in.Text();
            stored = std::string(text::kDwordPrefix) + s;
            return DwordExpected(s, expected);
        }
        default:
            stored = expected = in.Text();
            return RawTravels(stored);
    }
}

bool SameFloat(const std::string& a, const std::string& b) {
    float x = 0, y = 0;
    const bool readX = text::ParseFloat(text::WithoutPrefix(a), x);
    const bool readY = text::ParseFloat(text::WithoutPrefix(b), y);
    return readX == readY && (!readX || (std::isnan(x) && std::isnan(y)) || x == y);
}

// The typed readings of both texts agree: integer, DWORD and (unless the
// number is one the file stores as negative) float.
void SameReadings(const std::string& before, const std::string& after) {
    const std::string_view a = text::WithoutPrefix(before), b = text::WithoutPrefix(after);
    Check(text::ParseAtoi(a) == text::ParseAtoi(b), "a value reads as another integer after the round trip");
    Check(text::ParseStrtoul(a, 10) == text::ParseStrtoul(b, 10),
          "a value reads as another DWORD after the round trip");
    std::int32_t bits = 0;
    if (!(WholeDecimal32(a, bits) && text::ParseStrtoul(a, 10) > 0x7FFFFFFFu)) {
        Check(SameFloat(before, after), "a value reads as another float after the round trip");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qor::fuzz::FuzzReader in(data, size);
    CIniClass store;
    Snapshot expected, original;
    while (!in.Empty()) {
        const std::string key = text::Upper(in.Text());
        if (!KeyTravels(key)) continue;
        const int values = in.Byte() % 4;
        store.AddKey(key.c_str());
        expected[key];
        original[key];
        for (int i = 0; i < values; ++i) {
            const std::string name = text::Upper(in.Text());
            std::string stored, loaded;
            if (!NextValue(in, stored, loaded) || !NameTravels(name)) continue;
            store.SetValue(key.c_str(), name.c_str(), stored.c_str());
            expected[key][name] = loaded;
            original[key][name] = stored;
        }
    }
    Check(qor::fuzz::SnapshotOf(store) == original, "the store does not hold what was set");

    const Snapshot back = qor::fuzz::SavedAndLoaded(store, "round-trip.ini");
    Check(back == expected, "the loaded store differs from the saved one");
    for (const auto& [key, names] : original) {
        for (const auto& [name, stored] : names) SameReadings(stored, back.at(key).at(name));
    }
    return 0;
}
