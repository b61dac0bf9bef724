// The tool's host calls on POSIX hosts: the C library's iconv.
#include "Host.h"

#include <cerrno>
#include <iconv.h>

namespace qor::qorreg::host {
namespace {

std::string IconvName(unsigned codePage) { return codePage == kUtf8 ? "UTF-8" : "CP" + std::to_string(codePage); }

class Converter {
public:
    Converter(unsigned from, unsigned to) : handle_(iconv_open(IconvName(to).c_str(), IconvName(from).c_str())) {}
    ~Converter() {
        if (Ok()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return handle_; }

private:
    iconv_t handle_;
};

}  // namespace

unsigned NativeCodePage() { return kUtf8; }

bool KnownCodePage(unsigned codePage) { return Converter(codePage, kUtf8).Ok() && Converter(kUtf8, codePage).Ok(); }

bool Convert(std::string_view text, unsigned from, unsigned to, std::string& converted) {
    converted.clear();
    Converter converter(from, to);
    if (!converter.Ok()) return false;
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.Handle(), &in, &inLeft, &out, &outLeft);
        converted.append(buffer, sizeof buffer - outLeft);
        // A full buffer is the only failure that is not a refusal; glibc
        // counts a character it has no form for as irreversible, not an error.
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        if (result != static_cast<std::size_t>(-1) && result != 0) return false;
    }
    return true;
}

void UseBinaryStandardStreams() {}

}  // namespace qor::qorreg::host
