#pragma once

#include <string>
#include <string_view>

namespace bp {

// Reads a text as a number the way every field of the program is read:
// blanks, tabs and line feeds are ignored wherever they stand, the longest
// leading number is taken ("&H" and "&O" prefixes read hexadecimal and octal),
// "." is the decimal separator whatever the locale, and 0 when there is none.
double leadingNumber(std::string_view text);

// A number narrowed to a 32-bit float; beyond the float's range it becomes the
// largest float of its sign, below it 0.
float toSingle(double value);

// The text of a 32-bit float: at most seven significant digits, no trailing
// zeros, "." as decimal separator, the exponent form (1E+08, 1.5E-05) only
// where seven digits cannot be written without it.
std::string numberText(float value);
std::string numberText(double value); // the same, for a value held as a double

// A value with a fixed number of decimals ("#0.000" for three).
std::string fixedText(double value, int decimals);

// Rounds to the nearest whole number, ties to the even one.
double roundHalfEven(double value);

// Rounds to a number of decimals, ties to the even last digit.
double roundHalfEven(double value, int decimals);

// A colour fraction on the 0 to 255 scale: the whole number it was stored
// from (160 for 0.627, kept to three decimals), else the exact product.
double colourScale(float fraction);

// The picture view's next zoom in per cent from the one shown, one step in
// (direction > 0) or out, within 10 % and 1600 %.
int zoomStep(int percent, int direction);

} // namespace bp
