#pragma once

#include <cstdint>
#include <string>

// Conversions between setting texts and numbers, with the semantics of the standard streams in
// the classic locale. A text that gives no number, or a number out of range, gives the starting
// value (the most negative one), which every checked setting rejects.

// "0x" or "0X" followed only by hexadecimal digits is read as hexadecimal; anything else as a
// decimal integer the way a stream extracts one (blanks skipped, sign, digits up to the first
// other character). INT32_MIN when nothing is read or the number does not fit in 32 bits.
int32_t ToInt(const std::string& text);

// A double as a stream extracts one; -DBL_MAX when nothing is read or it overflows.
double ToReal(const std::string& text);

// As a stream writes a double by default: 6 significant digits, "-0" for minus zero.
std::string FormatReal(double value);
