#include "card/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace card {
namespace {

struct Accepted {
  std::string text;
  double value;
};

class ParseNumberAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(ParseNumberAccepts, ReadsTheValue) {
  const std::optional<double> value = ParseNumber(GetParam().text);
  ASSERT_TRUE(value.has_value()) << GetParam().text;
  EXPECT_EQ(*value, GetParam().value) << GetParam().text;
  EXPECT_EQ(std::signbit(*value), std::signbit(GetParam().value))
      << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseNumberAccepts,
    testing::Values(
        Accepted{"0", 0}, Accepted{"17", 17}, Accepted{"1,3", 1.3},
        Accepted{"0,26", 0.26}, Accepted{"-2,5", -2.5}, Accepted{"+2,5", 2.5},
        Accepted{"  7  ", 7}, Accepted{"007", 7}, Accepted{"7,0", 7},
        // Forms a number passes through while it is typed.
        Accepted{"1,", 1}, Accepted{",5", 0.5}, Accepted{"-,5", -0.5},
        // Exponents, as written and as typed.
        Accepted{"5E-05", 5e-05}, Accepted{"5e-05", 5e-05},
        Accepted{"1E+16", 1e16}, Accepted{"2E0", 2}, Accepted{"1,E2", 100},
        Accepted{",5E1", 5},
        Accepted{"1,23456789012346E+15", 1.23456789012346e15},
        Accepted{"0,666666666666667", 0.666666666666667},
        // More digits than the exact short conversion takes.
        Accepted{"1234567890123456789", 1234567890123456789.0},
        Accepted{"0,00000000000000000000000000001", 1e-29},
        Accepted{"0,1000000000000000055511151231257827", 0.1},
        // The edges of the double range.
        Accepted{"1,7976931348623157E308", std::numeric_limits<double>::max()},
        // The largest double as written, rounded up past it, and the values
        // up to the end of the range read as the largest double.
        Accepted{"1,79769313486232E+308", std::numeric_limits<double>::max()},
        Accepted{"-1,79769313486232E+308", -std::numeric_limits<double>::max()},
        Accepted{"1,8E308", std::numeric_limits<double>::max()},
        Accepted{"179,9E306", std::numeric_limits<double>::max()},
        Accepted{"4,94065645841247E-324",
                 std::numeric_limits<double>::denorm_min()},
        Accepted{"2,2250738585072014E-308", std::numeric_limits<double>::min()},
        // Too small for a double: zero of its sign, within the range.
        Accepted{"1E-400", 0}, Accepted{"-1E-400", -0.0},
        Accepted{"0,0000001E-999999999999999999", 0},
        Accepted{"0E999999999", 0}));

class ParseNumberRejects : public testing::TestWithParam<std::string> {};

TEST_P(ParseNumberRejects, IsNotANumber) {
  EXPECT_EQ(ParseNumber(GetParam()), std::nullopt) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseNumberRejects,
    testing::Values("", "   ", "-", "+", ",", "-,", "+,", ",,", "1.5", "1,2,3",
                    "abc", "1a", "a1", "--1", "+-1", "1-", "1 2", "1, 5", "E5",
                    ",E5", "1E", "1E+", "1E-", "1E1,5", "1E1E1", "1e 5", "\t1",
                    "1\t", "1\n", "inf", "nan", "0x10", "1_000",
                    // Cyrillic "Е" is not the exponent letter.
                    "1Е5",
                    // Beyond the double range.
                    "1,80000000000001E308", "-1,9E308", "1E99999999999",
                    "1E309", std::string(400, '9'),
                    // What an infinite result is shown as.
                    "бесконечность", "-бесконечность", "неопределенность",
                    std::string("1\0", 2)));

struct Formatted {
  double value;
  std::string text;
};

class FormatNumberWrites : public testing::TestWithParam<Formatted> {};

TEST_P(FormatNumberWrites, TheShortestText) {
  EXPECT_EQ(FormatNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatNumberWrites,
    testing::Values(
        Formatted{0, "0"}, Formatted{-0.0, "0"}, Formatted{17, "17"},
        Formatted{1.3, "1,3"}, Formatted{0.26, "0,26"}, Formatted{-2.5, "-2,5"},
        Formatted{100, "100"}, Formatted{123.456, "123,456"},
        Formatted{2.0 / 3, "0,666666666666667"},
        Formatted{-2.0 / 3, "-0,666666666666667"}, Formatted{0.1 + 0.2, "0,3"},
        Formatted{1.3 / 5 / 5, "0,052"},
        // The lower edge of the plain form.
        Formatted{0.0001, "0,0001"}, Formatted{0.00009999, "9,999E-05"},
        Formatted{0.00009999999999999999, "0,0001"},
        Formatted{0.000099999999999999, "9,9999999999999E-05"},
        Formatted{0.00005, "5E-05"}, Formatted{-0.00005, "-5E-05"},
        // The upper edge: 10^15 is the first value in exponent form.
        Formatted{999999999999999.0, "999999999999999"},
        Formatted{999999999999999.9, "1E+15"}, Formatted{1e15, "1E+15"},
        Formatted{-1e15, "-1E+15"}, Formatted{1e14, "100000000000000"},
        Formatted{1e16, "1E+16"},
        Formatted{1234567890123456.0, "1,23456789012346E+15"},
        Formatted{1e100, "1E+100"}, Formatted{1e-300, "1E-300"},
        Formatted{std::numeric_limits<double>::max(), "1,79769313486232E+308"},
        Formatted{-std::numeric_limits<double>::max(),
                  "-1,79769313486232E+308"},
        // Subnormal values are rounded to 15 digits like any other.
        Formatted{std::numeric_limits<double>::denorm_min(),
                  "4,94065645841247E-324"},
        Formatted{std::numeric_limits<double>::infinity(), "бесконечность"},
        Formatted{-std::numeric_limits<double>::infinity(), "-бесконечность"}));

// The double nearest to the value correctly rounded to 15 digits, by the
// standard library's own rounding.
double RoundedTo15Digits(double value) {
  char buffer[64];
  const char* end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                  std::chars_format::scientific, 14)
                        .ptr;
  double rounded = 0;
  std::from_chars(buffer, end, rounded);
  return rounded;
}

// Every text FormatNumber writes reads back, and writing the value read gives
// the same text again; the value is the one shown to 15 digits.
void ExpectRoundTrip(double value) {
  const std::string text = FormatNumber(value);
  const std::optional<double> read = ParseNumber(text);
  ASSERT_TRUE(read.has_value()) << text;
  EXPECT_EQ(FormatNumber(*read), text);
  EXPECT_EQ(*read, RoundedTo15Digits(value)) << text;
}

// Random bit patterns reach every exponent; amounts in cents under each
// divisor are the values a card holds.
TEST(NumberRoundTrip, RandomDoubles) {
  std::mt19937_64 random(20261207);
  std::uniform_int_distribution<std::int64_t> cents(-100000000, 100000000);
  constexpr int kDivisors[] = {1, 5, 4, 2};
  for (int i = 0; i < 200000; ++i) {
    const std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) ExpectRoundTrip(value);
    ExpectRoundTrip(static_cast<double>(cents(random)) / 100 /
                    kDivisors[i % 4]);
  }
}

// Values next to a midpoint of the 15th digit, where rounding the shortest
// digits of the double again would round twice.
TEST(NumberRoundTrip, NearMidpoints) {
  std::mt19937_64 random(99);
  std::uniform_int_distribution<std::int64_t> mantissa(100000000000000,
                                                       999999999999999);
  for (int i = 0; i < 100000; ++i) {
    const std::string text =
        std::to_string(mantissa(random)) + "5e" +
        std::to_string(std::uniform_int_distribution<int>(-320, 290)(random));
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    for (double near :
         {std::nextafter(value, 0.0), value, std::nextafter(value, 1e300)}) {
      ExpectRoundTrip(near);
    }
  }
}

}  // namespace
}  // namespace card
