// Byte scanners that look at a word (eight bytes, or four) a step: the
// checks that every line and every key the store reads or writes goes
// through, defined here so that the callers' loops can inline them.
//
// A test of word for byte b: the exclusive or of word and b in every byte is
// zero where word holds b, and subtracting one from each byte borrows into
// that byte's top bit. Only a byte above a true match can be flagged falsely,
// so the lowest flagged byte (on a little-endian host) is always a match.
#ifndef QOR_STORE_BYTESCAN_H
#define QOR_STORE_BYTESCAN_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qor::store {

// Asks the processor to bring the memory at `at` into its caches, without
// waiting for it; nothing where the compiler offers no such hint.
inline void PrefetchForRead(const void* at) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(at);
#else
    static_cast<void>(at);
#endif
}

namespace byte_scan {

// 0x01 in every byte of Word.
template <class Word>
inline constexpr Word kOnes = static_cast<Word>(~Word{0}) / 0xFF;
// 0x80 in every byte of Word.
template <class Word>
inline constexpr Word kHighBits = kOnes<Word> * 0x80;

}  // namespace byte_scan

// The eight bytes at `at`, in the host's byte order.
inline std::uint64_t LoadWord(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The high bit of each byte of word that equals byte (and maybe of a byte
// above one that does: enough for a yes or no).
template <class Word>
constexpr Word HasByte(Word word, char byte) {
    using byte_scan::kOnes;
    const Word x = word ^ (kOnes<Word> * static_cast<unsigned char>(byte));
    return (x - kOnes<Word>)&~x & byte_scan::kHighBits<Word>;
}

// Nonzero when one of the bytes of word is below 0x0E: CR, LF and the
// other control bytes up to CR (a rare tab gives a false alarm, which a
// byte by byte look after the alarm clears).
template <class Word>
constexpr Word HasControlByte(Word word) {
    return (word - byte_scan::kOnes<Word> * 0x0E) & ~word & byte_scan::kHighBits<Word>;
}

// The high bit of each byte from 'a' to 'z' (bytes of 0x80 and above never
// count). Subtracting the result >> 2 upper-cases them.
inline std::uint64_t LowerLetterBits(std::uint64_t bytes) {
    constexpr std::uint64_t kOnes = byte_scan::kOnes<std::uint64_t>;
    constexpr std::uint64_t kHighBits = byte_scan::kHighBits<std::uint64_t>;
    const std::uint64_t low7 = bytes & ~kHighBits;
    const std::uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;    // high bit: byte >= 'a'
    const std::uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kOnes;  // high bit: byte > 'z'
    return atLeastA & ~aboveZ & ~bytes & kHighBits;
}

// The position of the first CR or LF in text at or after from, or npos.
// A word is first tested for any byte below 0x0E (three operations, where
// testing for CR and LF exactly takes twice as many); a flagged word's
// flagged bytes are then looked at one by one. Every byte below 0x0E is
// flagged (a false flag only sits above a true one), and a rare tab or other
// control byte is passed over.
inline std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    std::size_t at = from;
    const char* bytes = text.data();
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= text.size(); at += 8) {
            for (std::uint64_t flagged = HasControlByte(LoadWord(bytes + at)); flagged != 0; flagged &= flagged - 1) {
                const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(flagged) / 8);
                if (bytes[end] == '\r' || bytes[end] == '\n') return end;
            }
        }
    }
    for (; at < text.size(); ++at) {
        if (bytes[at] == '\r' || bytes[at] == '\n') return at;
    }
    return std::string_view::npos;
}

// True when text holds any of the bytes a, b and c. Inline, so that the
// three bytes are constants of each caller's loop.
[[gnu::always_inline]] inline bool HoldsAnyOf(std::string_view text, char a, char b, char c) {
    const auto matches = [&](std::size_t at) {
        const std::uint64_t word = LoadWord(text.data() + at);
        return (HasByte(word, a) | HasByte(word, b) | HasByte(word, c)) != 0;
    };
    if (text.size() < 8) {
        for (char byte : text) {
            if (byte == a || byte == b || byte == c) return true;
        }
        return false;
    }
    for (std::size_t at = 0; at + 8 <= text.size(); at += 8) {
        if (matches(at)) return true;
    }
    // The last eight bytes, some of them looked at already.
    return matches(text.size() - 8);
}

// The position of the first byte equal to byte in text, or npos.
inline std::size_t FindByte(std::string_view text, char byte) {
    std::size_t at = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= text.size(); at += 8) {
            const std::uint64_t found = HasByte(LoadWord(text.data() + at), byte);
            if (found != 0) return at + static_cast<std::size_t>(std::countr_zero(found) / 8);
        }
    }
    for (; at < text.size(); ++at) {
        if (text[at] == byte) return at;
    }
    return std::string_view::npos;
}

// True when text holds a letter from 'a' to 'z'.
inline bool HasLowerLetter(std::string_view text) {
    if (text.size() < 8) {
        for (char c : text) {
            if (c >= 'a' && c <= 'z') return true;
        }
        return false;
    }
    std::uint64_t found = 0;
    for (std::size_t at = 0; at + 8 <= text.size(); at += 8) found |= LowerLetterBits(LoadWord(text.data() + at));
    return (found | LowerLetterBits(LoadWord(text.data() + text.size() - 8))) != 0;
}

