#include "store/ByteArena.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor::store {
namespace {

// Past its small chunks the arena takes the host's large blocks; pieces of
// every size, a reserved run and a piece too large for a chunk all keep
// their bytes, whichever kind of chunk holds them, until the arena goes.
TEST(ByteArenaTest, PiecesKeepTheirBytesInSmallAndLargeChunksAlike) {
    // Piece i of the first run: 1 to 300 bytes, or every 5000th a piece
    // larger than a small chunk can hold.
    const auto piece = [](std::size_t i) {
        return std::string(i % 5000 == 4999 ? ByteArena::kChunkSize : 1 + i % 300, static_cast<char>('A' + i % 26));
    };
    ByteArena arena;
    std::vector<std::string_view> kept;
    while (arena.Taken() <= ByteArena::kSmallChunksUpTo + platform::kLargeBlockBytes) {
        kept.push_back(arena.Keep(piece(kept.size())));
    }
    const std::size_t run = kept.size();
    arena.Reserve(platform::kLargeBlockBytes);
    const std::string half(platform::kLargeBlockBytes / 2, 'r');
    const std::string_view reserved[] = {arena.Keep(half), arena.Keep(half)};
    for (std::size_t i = 0; i < run; ++i) ASSERT_EQ(kept[i], piece(i)) << i;
    EXPECT_EQ(reserved[0], half);
    EXPECT_EQ(reserved[1], half);
    EXPECT_EQ(arena.Keep(""), std::string_view());

    ByteArena other;
    other.Swap(arena);
    EXPECT_EQ(arena.Taken(), 0u);
    EXPECT_EQ(kept[0], piece(0));
    other.Clear();
    EXPECT_EQ(other.Taken(), 0u);
}

}  // namespace
}  // namespace qor::store
