// The system's error of the calling thread's last failing file call (errno
// on POSIX hosts, GetLastError on Windows), kept so that a caller told only
// "failed" can still say why. The host file calls note it where they fail;
// it stays until the next failure notes another one or it is cleared.
#ifndef QOR_PLATFORM_FILEERROR_H
#define QOR_PLATFORM_FILEERROR_H

#include <cstdint>
#include <string>

namespace qor::platform {

// Keeps the host's error of the call that has just failed.
void NoteFileError();
// The kept error; 0 when none was kept since the last ClearFileError.
std::uint32_t LastFileError();
void ClearFileError();
// The host's own words for an error code ("Permission denied"), without a
// trailing line end; empty for 0.
std::string FileErrorText(std::uint32_t code);

}  // namespace qor::platform

#endif