// The bytes of a text of at most eight bytes as one word, for comparing two
// texts of one size: each byte of the text lands in the word (some twice),
// always in the same place for a given size, and nothing past the text is
// read. So equal texts give equal words and texts that differ, differing
// words; and a byte's case can be changed in the word as in the text.
inline std::uint64_t LoadShort(const char* at, std::size_t size) {
    if (size >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, at, sizeof low);
        std::memcpy(&high, at + size - 4, sizeof high);
        return low | std::uint64_t{high} << 32;
    }
    if (size == 0) return 0;
    const auto byte = [at](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(at[i])}; };
    return byte(0) | byte(size / 2) << 8 | byte(size - 1) << 16;
}

// Whether text, its letters a to z upper-cased, equals upper (which holds
// no letter from a to z), a word at a time. Only a to z are upper-cased:
// other bytes that differ in bit 0x20 never compare equal. A word that
// matches as it is needs no upper-casing, as with the upper-case key paths
// and names of every typed read.
inline bool SameUpperCased(std::string_view upper, std::string_view text) {
    const std::size_t size = text.size();
    if (size != upper.size()) return false;
    const auto same = [](std::uint64_t stored, std::uint64_t word) {
        return word == stored || word - (LowerLetterBits(word) >> 2) == stored;
    };
    if (size <= 8) return same(LoadShort(upper.data(), size), LoadShort(text.data(), size));
    for (std::size_t at = 0; at + 8 < size; at += 8) {
        if (!same(LoadWord(upper.data() + at), LoadWord(text.data() + at))) return false;
    }
    // The last eight bytes, some of them compared already.
    return same(LoadWord(upper.data() + size - 8), LoadWord(text.data() + size - 8));
}

// Upper-cases count bytes from in to out (which may be the same place).
inline void UpperBytes(const char* in, char* out, std::size_t count) {
    const auto upperEight = [in, out](std::size_t at) {
        std::uint64_t bytes = LoadWord(in + at);
        bytes -= LowerLetterBits(bytes) >> 2;  // 0x80 >> 2: the 0x20 between a letter's two cases
        std::memcpy(out + at, &bytes, sizeof bytes);
    };
    if (count < 8) {
        if (count >= 4) {
            // Two overlapping halves, each upper-cased as a word with four zero bytes.
            std::uint32_t first, last;
            std::memcpy(&first, in, 4);
            std::memcpy(&last, in + count - 4, 4);
            first -= static_cast<std::uint32_t>(LowerLetterBits(first) >> 2);
            last -= static_cast<std::uint32_t>(LowerLetterBits(last) >> 2);
            std::memcpy(out, &first, 4);
            std::memcpy(out + count - 4, &last, 4);
            return;
        }
        for (std::size_t at = 0; at < count; ++at) {
            out[at] = (in[at] >= 'a' && in[at] <= 'z') ? static_cast<char>(in[at] - 'a' + 'A') : in[at];
        }
        return;
    }
    for (std::size_t at = 0; at + 8 <= count; at += 8) upperEight(at);
    // The last eight bytes once more (upper-casing twice changes nothing),
    // instead of a byte at a time.
    upperEight(count - 8);
}

namespace byte_scan {

// Copies a word; the high bit of a byte of the result is set where the
// byte may be a line end or (with Also not zero) the byte Also, and the
// other bits are noise: the caller keeps the high bits once, after the
// last word, instead of once a word.
template <class Word, char Also>
Word CopyWord(char* to, const char* from) {
    Word word;
    std::memcpy(&word, from, sizeof word);
    std::memcpy(to, &word, sizeof word);
    Word flags = (word - kOnes<Word> * 0x0E) & ~word;  // HasControlByte unmasked
    if constexpr (Also != 0) {
        const Word x = word ^ (kOnes<Word> * static_cast<unsigned char>(Also));
        flags |= (x - kOnes<Word>)&~x;  // HasByte unmasked
    }
    return flags;
}

}  // namespace byte_scan

// Copies text to `to`; returns a word whose high bits (kHighBits, in any
// byte) are all clear when text surely holds neither CR, LF nor the byte
// Also (when not zero), and some set when it may; its other bits are noise.
// A caller copying many texts ors the words together and looks once, at
// the end. Texts of four bytes and more go in words, the last word
// overlapping the one before; nothing is written past the copy.
template <char Also>
[[gnu::always_inline]] inline std::uint64_t CopyFlagging(char* to, std::string_view text) {
    using byte_scan::CopyWord;
    const char* from = text.data();
    const std::size_t size = text.size();
    if (size >= 8) {
        std::uint64_t found = 0;
        for (std::size_t at = 0; at + 8 < size; at += 8) found |= CopyWord<std::uint64_t, Also>(to + at, from + at);
        return found | CopyWord<std::uint64_t, Also>(to + size - 8, from + size - 8);
    }
    if (size >= 4) {
        return CopyWord<std::uint32_t, Also>(to, from) | CopyWord<std::uint32_t, Also>(to + size - 4, from + size - 4);
    }
    bool found = false;
    for (std::size_t at = 0; at < size; ++at) {
        to[at] = from[at];
        found |= (from[at] == '\r') | (from[at] == '\n') | (Also != 0 && from[at] == Also);
    }
    return found ? byte_scan::kHighBits<std::uint64_t> : 0;
}

// Copies text to `to`; false when it surely holds neither CR, LF nor the
// byte Also (when not zero), true when it may.
template <char Also>
[[gnu::always_inline]] inline bool CopyNoting(char* to, std::string_view text) {
    return (CopyFlagging<Also>(to, text) & byte_scan::kHighBits<std::uint64_t>) != 0;
}

}  // namespace qor::store

#endif
