// Numbers typed into edit boxes, read as the pages read them: leading blanks, a sign and digits,
// the rest ignored, no number at all read as 0. A number beyond what the result can hold reads as
// the nearest bound, so "99999999999999999999" fails a range check instead of wrapping around.
#pragma once

#include <string>

namespace fw {

// A whole number (as atoi, but bounded by the range of int).
int wholeNumber(const std::string &text);
// A decimal number (as atof, but bounded by the range of float, which the camera's decimal values
// have: "1e999" or "inf" reads as the largest float, "nan" as 0).
double decimalNumber(const std::string &text);
// v truncated toward zero, bounded by the range of int (NaN reads as 0).
int truncated(double v);

} // namespace fw
