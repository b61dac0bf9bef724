// IsFileValid on any bytes, and on the same bytes with a complete marker
// line after them (always valid) or with more than the marker window of
// other bytes after that (never valid: the marker counts only near the end).
#include <string>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using qor::fuzz::Check;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = qor::fuzz::ScratchPath("valid.ini");
    CIniClass store;

    qor::testkit::WriteBytes(path, bytes);
    const int plain = store.IsFileValid(path.c_str());
    Check(plain == 0 || plain == 1, "IsFileValid gave neither 0 nor 1");
    if (bytes.empty()) Check(plain == 0, "an empty file is valid");

    const std::string marked = bytes + "\r\n[CINICHECKFILEVALID]\r\n";
    qor::testkit::WriteBytes(path, marked);
    Check(store.IsFileValid(path.c_str()) == 1, "a file ending with the marker line is not valid");

    qor::testkit::WriteBytes(path, marked + std::string(261, 'x'));
    Check(store.IsFileValid(path.c_str()) == 0, "a marker followed by 261 other bytes counts");
    return 0;
}
