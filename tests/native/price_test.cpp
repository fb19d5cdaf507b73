#include "price.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Formatted(uint32_t value) {
    char text[PRICE_TEXT_SIZE];
    FormatPrice(value, text);
    return text;
}

TEST(PriceTest, FormatsHundredthsWithTwoDecimals) {
    EXPECT_EQ(Formatted(0), "0.00");
    EXPECT_EQ(Formatted(5), "0.05");
    EXPECT_EQ(Formatted(10), "0.10");
    EXPECT_EQ(Formatted(99), "0.99");
    EXPECT_EQ(Formatted(100), "1.00");
    EXPECT_EQ(Formatted(1234), "12.34");
    EXPECT_EQ(Formatted(100005), "1000.05");
    EXPECT_EQ(Formatted(4294967295u), "42949672.95");
}

TEST(PriceTest, ParsesWholeAndTwoDigitPrices) {
    EXPECT_EQ(ParsePrice(""), 0u);
    EXPECT_EQ(ParsePrice("12.34"), 1234u);
    EXPECT_EQ(ParsePrice("12"), 1200u);
    EXPECT_EQ(ParsePrice("12."), 1200u);
    EXPECT_EQ(ParsePrice(".50"), 50u);
    EXPECT_EQ(ParsePrice(".75"), 75u);
    EXPECT_EQ(ParsePrice("7"), 700u);
    EXPECT_EQ(ParsePrice("0.05"), 5u);
    EXPECT_EQ(ParsePrice("007.10"), 710u);
    EXPECT_EQ(ParsePrice("."), 0u);
}

TEST(PriceTest, OneFractionDigitIsTenthsAndLongerFractionsKeepTheFirstTwo) {
    EXPECT_EQ(ParsePrice("12.5"), 1250u);
    EXPECT_EQ(ParsePrice(".5"), 50u);
    EXPECT_EQ(ParsePrice("3.0"), 300u);
    EXPECT_EQ(ParsePrice("12.345"), 1234u);
    EXPECT_EQ(ParsePrice("0.999"), 99u);
    EXPECT_EQ(ParsePrice(".1299999"), 12u);
}

TEST(PriceTest, WrapsModulo32Bits) {
    EXPECT_EQ(ParsePrice("42949672.95"), 4294967295u);
    EXPECT_EQ(ParsePrice("42949672.96"), 0u);
    EXPECT_EQ(ParsePrice("42949673"), 4u);
    // 10^40 is a multiple of 2^32, so only the hundredths survive.
    EXPECT_EQ(ParsePrice(("1" + std::string(40, '0') + ".25").c_str()), 25u);
}

TEST(PriceTest, TextThatIsNotAPriceGivesZero) {
    for (const char* text : {"abc", "12,50", "-5", "$12.50", " 12", "12 ", "1.2.3", "12a", ".."})
        EXPECT_EQ(ParsePrice(text), 0u) << text;
}

TEST(PriceTest, FormattedPricesReadBackUnchanged) {
    for (uint32_t value :
         {0u, 1u, 9u, 10u, 99u, 100u, 101u, 1234u, 99999u, 4294967200u, 4294967295u})
        EXPECT_EQ(ParsePrice(Formatted(value).c_str()), value) << value;
}

} // namespace
