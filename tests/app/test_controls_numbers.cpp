// The number reader, the number writer and the whole-number test of the
// editing controls.
#include <gtest/gtest.h>

#include <cmath>

#include "controls/numbers.h"

namespace tessarin {
namespace {

struct ReadCase {
    const char *text;  // UTF-8
    bool readable;
    long double value;
};

const ReadCase kReadCases[] = {
    {"", true, 0},
    {"1.5", true, 1.5L},
    {"1,5", true, 1.5L},
    {"-.5", true, -0.5L},
    {".", true, 0},
    {"+7", true, 7},
    {"   12", true, 12},
    {"2e3", true, 2000},
    {"2E-3", true, 0.002L},
    {"2Е3", true, 2000},  // Cyrillic capital
    {"2е3", true, 2000},  // Cyrillic small
    // Exponents still being typed read as exponent zero.
    {"1,5е", true, 1.5L},
    {"1,5Е", true, 1.5L},
    {"2e", true, 2},
    {"2e-", true, 2},
    {"2E+", true, 2},
    // Broken texts.
    {"-", false, 0},
    {"+", false, 0},
    {" ", false, 0},
    {"12 ", false, 0},
    {"1,2,3", false, 0},
    {"1.2.3", false, 0},
    {"abc", false, 0},
    {"1e5x", false, 0},
    {"--1", false, 0},
    {"1e+-5", false, 0},
    {"\u0661", false, 0},  // an Arabic-Indic digit is no digit here
    // Beyond the extended range a value would silently become another.
    {"1e99999", false, 0},
};

TEST(NumberReader, ReadsTypedTexts) {
    for (const ReadCase &c : kReadCases) {
        SCOPED_TRACE(c.text);
        std::optional<long double> value = readNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(value.has_value(), c.readable);
        if (value) {
            EXPECT_NEAR(static_cast<double>(*value), static_cast<double>(c.value), 1e-15);
        }
    }
}

TEST(NumberReader, KeepsExtendedPrecision) {
    // 2^64 + 1 needs more than a double's 53 bits.
    EXPECT_EQ(readNumber("18446744073709551617"), 18446744073709551617.0L);
    EXPECT_EQ(readNumber("0,1"), 0.1L);
}

struct WriteCase {
    long double value;
    const char *text;
};

const WriteCase kWriteCases[] = {
    {0, "0"},
    {2, "2"},
    {-2.25L, "-2.25"},
    {1234.5L, "1234.5"},
    {0.00123L, "0.00123"},
    {1.5e10L, "15000000000"},
    {0.1L, "0.1"},
    {1.0L / 3, "0.333333333333333"},
    {-2.0L / 3, "-0.666666666666667"},
    {1e15L, "1000000000000000"},
    {1e-15L, "0.000000000000001"},
    {1e16L, " 1.00000000000000E+0016"},
    {1e-16L, " 1.00000000000000E-0016"},
    {1.5e20L, " 1.50000000000000E+0020"},
    {-1.5e-20L, "-1.50000000000000E-0020"},
    {6.02214076e23L, " 6.02214076000000E+0023"},
    {1e300L * 1e300L, " 1.00000000000000E+0600"},
    // Rounding to 15 digits may carry into the exponent.
    {9.9999999999999999e15L, " 1.00000000000000E+0016"},
    {-0.0L, "0"},
};

TEST(NumberWriter, WritesFixedOrScientific) {
    for (const WriteCase &c : kWriteCases)
        EXPECT_EQ(writeNumber(c.value).toStdString(), c.text) << static_cast<double>(c.value);
}

TEST(NumberWriter, ReaderReadsWhatWriterWrote) {
    const long double values[] = {1234.5L, -0.00123L, 3.25e-7L, 1e16L, -7.5e300L, 0.1L, 123456789.125L};
    for (long double value : values) {
        std::optional<long double> back = readNumber(writeNumber(value));
        ASSERT_TRUE(back) << writeNumber(value).toStdString();
        EXPECT_NEAR(static_cast<double>(*back / value), 1.0, 1e-14);
    }
}

TEST(WholeNumber, PassesOnlyExactWholeNumbersOfThirtyTwoBits) {
    struct {
        long double value;
        std::optional<int32_t> whole;
    } const cases[] = {
        {2.0L, 2},
        {-3.0L, -3},
        {1e3L, 1000},
        {0.0L, 0},
        {2147483647.0L, 2147483647},
        {-2147483648.0L, INT32_MIN},
        {2.5L, std::nullopt},
        {-0.5L, std::nullopt},
        {2.000000001L, std::nullopt},
        {1.9999999999L, std::nullopt},
        {2147483648.0L, std::nullopt},
        {1e30L, std::nullopt},
        {INFINITY, std::nullopt},
        {NAN, std::nullopt},
    };
    for (const auto &c : cases) EXPECT_EQ(wholeNumber(c.value), c.whole) << static_cast<double>(c.value);
}

}  // namespace
}  // namespace tessarin
