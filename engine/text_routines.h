// Small routines over NUL-terminated single-byte texts and 32-bit numbers.
// Digits are the ASCII digits and the only case rule is the ASCII one.
// None of them checks the size of a destination.
#pragma once
#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

uint32_t DecimalToNumber(const char* text);
void NumberToDecimal(int32_t value, char* destination);
// Writes the signed decimal text of value without a NUL; returns its end.
char* PutDecimal(int32_t value, char* destination);
uint32_t TextLength(const char* text);
void CopyText(const char* source, char* destination);
void AppendText(char* destination, const char* source);
char* CopyCount(const char* source, char* destination, uint32_t count);
void MidText(const char* source, char* destination, uint32_t index, uint32_t count);
char* RightText(const char* source, char* destination, uint32_t count);
inline bool IsAsciiLetter(unsigned char c) {
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}
// ASCII letters to lower case; every other byte stays.
char* LowerText(char* text);
int32_t FindText(int32_t start, const char* text, const char* pattern);

// Word-at-a-time help for scanning texts eight bytes at once. Words are loaded
// lowest byte first: the program runs on little-endian machines only.
constexpr uint64_t EACH_BYTE = 0x0101010101010101ull;
// Marks each zero byte of a word with its high bit. Marks above a zero byte
// may be false, but the lowest one is always true.
inline uint64_t ZeroBytes(uint64_t word) {
    return (word - EACH_BYTE) & ~word & (EACH_BYTE << 7);
}
// The index of the first byte that marks (not 0) points at.
inline uint32_t FirstMarked(uint64_t marks) {
    return static_cast<uint32_t>(__builtin_ctzll(marks)) / 8;
}

// Texts are scanned sixteen bytes at a time, in one step where the processor
// can.
constexpr uint32_t SPAN = 16;
typedef unsigned char Span __attribute__((vector_size(SPAN)));

// The index of the first of the sixteen bytes at p that is zero, a or b; 16
// when none is.
inline uint32_t FirstOf(const unsigned char* p, unsigned char a, unsigned char b) {
    Span bytes;
    std::memcpy(&bytes, p, SPAN);
    const auto marks = (bytes == 0) | (bytes == a) | (bytes == b);
    // Each half read lowest byte first: the program runs on little-endian machines only.
    uint64_t halves[2];
    std::memcpy(halves, &marks, SPAN);
    if (halves[0] != 0) return static_cast<uint32_t>(__builtin_ctzll(halves[0])) / 8;
    return halves[1] != 0 ? 8 + static_cast<uint32_t>(__builtin_ctzll(halves[1])) / 8 : SPAN;
}

// The high bits of the sixteen bytes, the first byte's lowest.
inline uint32_t HighBits(Span bytes) {
#ifdef __SSE2__
    return static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(bytes)));
#else
    // The product gathers the high bits of a word's eight bytes in its top byte.
    constexpr uint64_t GATHER = 0x0002040810204081ull;
    uint64_t halves[2];
    std::memcpy(halves, &bytes, SPAN);
    uint64_t low = ((halves[0] & (EACH_BYTE << 7)) * GATHER) >> 56;
    uint64_t high = ((halves[1] & (EACH_BYTE << 7)) * GATHER) >> 56;
    return static_cast<uint32_t>(low | high << 8);
#endif
}
