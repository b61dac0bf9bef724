#include "store/ByteArena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
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

// Nodes come from the top of the chunk that texts fill from the bottom:
// aligned, apart from every text, and a node given back is given again; a
// tree whose nodes come from the arena keeps its entries.
TEST(ByteArenaTest, NodesStayAlignedBesideTextsAndAreReused) {
    constexpr std::size_t kNode = 3 * sizeof(void*);
    ByteArena arena;
    std::vector<void*> nodes;
    std::vector<std::string_view> texts;
    for (int i = 0; i < 100; ++i) {
        texts.push_back(arena.Keep(std::string(3, static_cast<char>('a' + i % 26))));
        nodes.push_back(arena.TakeNode(kNode));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(nodes.back()) % alignof(void*), 0u) << i;
        std::memset(nodes.back(), 0xff, kNode);
    }
    EXPECT_EQ(arena.Taken(), 100 * (kNode + 3));
    for (int i = 0; i < 100; ++i) ASSERT_EQ(texts[i], std::string(3, static_cast<char>('a' + i % 26))) << i;
    arena.GiveBackNode(nodes[7]);
    EXPECT_EQ(arena.TakeNode(kNode), nodes[7]);
    EXPECT_EQ(arena.NodeBytes(), kNode);

    using Alloc = NodeAllocator<std::pair<const int, std::string>>;
    std::map<int, std::string, std::less<>, Alloc> tree{Alloc(&arena)};
    for (int i = 0; i < 1000; ++i) tree.emplace(i, std::string(40, 'x'));
    for (int i = 0; i < 1000; i += 2) tree.erase(i);
    for (int i = 0; i < 1000; i += 2) tree.emplace(i, "again");
    ASSERT_EQ(tree.size(), 1000u);
    EXPECT_EQ(tree.at(998), "again");
    EXPECT_EQ(tree.at(999), std::string(40, 'x'));
}

// A list that fills whole large blocks lies in them, any other on the heap;
// growing and shrinking through both kinds keeps every element (and gives
// each kind of memory back the way it came, which the sanitizers check).
TEST(ByteArenaTest, ListsMoveBetweenLargeBlocksAndTheHeapWithTheirElements) {
    constexpr std::size_t kBlockWords = platform::kLargeBlockBytes / sizeof(std::uint64_t);
    std::vector<std::uint64_t, LargeBlockAllocator<std::uint64_t>> list;
    for (const std::size_t size : {std::size_t{1000}, kBlockWords, kBlockWords + 1, kBlockWords, std::size_t{10}}) {
        SCOPED_TRACE(size);
        const std::size_t kept = std::min(list.size(), size);
        list.resize(size, 7);
        if (size == kBlockWords) list.shrink_to_fit();  // capacity size: a large block
        for (std::size_t i = 0; i < kept; ++i) ASSERT_EQ(list[i], i) << i;
        for (std::size_t i = 0; i < size; ++i) list[i] = i;
    }
}

}  // namespace
}  // namespace qor::store
