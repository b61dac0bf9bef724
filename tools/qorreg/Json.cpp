#include "Json.h"

#include <cstdio>

namespace qorreg {
namespace {

// The length of the valid UTF-8 sequence at the start of text, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    // No overlong forms, surrogates or code points past U+10FFFF.
    if (length == 3 && ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0))) return 0;
    if (length == 4 && ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90))) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (length == 1 && static_cast<unsigned char>(c) >= 0x20) {
            out += c;
        } else if (length > 1) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            char escaped[8];
            (void)std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        }
        ++i;
    }
    return out + "\"";
}

}  // namespace qorreg
