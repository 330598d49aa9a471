#include "card/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace card {
namespace {

// Shown for a sum beyond the range of a double; letters, so that the next
// recalculation stops at the cell, and Cyrillic that Windows-1251 can save.
constexpr std::string_view kInfinityText = "бесконечность";
constexpr std::string_view kNegativeInfinityText = "-бесконечность";
constexpr std::string_view kNotANumberText = "неопределенность";

// A tenth of the end of the double range, 1,8E+308 (itself not a double):
// texts beyond that end are not numbers.
constexpr double kRangeEndTenth = 1.8e307;
// Decimal exponents written in the plain form: from 0,0001 up to 10^15.
constexpr int kPlainExponentMin = -4;
constexpr int kPlainExponentMax = 14;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exponent digits beyond this are saturated: the value is then far outside
// the range of a double either way.
constexpr std::int64_t kExponentLimit = 1'000'000'000;

// Mantissa up to this many digits with no exponent is converted exactly by
// one division of two exact doubles.
constexpr int kFastPathDigits = 15;
constexpr std::array<double, 16> kPowersOfTen{1e0,  1e1,  1e2,  1e3, 1e4,  1e5,
                                              1e6,  1e7,  1e8,  1e9, 1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15};

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);

  std::size_t pos = 0;
  const std::size_t size = text.size();
  bool negative = false;
  if (pos < size && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t integer_begin = pos;
  while (pos < size && IsDigit(text[pos])) ++pos;
  const std::string_view integer =
      text.substr(integer_begin, pos - integer_begin);
  std::string_view fraction;
  if (pos < size && text[pos] == kDecimalComma) {
    const std::size_t fraction_begin = ++pos;
    while (pos < size && IsDigit(text[pos])) ++pos;
    fraction = text.substr(fraction_begin, pos - fraction_begin);
  }
  if (integer.empty() && fraction.empty()) return std::nullopt;

  bool has_exponent = false;
  bool exponent_negative = false;
  std::int64_t exponent = 0;
  if (pos < size && (text[pos] == 'E' || text[pos] == 'e')) {
    has_exponent = true;
    ++pos;
    if (pos < size && (text[pos] == '-' || text[pos] == '+')) {
      exponent_negative = text[pos] == '-';
      ++pos;
    }
    const std::size_t digits_begin = pos;
    while (pos < size && IsDigit(text[pos])) {
      exponent = std::min(exponent * 10 + (text[pos] - '0'), kExponentLimit);
      ++pos;
    }
    if (pos == digits_begin) return std::nullopt;
  }
  if (pos != size) return std::nullopt;

  const double sign = negative ? -1.0 : 1.0;
  if (!has_exponent && integer.size() + fraction.size() <= kFastPathDigits) {
    std::uint64_t mantissa = 0;
    for (char c : integer) mantissa = mantissa * 10 + (c - '0');
    for (char c : fraction) mantissa = mantissa * 10 + (c - '0');
    return sign *
           (static_cast<double>(mantissa) / kPowersOfTen[fraction.size()]);
  }

  // The grammar is checked above; the conversion only computes the value,
  // from an ASCII text in the form std::from_chars reads, with the exponent
  // lowered by `shift` places.
  const std::int64_t signed_exponent = exponent_negative ? -exponent : exponent;
  const auto convert = [&](int shift, double& magnitude) {
    std::string ascii;
    ascii.reserve(integer.size() + fraction.size() + 24);
    ascii.append(integer.empty() ? std::string_view("0") : integer);
    ascii.push_back('.');
    ascii.append(fraction.empty() ? std::string_view("0") : fraction);
    ascii.push_back('e');
    ascii.append(std::to_string(signed_exponent - shift));
    return std::from_chars(ascii.data(), ascii.data() + ascii.size(), magnitude)
        .ec;
  };

  double magnitude = 0;
  if (convert(0, magnitude) == std::errc()) return sign * magnitude;
  // Out of range: either too small for a double, which reads as zero, or too
  // large. The position of the first non-zero digit tells which.
  const std::size_t leading = integer.find_first_not_of('0');
  std::int64_t magnitude_exponent = signed_exponent;
  if (leading != std::string_view::npos) {
    magnitude_exponent += static_cast<std::int64_t>(integer.size() - leading);
  } else {
    magnitude_exponent -=
        static_cast<std::int64_t>(fraction.find_first_not_of('0'));
  }
  if (magnitude_exponent <= 0) return sign * 0.0;
  // Between the largest double and the end of its range, where the largest
  // double rounded to 15 digits lies, the text reads as the largest double.
  if (convert(1, magnitude) == std::errc() && magnitude <= kRangeEndTenth) {
    return sign * std::numeric_limits<double>::max();
  }
  return std::nullopt;
}

