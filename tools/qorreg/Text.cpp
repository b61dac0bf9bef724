#include "Text.h"

#include <cstdio>

#include "host/Host.h"

namespace qor::qorreg {
namespace {

unsigned fileCodePage = 0;  // 0: the tool's own

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The code page a name stands for; 0 when it names none.
unsigned ParseCodePage(const std::string& name) {
    std::string text = LowerAscii(name);
    if (text == "utf-8" || text == "utf8") return host::kUtf8;
    for (const char* prefix : {"windows-", "cp"}) {
        if (text.rfind(prefix, 0) == 0) text.erase(0, std::char_traits<char>::length(prefix));
    }
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    return static_cast<unsigned>(std::stoul(text));
}

unsigned Native() { return host::NativeCodePage(); }

}  // namespace

bool SelectFileCodePage(const std::string& name) {
    if (name.empty()) {
        fileCodePage = 0;
        return true;
    }
    const unsigned codePage = ParseCodePage(name);
    if (codePage == 0 || !host::KnownCodePage(codePage)) return false;
    fileCodePage = codePage;
    return true;
}

unsigned FileCodePage() { return fileCodePage == 0 ? Native() : fileCodePage; }

std::string CodePageName(unsigned codePage) { return codePage == host::kUtf8 ? "UTF-8" : std::to_string(codePage); }

std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            out += c;
            continue;
        }
        char escaped[5];
        (void)std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        out += escaped;
    }
    return out;
}

std::string Shown(std::string_view fileText) {
    std::string converted;
    if (FileCodePage() == Native() || !host::Convert(fileText, FileCodePage(), Native(), converted)) {
        converted.assign(fileText);
    }
    return Printable(converted);
}

std::string Utf8Of(std::string_view fileText) {
    std::string converted;
    if (FileCodePage() == host::kUtf8 || !host::Convert(fileText, FileCodePage(), host::kUtf8, converted)) {
        converted.assign(fileText);
    }
    return converted;
}

bool ToFileText(const std::string& given, std::string& fileText) {
    if (FileCodePage() == Native()) {
        fileText = given;
        return true;
    }
    return host::Convert(given, Native(), FileCodePage(), fileText);
}

bool IsUtf8(std::string_view text) {
    std::string ignored;
    return host::Convert(text, host::kUtf8, host::kUtf8, ignored);
}

bool ValidInFileCodePage(std::string_view text) {
    std::string ignored;
    // Converting to UTF-8 reads every byte, UTF-8 to UTF-8 included.
    return host::Convert(text, FileCodePage(), host::kUtf8, ignored);
}

}  // namespace qor::qorreg
