// Reading numbers from the window and writing them back. Always the C rules:
// "." is the decimal point whatever the system's locale.
#pragma once

#include <string>
#include <string_view>

namespace phe {

// The number a text begins with: blanks, tabs and line breaks anywhere are
// ignored, an exponent is accepted, and a text without a leading number is 0.
double Val(std::string_view text);

// Fixed pattern with the given number of decimals ("0.0" is 1), rounded half
// away from zero on the value written with 15 significant digits (2.675 -> 2.68).
std::string FormatFixed(double x, int decimals);
// General conversion: whole numbers without a decimal point, fractions with one.
std::string FormatGeneral(double x);
// Whole part, truncated toward zero, as an integer text.
std::string FormatWhole(double x);

}  // namespace phe
