#include "store/TextEdit.h"

#include <charconv>
#include <cstring>

namespace qor::store {
void ReplaceEvery(std::string& text, std::string_view from, std::string_view to) {
    std::size_t found = text.find(from);
    if (from.empty() || to.size() > from.size() || found == std::string::npos) return;
    // The written part never overtakes the part still to be scanned, so the
    // scan always reads the original bytes.
    std::size_t read = 0, write = 0;
    for (; found != std::string::npos; found = text.find(from, read)) {
        std::memmove(text.data() + write, text.data() + read, found - read);
        write += found - read;
        std::memcpy(text.data() + write, to.data(), to.size());
        write += to.size();
        read = found + from.size();
    }
    std::memmove(text.data() + write, text.data() + read, text.size() - read);
    text.resize(write + text.size() - read);
}

namespace {

template <typename Number>
void AppendNumber(std::string& out, Number value) {
    char digits[12];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

void AppendDecimal(std::string& out, std::int32_t value) { AppendNumber(out, value); }

void AppendDecimal(std::string& out, std::uint32_t value) { AppendNumber(out, value); }

}  // namespace qor::store
