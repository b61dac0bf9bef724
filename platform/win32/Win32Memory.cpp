// Large blocks on Windows: committed straight from the host. Large pages
// there need a privilege a program of the suite does not hold, so the
// block keeps the host's usual pages.
#include "platform/Platform.h"

#include <windows.h>

namespace qor::platform {

void* AllocateLargeBlock(std::size_t size) noexcept {
    if (size == 0 || size % kLargeBlockBytes != 0) return nullptr;
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeLargeBlock(void* block, std::size_t /*size*/) noexcept {
    if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace qor::platform
