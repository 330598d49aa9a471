#include "search/internal/number_digits.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "card/number_text.h"

namespace search {
namespace {

// A number's text without its sign and without the zeros before its first
// digit or before the comma, which a text may leave out: "-0,5" is ",5".
std::string Unsigned(std::string text) {
  if (text.starts_with("-")) text.erase(0, 1);
  text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
  return text;
}

// A text of digits with an optional comma less one unit of its 15th
// significant digit, written out to that digit.
std::string LessOneUnit(std::string text) {
  int significant = 0;
  for (const char c : text) {
    if (c != card::kDecimalComma && (significant > 0 || c != '0')) {
      ++significant;
    }
  }
  if (significant < card::kSignificantDigits &&
      text.find(card::kDecimalComma) == std::string::npos) {
    text += card::kDecimalComma;
  }
  text.append(static_cast<std::size_t>(
                  std::max(0, card::kSignificantDigits - significant)),
              '0');
  for (std::size_t i = text.size(); i-- > 0;) {
    if (text[i] == card::kDecimalComma) continue;
    if (text[i] != '0') {
      --text[i];
      break;
    }
    text[i] = '9';
  }
  return text;
}

}  // namespace

std::string DigitsOfEqualNumbers(double number) {
  const std::string text = Unsigned(card::FormatNumber(number));
  const std::optional<double> again = card::ParseNumber(text);
  if (text.find('E') != std::string::npos || !again ||
      *again != std::abs(number)) {
    return {};
  }
  const std::string below = Unsigned(LessOneUnit(text));
  return std::string(text.begin(), std::mismatch(text.begin(), text.end(),
                                                 below.begin(), below.end())
                                       .first);
}

}  // namespace search
