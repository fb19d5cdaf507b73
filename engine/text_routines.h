// Small routines over NUL-terminated single-byte texts and 32-bit numbers.
// Digits are the ASCII digits and the only case rule is the ASCII one.
// None of them checks the size of a destination.
#pragma once
#include <cstdint>

uint32_t DecimalToNumber(const char* text);
void NumberToDecimal(int32_t value, char* destination);
uint32_t TextLength(const char* text);
void CopyText(const char* source, char* destination);
void AppendText(char* destination, const char* source);
char* CopyCount(const char* source, char* destination, uint32_t count);
void MidText(const char* source, char* destination, uint32_t index, uint32_t count);
char* RightText(const char* source, char* destination, uint32_t count);
char* LowerText(char* text);
int32_t FindText(int32_t start, const char* text, const char* pattern);
