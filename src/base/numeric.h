// Reading numbers from the window and writing them back. Always the C rules:
// "." is the decimal point whatever the system's locale.
#pragma once

#include <string>
#include <string_view>

namespace phe {

// The number a text begins with: blanks, tabs and line breaks anywhere are
// ignored, an exponent is accepted, and a text without a leading number is 0.
double Val(std::string_view text);

// The text with the full-width digits, point, plus, minus and exponent letter
// and the ideographic blank that a Chinese input method types replaced by
// their ASCII forms; everything else is kept as it is.
std::string HalfWidth(std::string_view text);

// The text without the blanks, tabs and line breaks around it.
std::string Trimmed(std::string_view text);

// The value of a text that holds one complete number and nothing else: blanks
// around it are allowed, inside it they are not; full-width characters are
// read as by HalfWidth; an exponent is allowed. The value is the one Val reads
// from the same text (so beyond the range of a double it is the largest double,
// never infinity). False for an empty text and for anything else ("5OO",
// "1,500", "1 2", "0x10", "--5", "inf", "nan").
bool ReadNumber(std::string_view text, double& value);

// Fixed pattern with the given number of decimals ("0.0" is 1), rounded half
// away from zero on the value written with 15 significant digits (2.675 -> 2.68).
std::string FormatFixed(double x, int decimals);
// At least `digits` significant digits and at least one decimal (a computed
// flow or duty: one decimal changed the duty by up to 8 % when typed in again).
std::string FormatSignificant(double x, int digits);
// A temperature as the balance solved it, to 0.01 degC; one on the 0.1 degC
// grid keeps its single decimal.
std::string FormatTemperature(double t);
// General conversion: whole numbers without a decimal point, fractions with one.
std::string FormatGeneral(double x);
// Whole part, truncated toward zero, as an integer text.
std::string FormatWhole(double x);

}  // namespace phe
