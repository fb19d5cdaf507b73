#include "price.h"

#include "text_routines.h"

#include <string>

void FormatPrice(uint32_t value, char* destination) {
    uint32_t units = value / 100;
    uint32_t hundredths = value - units * 100;
    char digits[PRICE_TEXT_SIZE];
    NumberToDecimal(static_cast<int32_t>(units), destination);
    AppendText(destination, hundredths < 10 ? ".0" : ".");
    NumberToDecimal(static_cast<int32_t>(hundredths), digits);
    AppendText(destination, digits);
}

// Only digits and one point make a price; anything else would turn into
// arbitrary numbers in DecimalToNumber, which takes every byte as a digit.
static bool IsPriceText(const char* text) {
    int points = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == '.')
            ++points;
        else if (*p < '0' || *p > '9')
            return false;
    }
    return points <= 1;
}

uint32_t ParsePrice(const char* text) {
    uint32_t length = TextLength(text);
    if (length == 0 || !IsPriceText(text)) return 0;
    // FindText does not look for a pattern as long as the text, so a
    // one-character text is checked here.
    int32_t point = length == 1 ? (text[0] == '.' ? 1 : 0) : FindText(1, text, ".");
    if (point <= 0) return DecimalToNumber(text) * 100u;

    std::string part(length + 1, '\0');
    uint32_t pointIndex = static_cast<uint32_t>(point) - 1;
    MidText(text, part.data(), 0, pointIndex);
    uint32_t whole = DecimalToNumber(part.data());

    uint32_t digitsAfter = length - pointIndex - 1;
    uint32_t fraction = 0;
    if (digitsAfter == 1) {
        fraction = DecimalToNumber(RightText(text, part.data(), 1)) * 10u;
    } else if (digitsAfter >= 2) {
        MidText(text, part.data(), pointIndex + 1, 2);
        fraction = DecimalToNumber(part.data());
    }
    return whole * 100u + fraction;
}
