// Bytes handed out from a few large chunks that live as long as the arena:
// a large store's many small texts then cost no allocation each and no
// allocator header or rounding each, and lie densely in fewer pages.
//
// Bytes are never given back one by one: the arena counts what it handed
// out, so that its owner can copy what is still used into a fresh arena
// once the count far exceeds it.
#ifndef QOR_STORE_BYTEARENA_H
#define QOR_STORE_BYTEARENA_H

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace qor::store {

class ByteArena {
public:
    ByteArena() = default;
    ByteArena(const ByteArena&) = delete;
    ByteArena& operator=(const ByteArena&) = delete;

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
    // Every byte taken since the arena was made or cleared.
    std::size_t Taken() const { return taken_; }
    static constexpr std::size_t kChunkSize = std::size_t{1} << 18;

    void Clear() noexcept {
        chunks_.clear();
        next_ = nullptr;
        left_ = taken_ = 0;
    }
    void Swap(ByteArena& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(next_, other.next_);
        std::swap(left_, other.left_);
        std::swap(taken_, other.taken_);
    }

private:
    char* NewChunk(std::size_t bytes) {
        chunks_.reserve(chunks_.size() + 1);
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        return chunks_.back().get();
    }
    // A fresh chunk to take from; what the old one has left is not used again.
    void Grow(std::size_t bytes) {
        next_ = NewChunk(bytes);
        left_ = bytes;
    }
    // A large request gets a chunk of its own, and the current one stays.
    char* Separate(std::size_t size) {
        char* room = NewChunk(size);
        taken_ += size;
        return room;
    }

    std::vector<std::unique_ptr<char[]>> chunks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t taken_ = 0;
};

}  // namespace qor::store

#endif
