// Any text given to ParseNumber: whatever it accepts is finite, and its
// FormatNumber text has the documented shape, reads back to a value within
// the rounding to 15 significant digits, and formats again to the same text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "card/number_text.h"
#include "fuzz/property.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the written form: an optional minus, a mantissa of at most 15
// significant digits without trailing zeros in its fraction, and an exponent
// exactly when the decimal exponent lies outside -4 to 14.
void CheckShape(std::string_view text, double value) {
  std::size_t at = 0;
  if (at < text.size() && text[at] == '-') ++at;
  const std::size_t integer_start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  const std::string_view integer =
      text.substr(integer_start, at - integer_start);
  fuzz::Check(!integer.empty(), "the mantissa starts with a digit");
  fuzz::Check(integer.size() == 1 || integer[0] != '0',
              "no leading zero in the integer part");
  std::string_view fraction;
  if (at < text.size() && text[at] == card::kDecimalComma) {
    const std::size_t fraction_start = ++at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    fraction = text.substr(fraction_start, at - fraction_start);
    fuzz::Check(!fraction.empty() && fraction.back() != '0',
                "a fraction is present only with its last digit not zero");
  }
  std::string digits = std::string(integer) + std::string(fraction);
  digits.erase(0, digits.find_first_not_of('0'));
  fuzz::Check(digits.size() <= 15, "at most 15 significant digits");

  if (at == text.size()) {
    const double magnitude = std::fabs(value);
    fuzz::Check(value == 0 || (magnitude >= 1e-4 && magnitude < 1e15),
                "the plain form is for zero and for 1E-04 up to 1E+15");
    fuzz::Check(text != "-0", "negative zero is written 0");
    return;
  }
  fuzz::Check(text[at] == 'E', "only an exponent follows the mantissa");
  fuzz::Check(integer.size() == 1 && integer[0] != '0',
              "the exponent form has one nonzero digit before the comma");
  ++at;
  fuzz::Check(at < text.size() && (text[at] == '+' || text[at] == '-'),
              "the exponent has its sign");
  const bool negative = text[at] == '-';
  ++at;
  const std::string_view exponent = text.substr(at);
  fuzz::Check(exponent.size() >= 2, "the exponent has at least two digits");
  int exponent_value = 0;
  for (const char c : exponent) {
    fuzz::Check(IsDigit(c), "the exponent is digits");
    exponent_value = exponent_value * 10 + (c - '0');
  }
  if (negative) exponent_value = -exponent_value;
  fuzz::Check(exponent_value < -4 || exponent_value > 14,
              "the exponent form is only outside 1E-04 up to 1E+15");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> value = card::ParseNumber(text);
  if (!value) return 0;
  fuzz::Check(std::isfinite(*value), "an accepted number is finite");

  const std::string shown = card::FormatNumber(*value);
  const std::optional<double> read_back = card::ParseNumber(shown);
  fuzz::Check(read_back.has_value(), "the written text reads back");
  // Rounding to 15 significant digits moves a value by at most half a unit
  // of the 15th digit, and reading the text back by half a unit of the
  // double's last place; below the normal range the double is coarser.
  fuzz::Check(std::fabs(*read_back - *value) <=
                  5.3e-15 * std::fabs(*value) +
                      std::numeric_limits<double>::denorm_min(),
              "the text read back is the value to 15 significant digits");
  fuzz::Check(card::FormatNumber(*read_back) == shown,
              "writing the value read back gives the same text");
  CheckShape(shown, *read_back);
  return 0;
}
