// Prices are stored as unsigned 32-bit counts of hundredths of the currency
// unit and shown with two decimals. Portable, so that it is tested natively.
#pragma once
#include <cstdint>

// Room for the longest price text, "42949672.95", and its terminator.
constexpr int PRICE_TEXT_SIZE = 12;

// Writes value as units, a point and two digits of hundredths: 1234 gives "12.34".
void FormatPrice(uint32_t value, char* destination);

// Reads a price text of digits with at most one point: "12.34" gives 1234,
// "12" and "12." give 1200, ".75" gives 75. One digit after the point counts
// as tenths ("12.5" gives 1250); of more digits only the first two count
// ("12.345" gives 1234). The result wraps modulo 2^32. The empty text and any
// text with other characters give 0, as a number box does.
uint32_t ParsePrice(const char* text);
