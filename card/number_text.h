#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace card {

// The decimal separator of every number the clerk reads or types, whatever
// the system's locale.
inline constexpr char kDecimalComma = ',';

// How many significant digits a number's text keeps.
inline constexpr int kSignificantDigits = 15;

// Reads a number: optional spaces, an optional sign, digits with an optional
// decimal comma (a trailing comma and a missing integer part are accepted,
// since a number passes through them while it is typed), an optional
// exponent, optional spaces. Empty text, a lone sign or comma, any other
// character and a value beyond the range of a double give nullopt; a value
// too small for a double reads as zero.
std::optional<double> ParseNumber(std::string_view text);

// Writes the shortest text showing `value` rounded to 15 significant digits:
// plain from 1E-04 up to 1E+15 exclusive ("0,026", "17"), exponent form
// outside ("5E-05", "1E+16"). Negative zero is "0". An infinite value gives
// a word that ParseNumber rejects.
std::string FormatNumber(double value);

}  // namespace card
