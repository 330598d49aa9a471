#pragma once

#include <string>

namespace search {

// Bytes that every text without an exponent holds that card::ParseNumber
// reads as `number`, so that a search may look for them across a file
// instead of reading every piece as a number; empty where none can be
// named.
//
// Let D be the number rounded to 15 significant digits, where D reads back
// as the number itself. A text without an exponent reads as the number only
// if it lies within one unit of D's 15th digit: it is written with D's
// digits, or, from below, with those of D less that unit (92896, or
// 92895,9999999999...), which begin with the same bytes (9289).
std::string DigitsOfEqualNumbers(double number);

}  // namespace search
