// Typed value access over one store key. Encoding and parsing live in
// store/ValueText; this file adds the rules around them: who may write,
// what a missing or out-of-range value delivers, and what is stored back.
#include "core/ValueAccess.h"

#include <cstring>

#include "store/IniClassInternal.h"
#include "store/ValueText.h"

namespace qor::core {

namespace {

// Nothing is ever stored under the empty key text, nor without the right.
bool MayWrite(const ValueTarget& t) { return t.store != nullptr && t.writable && !t.key.empty(); }

std::uint32_t ReadDword(std::string_view text, DwordParse parse) {
    switch (parse) {
        case DwordParse::Strtoul0:
            return store::ParseStrtoul(text, 0);
        case DwordParse::Strtoul10:
            return store::ParseStrtoul(text, 10);
        case DwordParse::Atol:
            return static_cast<std::uint32_t>(store::ParseAtoi(text));
    }
    return 0;
}

// The default is delivered; it is stored only when the target may write.
template <typename T>
int DeliverDefault(const ValueTarget& t, std::string_view name, T& out, T def, const std::string& encoded,
                   const DefaultRules& rules) {
    out = def;
    if (!t.writable) return rules.readOnlyResult;
    return StoreText(t, name, encoded);
}

// A comparison with a NaN counts as passed, so it is written as "not outside".
bool FloatInRange(float value, float min, float max) { return !(value < min) && !(value > max); }

// Outcome of reading a float that may be stored but unreadable.
enum class FloatRead { Found, Missing, Unreadable };

FloatRead ReadFloat(const ValueTarget& t, std::string_view name, float& out) {
    const auto text = FetchView(t, name);
    if (!text) return FloatRead::Missing;
    return store::ParseFloat(*text, out) ? FloatRead::Found : FloatRead::Unreadable;
}

}  // namespace

std::string NameFromNumber(int number) { return std::to_string(number); }

int StoreText(const ValueTarget& t, std::string_view name, std::string_view encoded) {
    if (!MayWrite(t)) return 0;
    const store::UpperText key(t.key), upperName(name);
    store::Internal(*t.store).SetValue(key.View(), upperName.View(), encoded);
    return 1;
}

std::optional<std::string_view> FetchView(const ValueTarget& t, std::string_view name) {
    if (t.store == nullptr) return std::nullopt;
    const auto stored = store::Internal(*t.store).FindTextAnyCase(t.key, name);
    if (!stored) return std::nullopt;
    return stored->body;
}

bool FetchText(const ValueTarget& t, std::string_view name, std::string& text) {
    const auto stored = FetchView(t, name);
    if (!stored) return false;
    text.assign(*stored);
    return true;
}

int SetInt(const ValueTarget& t, std::string_view name, std::int32_t value) {
    return MayWrite(t) ? StoreText(t, name, store::EncodeInt(value)) : 0;
}

int SetDword(const ValueTarget& t, std::string_view name, std::uint32_t value) {
    return MayWrite(t) ? StoreText(t, name, store::EncodeDword(value)) : 0;
}

int SetString(const ValueTarget& t, std::string_view name, std::string_view value) {
    return MayWrite(t) ? StoreText(t, name, store::EncodeString(value)) : 0;
}

int SetIntList(const ValueTarget& t, std::string_view name, const std::int32_t* items, std::size_t count,
               std::int32_t offset) {
    if (!MayWrite(t) || (items == nullptr && count != 0)) return 0;
    return StoreText(t, name, store::EncodeIntList(items, count, offset));
}

int SetDwordList(const ValueTarget& t, std::string_view name, const std::uint32_t* items, std::size_t count,
                 std::uint32_t offset) {
    if (!MayWrite(t) || (items == nullptr && count != 0)) return 0;
    return StoreText(t, name, store::EncodeDwordList(items, count, offset));
}

int SetBytesFrom32(const ValueTarget& t, std::string_view name, const unsigned char* data, std::size_t count) {
    if (!MayWrite(t) || (data == nullptr && count != 0)) return 0;
    return StoreText(t, name, store::EncodeBytesFrom32(data, count));
}

int GetInt(const ValueTarget& t, std::string_view name, std::int32_t& out) {
    const auto text = FetchView(t, name);
    if (!text) return 0;
    out = store::ParseAtoi(*text);
    return 1;
}

int GetDword(const ValueTarget& t, std::string_view name, std::uint32_t& out, DwordParse parse) {
    const auto text = FetchView(t, name);
    if (!text) return 0;
    out = ReadDword(*text, parse);
    return 1;
}

int GetFloat(const ValueTarget& t, std::string_view name, float& out) {
    float value = 0.0f;
    if (ReadFloat(t, name, value) != FloatRead::Found) return 0;
    out = value;
    return 1;
}

int GetIntDefault(const ValueTarget& t, std::string_view name, std::int32_t& out, std::int32_t def,
                  const DefaultRules& rules) {
    if (GetInt(t, name, out)) return 1;
    return DeliverDefault(t, name, out, def, store::EncodeInt(def), rules);
}

int GetIntRange(const ValueTarget& t, std::string_view name, std::int32_t& out, std::int32_t min, std::int32_t def,
                std::int32_t max, const DefaultRules& rules) {
    std::int32_t value = 0;
    if (GetInt(t, name, value) && min <= value && value <= max) {
        out = value;
        return 1;
    }
    return DeliverDefault(t, name, out, def, store::EncodeInt(def), rules);
}

int GetDwordDefault(const ValueTarget& t, std::string_view name, std::uint32_t& out, std::uint32_t def,
                    DwordParse parse, const DefaultRules& rules) {
    if (GetDword(t, name, out, parse)) return 1;
    return DeliverDefault(t, name, out, def, store::EncodeDword(def), rules);
}

int GetDwordRange(const ValueTarget& t, std::string_view name, std::uint32_t& out, std::uint32_t min, std::uint32_t def,
                  std::uint32_t max, DwordParse parse, const DefaultRules& rules) {
    std::uint32_t value = 0;
    if (GetDword(t, name, value, parse) && min <= value && value <= max) {
        out = value;
        return 1;
    }
    return DeliverDefault(t, name, out, def, store::EncodeDword(def), rules);
}

int GetFloatDefault(const ValueTarget& t, std::string_view name, float& out, float def, const DefaultRules& rules) {
    float value = 0.0f;
    FloatRead read = ReadFloat(t, name, value);
    if (read == FloatRead::Found) {
        out = value;
        return 1;
    }
    if (read == FloatRead::Unreadable && !rules.unreadableFloatIsMissing) return 0;
    return DeliverDefault(t, name, out, def, store::EncodeFloat(def), rules);
}

int GetFloatRange(const ValueTarget& t, std::string_view name, float& out, float min, float def, float max,
                  const DefaultRules& rules) {
    float value = 0.0f;
    FloatRead read = ReadFloat(t, name, value);
    if (read == FloatRead::Found && FloatInRange(value, min, max)) {
        out = value;
        return 1;
    }
    if (read == FloatRead::Unreadable && !rules.unreadableFloatIsMissing) return 0;
    return DeliverDefault(t, name, out, def, store::EncodeFloat(def), rules);
}

int GetStringInto(const ValueTarget& t, std::string_view name, char* buffer, std::uint32_t size) {
    if (buffer == nullptr) return 0;
    const auto text = FetchView(t, name);
    if (!text) return 0;
    if (size != 0 && text->size() >= size) return 0;
    std::memcpy(buffer, text->data(), text->size());
    buffer[text->size()] = '\0';
    return 1;
}

bool FetchList(const ValueTarget& t, std::string_view name, std::uint32_t offset,
               std::vector<std::optional<std::uint32_t>>& items) {
    const auto text = FetchView(t, name);
    if (!text) return false;
    std::vector<std::string_view> pieces;
    store::SplitPieces(*text, ",", pieces);
    items.clear();
    items.reserve(pieces.size());
    for (std::string_view piece : pieces) {
        if (piece.empty()) {
            items.emplace_back(std::nullopt);
        } else {
            items.emplace_back(static_cast<std::uint32_t>(store::ParseAtoi(piece)) + offset);
        }
    }
    return true;
}

int GetBytes(const ValueTarget& t, std::string_view name, unsigned char* data) {
    if (data == nullptr) return 0;
    const auto text = FetchView(t, name);
    if (!text) return 0;
    std::vector<std::uint8_t> bytes = store::ParseByteList(*text);
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    return 1;
}

}  // namespace qor::core
