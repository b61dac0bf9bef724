// The enumeration slots. pfnRegQueryInfoKeyA lists the direct sub-keys of a
// handle's key into the one process-wide sub-key list (emptied by every
// query, refilled only when it succeeds); pfnRegEnumKeyExA reads that list
// whichever key it is given; pfnGetSubKeyNumbers reads the same listing as
// numbers and leaves the list alone.
#include <cstring>
#include <string>
#include <vector>

#include "util/FixedText.h"
#include "store/SubKeyListing.h"
#include "store/ValueText.h"
#include "table/Slots.h"
#include "table/TableState.h"

namespace qor::table {
namespace {

LONG ErrorOf(store::ListingResult result) {
    switch (result) {
        case store::ListingResult::Found:
            return ERROR_SUCCESS;
        case store::ListingResult::NoSubKeys:
            return ERROR_INVALID_DATA;
        case store::ListingResult::NoKey:
            break;
    }
    return ERROR_PATH_NOT_FOUND;
}

store::SubKeyListing ListUnder(const tagRegHandle* h) {
    if (h == nullptr) return {};
    return store::ListDirectSubKeys(h->pIni, FixedView(h->szKey));
}

void ReportCounts(const store::SubKeyListing& listing, DWORD* subKeys, DWORD* maxSubKeyLen) {
    if (subKeys != nullptr) *subKeys = static_cast<DWORD>(listing.names.size());
    if (maxSubKeyLen != nullptr) *maxSubKeyLen = listing.longest;
}

}  // namespace

LONG RegQueryInfoKeyA(tagRegHandle* h, char* /*cls*/, DWORD* /*clsLen*/, DWORD* /*reserved*/, DWORD* subKeys,
                      DWORD* maxSubKeyLen, DWORD* /*maxClassLen*/, DWORD* /*values*/, DWORD* /*maxValueNameLen*/,
                      DWORD* /*maxValueLen*/, DWORD* /*securityLen*/, FILETIME* /*lastWrite*/) {
    std::vector<std::string>& list = SubKeyNames();
    list.clear();
    store::SubKeyListing listing = ListUnder(h);
    if (listing.result != store::ListingResult::Found) return ErrorOf(listing.result);
    ReportCounts(listing, subKeys, maxSubKeyLen);
    list = std::move(listing.names);
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(tagRegHandle* /*key*/, DWORD index, char* name, DWORD* /*nameLen*/, DWORD* /*reserved*/,
                   char* /*cls*/, DWORD* /*clsLen*/, FILETIME* /*lastWrite*/) {
    if (name == nullptr) return ERROR_SUCCESS;
    const std::vector<std::string>& list = SubKeyNames();
    const std::string empty;
    const std::string& found = index < list.size() ? list[index] : empty;
    // The caller sized the buffer from the query's longest name.
    std::memcpy(name, found.c_str(), found.size() + 1);
    return ERROR_SUCCESS;
}

LONG GetSubKeyNumbers(tagRegHandle* h, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values) {
    const store::SubKeyListing listing = ListUnder(h);
    if (listing.result != store::ListingResult::Found) return ErrorOf(listing.result);
    ReportCounts(listing, subKeys, maxSubKeyLen);
    if (values != nullptr) {
        for (std::size_t i = 0; i < listing.names.size(); ++i) {
            values[i] = static_cast<DWORD>(store::ParseAtoi(listing.names[i]));
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace qor::table
