#include "platform/FileError.h"

namespace qor::platform {
namespace {

thread_local std::uint32_t lastFileError = 0;

}  // namespace

// The host halves (posix/, win32/) read the host's error and hand it here.
void KeepFileError(std::uint32_t code) { lastFileError = code; }

std::uint32_t LastFileError() { return lastFileError; }

void ClearFileError() { lastFileError = 0; }

}  // namespace qor::platform
