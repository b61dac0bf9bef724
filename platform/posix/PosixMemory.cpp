// Large blocks on POSIX hosts: anonymous mappings, trimmed to the block's
// alignment, with the advice to back them with large pages (Linux).
#include "platform/Platform.h"

#include <cstdint>
#include <sys/mman.h>

namespace qor::platform {

void* AllocateLargeBlock(std::size_t size) noexcept {
    if (size == 0 || size % kLargeBlockBytes != 0) return nullptr;
    // One block more than asked, so that an aligned block lies inside; the
    // rest before and after it is unmapped again.
    const std::size_t mapped = size + kLargeBlockBytes;
    void* area = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (start + kLargeBlockBytes - 1) & ~(std::uintptr_t{kLargeBlockBytes} - 1);
    const std::size_t before = aligned - start;
    if (before != 0) ::munmap(area, before);
    if (mapped - before - size != 0) ::munmap(reinterpret_cast<void*>(aligned + size), mapped - before - size);
    auto* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    ::madvise(block, size, MADV_HUGEPAGE);  // only advice: a host without it keeps small pages
#endif
    return block;
}

void FreeLargeBlock(void* block, std::size_t size) noexcept {
    if (block != nullptr) ::munmap(block, size);
}

}  // namespace qor::platform
