// Reading and printing the numbers of value texts, independent of the locale
// and identical on every platform. The printers give exactly what the C
// library's "%f" conversions print (correct rounding, '-' on negative zero).
#pragma once

#include <string>
#include <string_view>

// Reads a number as scanf's "%f" does from a value text: leading white space
// skipped, an optional sign, digits with at most one '.', stopping at the
// first character that cannot continue the number. False when there is no
// number, or when it is too large for a double.
bool ReadNumber(std::string_view text, double& value);

// "%.Nf": `decimals` digits after the point.
void AppendFixed(std::string& out, double value, int decimals);

// "%+0W.0f" (showPlus) or "%0W.0f": no decimals, a sign ('-' always, '+'
// with showPlus), zeros between the sign and the digits up to `width`.
void AppendPadded(std::string& out, double value, std::size_t width, bool showPlus);
