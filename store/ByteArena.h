// Bytes handed out from a few large chunks that live as long as the arena:
// a large store's many small texts then cost no allocation each and no
// allocator header or rounding each, and lie densely in fewer pages.
//
// The first chunks are small, so a small store holds little. Once the arena
// holds more than kSmallChunksUpTo, its chunks are the host's large blocks
// (platform/Platform.h): a large load then pays one page fault per large
// page, not one per small page, for the memory it fills.
//
// Besides the bytes it hands out from the bottom of a chunk, the arena hands
// out nodes of one size (a tree's, NodeAllocator below) from the top, so
// that they stay aligned with no padding between them: a large load's
// nodes then lie in the same large blocks as its texts, instead of taking a
// fresh small page of the heap every 64 nodes or so.
//
// Bytes are never given back one by one: the arena counts what it handed
// out, so that its owner can copy what is still used into a fresh arena
// once the count far exceeds it. A node given back is kept for the next.
#ifndef QOR_STORE_BYTEARENA_H
#define QOR_STORE_BYTEARENA_H

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace qor::store {

class ByteArena {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 18;
    static constexpr std::size_t kSmallChunksUpTo = std::size_t{4} << 20;

    ByteArena() = default;
    ByteArena(const ByteArena&) = delete;
    ByteArena& operator=(const ByteArena&) = delete;
    ~ByteArena() { Clear(); }

    // Room for size bytes, valid until the arena is cleared or destroyed.
    char* Take(std::size_t size) {
        if (size > Left()) {
            if (size > kChunkSize / 4) return Separate(size);
            Grow(kChunkSize);
        }
        char* room = next_;
        next_ += size;
        taken_ += size;
        return room;
    }
    // Room for a node of size bytes (a multiple of its alignment, at most
    // kAlign), or a node given back before. Every node of one arena has
    // the same size: a chunk's end is aligned, and nodes taken down from it
    // stay aligned.
    void* TakeNode(std::size_t size) {
        if (spareNodes_ != nullptr) {
            SpareNode* node = spareNodes_;
            spareNodes_ = node->next;
            return node;
        }
        if (size > Left()) Grow(kChunkSize);
        end_ -= size;
        taken_ += size;
        nodeBytes_ = size;
        return end_;
    }
    // Keeps a node TakeNode gave for the next TakeNode.
    void GiveBackNode(void* node) noexcept { spareNodes_ = ::new (node) SpareNode{spareNodes_}; }
    // The size of this arena's nodes; 0 before the first.
    std::size_t NodeBytes() const { return nodeBytes_; }
    // A copy of text in the arena.
    std::string_view Keep(std::string_view text) {
        if (text.empty()) return {};
        char* room = Take(text.size());
        std::memcpy(room, text.data(), text.size());
        return {room, text.size()};
    }
    // Makes sure that the next Take and TakeNode calls of size bytes in all
    // allocate nothing, so that a caller can take them where it must not fail.
    void Reserve(std::size_t size) {
        if (size > Left()) Grow(size > kChunkSize ? size : kChunkSize);
    }
    // Told that about bytes will be taken (a load that knows its file's
    // length): past kSmallChunksUpTo the chunks are large blocks from the
    // first one on, since small chunks cost a page fault per small page.
    void Expect(std::size_t bytes) { expectLarge_ = bytes > kSmallChunksUpTo; }
    // Every byte taken since the arena was made or cleared.
    std::size_t Taken() const { return taken_; }

    void Clear() noexcept {
        for (const Chunk& chunk : chunks_) Free(chunk);
        chunks_.clear();
        next_ = end_ = nullptr;
        spareNodes_ = nullptr;
        taken_ = nodeBytes_ = 0;
        expectLarge_ = false;
    }
    void Swap(ByteArena& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(next_, other.next_);
        std::swap(end_, other.end_);
        std::swap(spareNodes_, other.spareNodes_);
        std::swap(taken_, other.taken_);
        std::swap(nodeBytes_, other.nodeBytes_);
        std::swap(expectLarge_, other.expectLarge_);
    }

    // The alignment of every chunk's end, and the largest a node may need.
    static constexpr std::size_t kAlign = alignof(std::max_align_t);

private:
    struct SpareNode {
        SpareNode* next;
    };
    struct Chunk {
        char* bytes;
        std::size_t size;
        bool large;  // a large block of the host's, else from new[]
    };

    static void Free(const Chunk& chunk) noexcept {
        if (chunk.large) {
            platform::FreeLargeBlock(chunk.bytes, chunk.size);
        } else {
            delete[] chunk.bytes;
        }
    }

    // A chunk of at least bytes; its usable size goes to bytes. Only a
    // chunk to take from is a large block: the host may back all of such a
    // block as soon as one byte of it is touched.
    char* NewChunk(std::size_t& bytes, bool mayBeLarge) {
        chunks_.reserve(chunks_.size() + 1);
        if (mayBeLarge && (expectLarge_ || taken_ + bytes > kSmallChunksUpTo)) {
            constexpr std::size_t kBlock = platform::kLargeBlockBytes;
            const std::size_t size = (bytes + kBlock - 1) / kBlock * kBlock;
            if (void* block = platform::AllocateLargeBlock(size)) {
                bytes = size;
                chunks_.push_back(Chunk{static_cast<char*>(block), size, true});
                return chunks_.back().bytes;
            }
        }
        bytes = (bytes + kAlign - 1) / kAlign * kAlign;  // so that its end is aligned
        chunks_.push_back(Chunk{new char[bytes], bytes, false});
        return chunks_.back().bytes;
    }
    // A fresh chunk to take from; what the old one has left is not used again.
    void Grow(std::size_t bytes) {
        next_ = NewChunk(bytes, true);
        end_ = next_ + bytes;
    }
    std::size_t Left() const { return static_cast<std::size_t>(end_ - next_); }
    // A large request gets a chunk of its own, and the current one stays.
    char* Separate(std::size_t size) {
        std::size_t bytes = size;
        char* room = NewChunk(bytes, false);
        taken_ += size;
        return room;
    }

    std::vector<Chunk> chunks_;
    char* next_ = nullptr;  // the bottom of what the current chunk has left
    char* end_ = nullptr;   // its top, where nodes are taken
    SpareNode* spareNodes_ = nullptr;
    std::size_t taken_ = 0;
    std::size_t nodeBytes_ = 0;
    bool expectLarge_ = false;
};

// Takes a container's nodes from an arena (TakeNode) and gives them back to
// it. Two allocators are equal only when they use one arena: a node cannot
// move between containers of different arenas, and a swap takes the
// allocators along (the arenas must then change owners too).
template <class T>
class NodeAllocator {
public:
    using value_type = T;
    using propagate_on_container_swap = std::true_type;
    using propagate_on_container_move_assignment = std::true_type;

    explicit NodeAllocator(ByteArena* arena) noexcept : arena_(arena) {}
    template <class U>
    NodeAllocator(const NodeAllocator<U>& other) noexcept : arena_(other.Arena()) {}

    // A node from the arena; anything else (no node-based container asks
    // for more than one) from the heap.
    T* allocate(std::size_t n) {
        static_assert(alignof(T) <= ByteArena::kAlign);
        if (n != 1) return std::allocator<T>().allocate(n);
        return static_cast<T*>(arena_->TakeNode(sizeof(T)));
    }
    void deallocate(T* node, std::size_t n) noexcept {
        if (n != 1) {
            std::allocator<T>().deallocate(node, n);
        } else {
            arena_->GiveBackNode(node);
        }
    }
    ByteArena* Arena() const noexcept { return arena_; }
    template <class U>
    bool operator==(const NodeAllocator<U>& other) const noexcept {
        return arena_ == other.Arena();
    }

private:
    ByteArena* arena_;
};

// Gives a vector of n elements the host's large blocks where n elements
// fill whole blocks (as a large hash table of 2^k slots does), else heap
// memory: filling a 2 MiB table then costs one page fault, not 512. The
// kind of memory follows from n alone (deallocate knows it), so any two
// allocators are equal.
template <class T>
class LargeBlockAllocator {
public:
    using value_type = T;

    LargeBlockAllocator() noexcept = default;
    template <class U>
    LargeBlockAllocator(const LargeBlockAllocator<U>& /*other*/) noexcept {}

    T* allocate(std::size_t n) {
        if (!InLargeBlocks(n)) return std::allocator<T>().allocate(n);
        void* block = platform::AllocateLargeBlock(n * sizeof(T));
        if (block == nullptr) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* items, std::size_t n) noexcept {
        if (InLargeBlocks(n)) {
            platform::FreeLargeBlock(items, n * sizeof(T));
        } else {
            std::allocator<T>().deallocate(items, n);
        }
    }
    template <class U>
    bool operator==(const LargeBlockAllocator<U>& /*other*/) const noexcept {
        return true;
    }

private:
    static bool InLargeBlocks(std::size_t n) {
        return n >= platform::kLargeBlockBytes / sizeof(T) && n * sizeof(T) % platform::kLargeBlockBytes == 0;
    }
};

}  // namespace qor::store

#endif
