#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace platform::text;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(truncateTowardZero(-2.9), -2);
    EXPECT_EQ(truncateTowardZero(2.9), 2);
}

TEST(Rounding, NonFiniteAndHugeValuesAreRangeErrors) {
    EXPECT_THROW(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), RangeError);
    EXPECT_THROW(roundHalfEven(std::numeric_limits<double>::infinity()), RangeError);
    EXPECT_THROW(truncateTowardZero(-1e300), RangeError);
    EXPECT_THROW(roundHalfEven(9223372036854775808.0), RangeError);
    EXPECT_EQ(roundHalfEven(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
}

TEST(Rounding, NarrowingChecksTheTarget) {
    EXPECT_EQ(roundTo<std::uint8_t>(254.5), 254);
    EXPECT_EQ(roundTo<std::uint8_t>(255.4), 255);
    EXPECT_THROW(roundTo<std::uint8_t>(255.6), RangeError);
    EXPECT_THROW(roundTo<std::uint16_t>(-0.6), RangeError);
    EXPECT_EQ(roundTo<std::uint16_t>(-0.5), 0);
    EXPECT_EQ(truncTo<std::int16_t>(-32768.9), -32768);
    EXPECT_THROW(truncTo<std::int16_t>(32768.0), RangeError);
    EXPECT_THROW(checkedCast<std::int32_t>(std::int64_t{1} << 31), RangeError);
}

TEST(Parsing, IntegersAcceptBlanksAndSignsOnly) {
    EXPECT_EQ(parseInteger("42"), 42);
    EXPECT_EQ(parseInteger("  -17 "), -17);
    EXPECT_EQ(parseInteger("+5"), 5);
    EXPECT_FALSE(parseInteger(""));
    EXPECT_FALSE(parseInteger("   "));
    EXPECT_FALSE(parseInteger("12a"));
    EXPECT_FALSE(parseInteger("1.0"));
    EXPECT_FALSE(parseInteger("+-1"));
    EXPECT_FALSE(parseInteger("99999999999999999999"));
    EXPECT_EQ(parseIntegerOr("x", -1), -1);
}

TEST(Parsing, RealsUseTheGivenSeparator) {
    EXPECT_DOUBLE_EQ(*parseReal("3.25"), 3.25);
    EXPECT_DOUBLE_EQ(*parseReal("3,25", ','), 3.25);
    EXPECT_FALSE(parseReal("3.25", ','));
    EXPECT_FALSE(parseReal("3,25", '.'));
    EXPECT_DOUBLE_EQ(*parseReal(" -1e3 "), -1000.0);
    EXPECT_FALSE(parseReal("inf"));
    EXPECT_FALSE(parseReal("nan"));
    EXPECT_FALSE(parseReal("0x1p3"));
    EXPECT_FALSE(parseReal("1e400"));
    EXPECT_FALSE(parseReal(""));
    EXPECT_DOUBLE_EQ(parseRealOr("abc", 40.0), 40.0);
}

TEST(Formatting, FixedPointHonoursDecimalsPrecisionAndSeparator) {
    EXPECT_EQ(formatFixed(3.14159, 2, '.'), "3.14");
    EXPECT_EQ(formatFixed(3.14159, 2, ','), "3,14");
    EXPECT_EQ(formatFixed(2.0, 3, '.'), "2.000");
    EXPECT_EQ(formatFixed(-0.001, 2, '.'), "0.00");
    EXPECT_EQ(formatFixed(-1.5, 0, '.'), "-2");
    EXPECT_EQ(formatFixed(2.5, 0, '.'), "2");
    // Ten significant digits at most: the eleventh and later come out as zeros.
    EXPECT_EQ(formatFixed(123456789.123, 3, '.', 10), "123456789.100");
    EXPECT_EQ(formatFixed(12345678901.0, 1, '.', 10), "1.234567890e+10");
    EXPECT_EQ(formatInteger(-1234), "-1234");
}

TEST(Formatting, ThousandSeparatorsAreStripped) {
    const FormatSettings saved = formatSettings();
    setFormatSettings({',', '.'});
    EXPECT_EQ(stripThousandSeparators("1.234.567,5"), "1234567,5");
    setFormatSettings({'.', ' '});
    EXPECT_EQ(stripThousandSeparators("1 234.5"), "1234.5");
    setFormatSettings(saved);
}

TEST(Formatting, UserSettingsNeverShareOneCharacter) {
    const FormatSettings s = userFormatSettings();
    EXPECT_NE(s.decimalSeparator, s.thousandSeparator);
}
