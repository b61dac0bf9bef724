#include "bench/ProcessMemory.h"

#include <fstream>
#include <sstream>

namespace qor::bench {

long long StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (!line.starts_with(field + ":")) continue;
        std::istringstream rest(line.substr(field.size() + 1));
        long long kib = 0;
        rest >> kib;
        return kib * 1024;
    }
    return 0;
}

}  // namespace qor::bench
