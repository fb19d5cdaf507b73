#include "text_routines.h"

#include <algorithm>
#include <cstring>

uint32_t DecimalToNumber(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    bool negative = *p == '-';
    if (negative) ++p;
    uint32_t value = 0;
    // Every byte counts as its code minus 48, so non-digits make odd numbers, never errors.
    for (; *p; ++p) value = value * 10u + static_cast<uint8_t>(*p - 48u);
    return negative ? 0u - value : value;
}

void NumberToDecimal(int32_t value, char* destination) {
    *PutDecimal(value, destination) = '\0';
}

char* PutDecimal(int32_t value, char* destination) {
    // Two digits at a time, from the last.
    static const char pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233"
        "34353637383940414243444546474849505152535455565758596061626364656667"
        "6869707172737475767778798081828384858687888990919293949596979899";
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[10];
    char* first = digits + sizeof digits;
    for (; magnitude >= 100; magnitude /= 100) {
        first -= 2;
        std::memcpy(first, pairs + 2 * (magnitude % 100), 2);
    }
    if (magnitude >= 10) {
        first -= 2;
        std::memcpy(first, pairs + 2 * magnitude, 2);
    } else {
        *--first = static_cast<char>('0' + magnitude);
    }
    if (value < 0) *destination++ = '-';
    return std::copy(first, digits + sizeof digits, destination);
}

uint32_t TextLength(const char* text) {
    return static_cast<uint32_t>(std::strlen(text));
}

void CopyText(const char* source, char* destination) {
    std::memmove(destination, source, TextLength(source) + 1);
}

void AppendText(char* destination, const char* source) {
    CopyText(source, destination + TextLength(destination));
}

char* CopyCount(const char* source, char* destination, uint32_t count) {
    std::memmove(destination, source, count);
    destination[count] = '\0';
    return destination;
}

void MidText(const char* source, char* destination, uint32_t index, uint32_t count) {
    CopyCount(source + index, destination, count);
}

char* RightText(const char* source, char* destination, uint32_t count) {
    CopyText(source + TextLength(source) - count, destination);
    return destination;
}

char* LowerText(char* text) {
    for (char* p = text; *p; ++p)
        if (IsAsciiLetter(*p)) *p = static_cast<char>(*p | 0x20);
    return text;
}

int32_t FindText(int32_t start, const char* text, const char* pattern) {
    int32_t textLength = static_cast<int32_t>(TextLength(text));
    int32_t patternLength = static_cast<int32_t>(TextLength(pattern));
    if (start < 1) return -2;
    if (patternLength >= textLength) return -1;
    if (start > textLength - patternLength + 1) return -2;
    if (patternLength == 0) return start;
    for (int32_t p = start - 1; p <= textLength - patternLength; ++p)
        if (std::memcmp(text + p, pattern, static_cast<size_t>(patternLength)) == 0) return p + 1;
    return 0;
}
