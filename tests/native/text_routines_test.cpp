#include "text_routines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextRoutines, DecimalToNumberTakesEveryByteAndWraps) {
    EXPECT_EQ(DecimalToNumber("123"), 123u);
    EXPECT_EQ(DecimalToNumber("007"), 7u);
    EXPECT_EQ(static_cast<int32_t>(DecimalToNumber("-45")), -45);
    EXPECT_EQ(DecimalToNumber("12a"), 169u);
    EXPECT_EQ(DecimalToNumber("4294967296"), 0u);
    EXPECT_EQ(DecimalToNumber(""), 0u);
    EXPECT_EQ(DecimalToNumber("-"), 0u);
    EXPECT_EQ(DecimalToNumber("Smith"), 417436u);
    EXPECT_EQ(DecimalToNumber("1 "), 10u + 240u);
    EXPECT_EQ(DecimalToNumber("\xFF"), 207u);
}

TEST(TextRoutines, NumberToDecimalIsSignedWithoutPadding) {
    const int32_t values[] = {0, -1, 7, 1000, INT32_MAX, INT32_MIN};
    const char* texts[] = {"0", "-1", "7", "1000", "2147483647", "-2147483648"};
    char text[12];
    for (int i = 0; i < 6; ++i) {
        NumberToDecimal(values[i], text);
        EXPECT_STREQ(text, texts[i]);
    }
}

TEST(TextRoutines, FindTextPositionsAndRefusals) {
    EXPECT_EQ(FindText(1, "12.50", "."), 3);
    EXPECT_EQ(FindText(1, "1250", "."), 0);
    EXPECT_EQ(FindText(1, ".", "."), -1);
    EXPECT_EQ(FindText(1, "ab", "abc"), -1);
    EXPECT_EQ(FindText(0, "abc", "b"), -2);
    EXPECT_EQ(FindText(3, "abc", "b"), 0);
    EXPECT_EQ(FindText(4, "abc", "b"), -2);
    EXPECT_EQ(FindText(1, "abab", "ab"), 1);
    EXPECT_EQ(FindText(2, "abab", "ab"), 3);
    EXPECT_EQ(FindText(1, "aBc", "b"), 0);
}

TEST(TextRoutines, CopiesCutAndJoinTexts) {
    char text[64];
    EXPECT_STREQ(CopyCount("abc", text, 3), "abc");
    // Exactly n bytes are copied, so the text ends at the source's own NUL.
    const char source[8] = {'a', 'b', '\0', 'x', 'y', 'z', '\0', '\0'};
    CopyCount(source, text, 6);
    EXPECT_STREQ(text, "ab");
    EXPECT_EQ(text[3], 'x');
    EXPECT_EQ(text[6], '\0');
    MidText("12.50", text, 0, 2);
    EXPECT_STREQ(text, "12");
    MidText("12.50", text, 3, 2);
    EXPECT_STREQ(text, "50");
    MidText("12.50", text, 0, 0);
    EXPECT_STREQ(text, "");
    EXPECT_STREQ(RightText("12.50", text, 2), "50");
    EXPECT_STREQ(RightText("12.50", text, 0), "");
    CopyText("Record ", text);
    AppendText(text, "3");
    EXPECT_STREQ(text, "Record 3");
    EXPECT_EQ(TextLength(text), 8u);
    char mixed[] = "\xC4"
                   "BZ-q";
    EXPECT_STREQ(LowerText(mixed), "\xC4"
                                   "bz-q");
}

} // namespace
