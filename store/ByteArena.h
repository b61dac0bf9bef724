// Bytes handed out from a few large chunks that live as long as the arena:
// a large store's many small texts then cost no allocation each and no
// allocator header or rounding each, and lie densely in fewer pages.
//
// The first chunks are small, so a small store holds little. Once the arena
// holds more than kSmallChunksUpTo, its chunks are the host's large blocks
// (platform/Platform.h): a large load then pays one page fault per large
// page, not one per small page, for the memory it fills.
//
// Bytes are never given back one by one: the arena counts what it handed
// out, so that its owner can copy what is still used into a fresh arena
// once the count far exceeds it.
#ifndef QOR_STORE_BYTEARENA_H
#define QOR_STORE_BYTEARENA_H

#include <cstddef>
#include <cstring>
#include <new>
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
        if (size > left_) {
            if (size > kChunkSize / 4) return Separate(size);
            Grow(kChunkSize);
        }
        char* room = next_;
        next_ += size;
        left_ -= size;
        taken_ += size;
        return room;
    }
    // A copy of text in the arena.
    std::string_view Keep(std::string_view text) {
        if (text.empty()) return {};
        char* room = Take(text.size());
        std::memcpy(room, text.data(), text.size());
        return {room, text.size()};
    }
    // Makes sure that the next Take calls of size bytes in all allocate
    // nothing, so that a caller can take them where it must not fail.
    void Reserve(std::size_t size) {
        if (size > left_) Grow(size > kChunkSize ? size : kChunkSize);
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
        next_ = nullptr;
        left_ = taken_ = 0;
        expectLarge_ = false;
    }
    void Swap(ByteArena& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(next_, other.next_);
        std::swap(left_, other.left_);
        std::swap(taken_, other.taken_);
        std::swap(expectLarge_, other.expectLarge_);
    }

private:
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
        chunks_.push_back(Chunk{new char[bytes], bytes, false});
        return chunks_.back().bytes;
    }
    // A fresh chunk to take from; what the old one has left is not used again.
    void Grow(std::size_t bytes) {
        next_ = NewChunk(bytes, true);
        left_ = bytes;
    }
    // A large request gets a chunk of its own, and the current one stays.
    char* Separate(std::size_t size) {
        std::size_t bytes = size;
        char* room = NewChunk(bytes, false);
        taken_ += size;
        return room;
    }

    std::vector<Chunk> chunks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t taken_ = 0;
    bool expectLarge_ = false;
};

}  // namespace qor::store

#endif
