#include "search/internal/number_digits.h"

#include <gtest/gtest.h>

#include <string>

namespace search {
namespace {

// The bytes that every text without an exponent that reads as the number
// holds: those that the number's 15-digit text shares with the text one unit
// of its 15th digit below, which reads as the number too.
TEST(NumberDigitsTest, NamesWhatEveryEqualTextHolds) {
  struct Case {
    double number;
    std::string digits;
  };
  const Case cases[] = {
      {92896, "9289"},  // 92895,9999999999 reads as 92896
      {2233, "223"},
      {-22, "2"},  // and the sign is left out
      {0.5, ","},  // ,5 and ,49999999999999
      {123456789012345, "12345678901234"},
      {7, ""},     // 6,99999999999999 shares nothing
      {10, ""},    // 9,99999999999999
      {1e16, ""},  // written with an exponent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(DigitsOfEqualNumbers(c.number), c.digits);
  }
}

}  // namespace
}  // namespace search
