#include "text_routines.h"

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
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *destination++ = '-';
    while (count > 0) *destination++ = digits[--count];
    return destination;
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
