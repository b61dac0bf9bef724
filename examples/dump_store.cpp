// dump_store: loads a store file and prints every key with its values.
//
//   dump_store examples/root.ini
//
// Each key is printed in brackets, followed by its values, one per line:
// the value name, its type in parentheses and the value. Keys and values
// are sorted by name so that the output reads the same on every run.
#include <QorCommonLib.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Value {
    std::string name;
    std::string text;  // the stored text, type prefix included
};

// Removes prefix from the start of text; false when text does not begin with it.
bool StripPrefix(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::vector<std::string> SortedKeys(CIniClass& store) {
    CStringArray list;
    store.GetAllKeys(list);
    std::vector<std::string> keys;
    for (CStringArray::INT_PTR i = 0; i < list.GetSize(); ++i) keys.emplace_back(list[i].GetString());
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Splits a "NAME = text" line of the key. A value name or a text may itself
// hold " = ", so the split is the first one at which the store confirms that
// the name before it holds the text after it.
bool SplitValueLine(CIniClass& store, const std::string& key, const std::string& line, Value& value) {
    for (std::size_t equals = line.find(" = "); equals != std::string::npos; equals = line.find(" = ", equals + 1)) {
        const std::string name = line.substr(0, equals);
        CString stored;
        if (store.GetValue(key.c_str(), name.c_str(), stored) == 1 &&
            line.compare(equals + 3, std::string::npos, stored.GetString()) == 0) {
            value = Value{name, line.substr(equals + 3)};
            return true;
        }
    }
    return false;
}

// The key's values, from the store's "NAME = text" lines, sorted by name.
std::vector<Value> SortedValues(CIniClass& store, const std::string& key) {
    CStringArray lines;
    store.GetValueLines(key.c_str(), lines);
    std::vector<Value> values;
    for (CStringArray::INT_PTR i = 0; i < lines.GetSize(); ++i) {
        Value value;
        if (SplitValueLine(store, key, lines[i].GetString(), value)) values.push_back(std::move(value));
    }
    std::sort(values.begin(), values.end(), [](const Value& a, const Value& b) { return a.name < b.name; });
    return values;
}

// A number stored as a dword, also shown in hexadecimal as the file holds it.
void PrintDword(const std::string& name, std::string_view number) {
    std::int64_t parsed = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (error == std::errc() && end == number.data() + number.size()) {
        std::printf("    %s (dword) = %.*s (0x%08x)\n", name.c_str(), static_cast<int>(number.size()), number.data(),
                    static_cast<unsigned>(static_cast<std::uint32_t>(parsed)));
    } else {
        std::printf("    %s (dword) = %.*s\n", name.c_str(), static_cast<int>(number.size()), number.data());
    }
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> pieces;
    if (text.empty()) return pieces;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        pieces.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) return pieces;
        start = comma + 1;
    }
}

// Bytes are printed sixteen to a line, each line under the first one.
void PrintBytes(const std::string& name, std::string_view bytes) {
    const std::vector<std::string_view> pieces = SplitAtCommas(bytes);
    const std::string head = "    " + name + " (bytes, " + std::to_string(pieces.size()) + ") =";
    std::printf("%s", head.c_str());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0 && i % 16 == 0) std::printf("\n%*s", static_cast<int>(head.size()), "");
        std::printf(" %.*s", static_cast<int>(pieces[i].size()), pieces[i].data());
    }
    std::printf("\n");
}

void PrintValue(const Value& value) {
    std::string_view text = value.text;
    if (StripPrefix(text, "<dword>")) {
        PrintDword(value.name, text);
    } else if (StripPrefix(text, "<hex>")) {
        PrintBytes(value.name, text);
    } else if (StripPrefix(text, "<string>")) {
        std::printf("    %s (string) = \"%.*s\"\n", value.name.c_str(), static_cast<int>(text.size()), text.data());
    } else {
        std::printf("    %s (untyped) = %s\n", value.name.c_str(), value.text.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s STORE-FILE\n  prints every key and value of a store file\n", argv[0]);
        return 2;
    }
    CIniClass store;
    if (store.LoadFile(argv[1]) != 1) {
        std::fprintf(stderr, "%s: cannot load %s (missing, unreadable, or a key named twice)\n", argv[0], argv[1]);
        return 1;
    }
    const std::vector<std::string> keys = SortedKeys(store);
    std::printf("Store file %s: %zu keys%s\n", argv[1], keys.size(),
                store.IsFileValid(argv[1]) == 1 ? ", complete (ends with its marker line)"
                                                : ", INCOMPLETE (no marker line at its end)");
    for (const std::string& key : keys) {
        std::printf("\n[%s]\n", key.c_str());
        const std::vector<Value> values = SortedValues(store, key);
        if (values.empty()) std::printf("    (no values)\n");
        for (const Value& value : values) PrintValue(value);
    }
    return 0;
}
