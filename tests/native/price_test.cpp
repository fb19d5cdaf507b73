#include "price.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Formatted(uint32_t value) {
    char text[PRICE_TEXT_SIZE];
    FormatPrice(value, text);
    return text;
}

TEST(PriceTest, FormatsAndParses) {
    const std::pair<uint32_t, const char*> formats[] = {
        {0, "0.00"},   {5, "0.05"},     {10, "0.10"},        {99, "0.99"},
        {100, "1.00"}, {1234, "12.34"}, {100005, "1000.05"}, {4294967295u, "42949672.95"}};
    for (const auto& [value, text] : formats) {
        EXPECT_EQ(Formatted(value), text);
        EXPECT_EQ(ParsePrice(text), value) << text;
    }
    // One fraction digit is tenths, of more only the first two count; 2^32 wraps to 0.
    const std::pair<const char*, uint32_t> parses[] = {
        {"12", 1200},       {"12.", 1200}, {".75", 75},      {"007.10", 710},  {".", 0},
        {"12.5", 1250},     {".5", 50},    {"12.345", 1234}, {".1299999", 12}, {"42949673", 4},
        {"42949672.96", 0}, {"", 0},       {"abc", 0},       {"12,50", 0},     {"-5", 0},
        {" 12", 0},         {"12 ", 0},    {"1.2.3", 0},     {"12a", 0},       {"..", 0}};
    for (const auto& [text, value] : parses) EXPECT_EQ(ParsePrice(text), value) << text;
    // 10^40 is a multiple of 2^32, so only the hundredths survive.
    EXPECT_EQ(ParsePrice(("1" + std::string(40, '0') + ".25").c_str()), 25u);
}

} // namespace