namespace {

// Holds the significant digits of a double and the decimal exponent of the
// first.
struct Decimal {
  std::array<char, 24> digits;
  int count = 0;
  int exponent = 0;
};

// Reads the "d.ddde±x" text of std::to_chars.
Decimal ReadScientific(const char* begin, const char* end) {
  Decimal decimal;
  const char* p = begin;
  for (; p != end && *p != 'e'; ++p) {
    if (IsDigit(*p)) decimal.digits[decimal.count++] = *p;
  }
  ++p;  // 'e'
  const bool negative = *p++ == '-';
  for (; p != end; ++p) decimal.exponent = decimal.exponent * 10 + (*p - '0');
  if (negative) decimal.exponent = -decimal.exponent;
  return decimal;
}

// Rounds the value's digits correctly to 15 and trims trailing zeros.
Decimal RoundedDigits(double value) {
  std::array<char, 64> buffer;
  char* const begin = buffer.data();
  const char* end = std::to_chars(begin, begin + buffer.size(), value,
                                  std::chars_format::scientific)
                        .ptr;
  Decimal decimal = ReadScientific(begin, end);
  // The shortest digits that read back lie within half a unit of the last
  // place of the double, finer than half a unit of the 15th digit for normal
  // doubles: rounding them to 15 digits rounds the value itself, unless they
  // fall on a midpoint exactly. Subnormal doubles are spaced more coarsely.
  if (decimal.count > kSignificantDigits) {
    const bool midpoint = decimal.count == kSignificantDigits + 1 &&
                          decimal.digits[kSignificantDigits] == '5';
    if (midpoint || std::fpclassify(value) == FP_SUBNORMAL) {
      end = std::to_chars(begin, begin + buffer.size(), value,
                          std::chars_format::scientific, kSignificantDigits - 1)
                .ptr;
      decimal = ReadScientific(begin, end);
    } else {
      const bool up = decimal.digits[kSignificantDigits] >= '5';
      decimal.count = kSignificantDigits;
      if (up) {
        int k = decimal.count - 1;
        while (k >= 0 && decimal.digits[k] == '9') decimal.digits[k--] = '0';
        if (k >= 0) {
          ++decimal.digits[k];
        } else {
          decimal.digits[0] = '1';
          ++decimal.exponent;
        }
      }
    }
  } else if (std::fpclassify(value) == FP_SUBNORMAL) {
    end = std::to_chars(begin, begin + buffer.size(), value,
                        std::chars_format::scientific, kSignificantDigits - 1)
              .ptr;
    decimal = ReadScientific(begin, end);
  }
  while (decimal.count > 1 && decimal.digits[decimal.count - 1] == '0')
    --decimal.count;
  return decimal;
}

}  // namespace

std::string FormatNumber(double value) {
  if (std::isnan(value)) return std::string(kNotANumberText);
  if (std::isinf(value)) {
    return std::string(value < 0 ? kNegativeInfinityText : kInfinityText);
  }
  if (value == 0) return "0";  // negative zero too

  const Decimal decimal = RoundedDigits(value);
  const std::string_view digits(decimal.digits.data(), decimal.count);
  const int exponent = decimal.exponent;
  std::string text;
  text.reserve(24);
  if (value < 0) text.push_back('-');
  if (exponent >= kPlainExponentMin && exponent <= kPlainExponentMax) {
    if (exponent < 0) {
      text.append("0,");
      text.append(static_cast<std::size_t>(-exponent - 1), '0');
      text.append(digits);
    } else if (decimal.count <= exponent + 1) {
      text.append(digits);
      text.append(static_cast<std::size_t>(exponent + 1 - decimal.count), '0');
    } else {
      text.append(digits.substr(0, static_cast<std::size_t>(exponent) + 1));
      text.push_back(kDecimalComma);
      text.append(digits.substr(static_cast<std::size_t>(exponent) + 1));
    }
    return text;
  }
  text.push_back(digits.front());
  if (decimal.count > 1) {
    text.push_back(kDecimalComma);
    text.append(digits.substr(1));
  }
  text.push_back('E');
  text.push_back(exponent < 0 ? '-' : '+');
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude < 10) text.push_back('0');
  std::array<char, 8> exponent_digits;
  text.append(
      exponent_digits.data(),
      std::to_chars(exponent_digits.begin(), exponent_digits.end(), magnitude)
          .ptr);
  return text;
}

}  // namespace card
