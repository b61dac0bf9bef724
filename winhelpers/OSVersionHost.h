// What OSVersion needs from the system: its version record and its product
// name. Where the system has neither, both are absent.
#ifndef QOR_WINHELPERS_OSVERSIONHOST_H
#define QOR_WINHELPERS_OSVERSIONHOST_H

#include <optional>
#include <string>

#include "winhelpers/HostSlot.h"

namespace qor::winhelpers {

// The system's version numbers and its product type (1 for a workstation).
struct VersionRecord {
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned char productType = 0;
};

class OSVersionHost {
public:
    virtual ~OSVersionHost() = default;
    // The version record, or nothing when the system does not give one.
    virtual std::optional<VersionRecord> ReadVersion() = 0;
    // The product name, or nothing when it is missing or does not fit 260
    // bytes with its terminator.
    virtual std::optional<std::string> ReadProductName() = 0;
};

template <>
OSVersionHost& DefaultHost<OSVersionHost>();

}  // namespace qor::winhelpers

#endif
