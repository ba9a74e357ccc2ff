// Numbers to text and back, the integer tests, lowering and function names.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "parse_helpers.h"

namespace {

using parsing::read_text;

std::string text_of_value(long double x) {
    return read_text([&](char **out) { ValToStr(x, out); });
}

class NumbersTest : public ::testing::Test {
  protected:
    void SetUp() override { SolverInit(); }
    void TearDown() override { SolverDone(); }
};

TEST_F(NumbersTest, ValuesAreWrittenPlainOrInTheScientificLayout) {
    const std::pair<long double, const char *> cases[] = {
        {1234.5L, "1234.5"},
        {100, "100"},
        {0.001L, "0.001"},
        {-2.5L, "-2.5"},
        {0, "0"},
        {-0.0L, "0"},
        {0.1L, "0.1"},
        {-1234.5L, "-1234.5"},
        {1e15L, "1000000000000000"},
        {-1e15L, "-1000000000000000"},
        {1.5e-15L, "0.0000000000000015"},
        {1e-15L, "0.000000000000001"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {123456.789L, "123456.789"},
        {999999999999999.5L, "1000000000000000"},  // rounded to 15 digits first
        {1234567890123456.7L, "1234567890123460"},
        {1e16L, " 1.00000000000000E+0016"},
        {1e20L, " 1.00000000000000E+0020"},
        {2.5e-20L, " 2.50000000000000E-0020"},
        {-2.5e-20L, "-2.50000000000000E-0020"},
        {1e-16L, " 1.00000000000000E-0016"},
        {1.18e4000L, " 1.18000000000000E+4000"},
        {std::numeric_limits<long double>::infinity(), "INF"},
        {-std::numeric_limits<long double>::infinity(), "-INF"},
        {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
    };
    for (const auto &[value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(text_of_value(value), text);
    }
}

struct Reading {
    const char *text;
    long double value;
    bool fails;
};

TEST_F(NumbersTest, TextsAreReadForgivingly) {
    const Reading cases[] = {
        {"", 0, false},
        {"1.5", 1.5L, false},
        {"1,5", 1.5L, false},
        {"1.5е3", 1500, false},  // Cyrillic е
        {"1.5Е3", 1500, false},  // Cyrillic Е
        {"1.5e-3", 0.0015L, false},
        {"2e", 2, false},
        {"2e-", 2, false},
        {"2е+", 2, false},
        {"  -7", -7, false},
        {"+7", 7, false},
        {".5", 0.5L, false},
        {"5.", 5, false},
        {"1e-5000", 0, false},  // below the smallest extended value
        {"12a", 0, true},
        {"1.5 ", 0, true},
        {"1 5", 0, true},
        {"1,5,5", 0, true},
        {"e", 0, true},
        {".", 0, true},
        {"-", 0, true},
        {"1e5e", 0, true},
        {"1e5000", 0, true},  // beyond the largest
        {"inf", 0, true},
        {"nan", 0, true},
        {"0x10", 0, true},
    };
    for (const Reading &c : cases) {
        SCOPED_TRACE(c.text);
        SolverInit();
        long double value = -1;
        StrToVal(c.text, &value);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(SolverLastResult(), c.fails ? 4 : 0);
    }
}

TEST_F(NumbersTest, AFailedReadingStaysInTheRegister) {
    long double value = 0;
    StrToVal("12a", &value);
    StrToVal("12", &value);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(SolverLastResult(), 4);
    SolverInit();
    EXPECT_EQ(SolverLastResult(), 0);
}

TEST_F(NumbersTest, WrittenValuesReadBack) {
    for (const long double x : {1234.5L, -0.001L, 1e20L, -2.5e-20L, 1e15L, 1.5e-15L, 123456789012345.0L}) {
        long double back = 0;
        StrToVal(text_of_value(x).c_str(), &back);
        EXPECT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(text_of_value(back), text_of_value(x));
    }
}

TEST_F(NumbersTest, IntegerPartAndIntegerTest) {
    const std::tuple<long double, int64_t, bool> cases[] = {
        {3, 3, true},
        {-3, -3, true},
        {0, 0, true},
        {2.5L, 2, false},
        {-2.5L, -2, false},
        {2.999999995L, 3, false},
        {-2.999999995L, -3, false},
        {2.9999999999L, 3, false},
        {-0.999999999L, -1, false},
        {1e-30L, 0, false},
        {1e-4000L, 0, false},  // its sign, taken in double precision, is 0
        {9e15L, 9000000000000000, true},
    };
    for (const auto &[x, part, whole] : cases) {
        SCOPED_TRACE(static_cast<double>(x));
        EXPECT_EQ(ExtInteger(x), part);
        EXPECT_EQ(IsInteger(x), whole ? -1 : 0);
    }
    // Beyond 64 bits the result is unspecified, but it must not trap.
    ExtInteger(1e30L);
    ExtInteger(-1e30L);
    ExtInteger(std::numeric_limits<long double>::quiet_NaN());
    EXPECT_EQ(IsInteger(std::numeric_limits<long double>::infinity()), 0);
}

TEST_F(NumbersTest, OnlyCyrillicCapitalsAreLowered) {
    const std::pair<const char *, const char *> cases[] = {
        {"ВАТТ Watt", "ватт Watt"},
        {"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ", "абвгдежзийклмнопрстуфхцчшщъыьэюя"},
        {"Ёж", "Ёж"},
        {"", ""},
    };
    for (const auto &[text, lowered] : cases) {
        EXPECT_EQ(read_text([&](char **out) { StrLower(text, out); }), lowered);
    }
}

TEST_F(NumbersTest, FunctionNamesByRow) {
    const std::pair<int, const char *> cases[] = {
        {0, "sin"},   {11, "arccosec"}, {24, "sqr"}, {31, "lg"}, {32, "pow"},
        {33, "root"}, {34, "log"},      {35, ""},    {255, ""},
    };
    for (const auto &[index, name] : cases) {
        EXPECT_EQ(read_text([&](char **out) { FunctionName(static_cast<uint8_t>(index), out); }), name);
    }
}

}  // namespace
