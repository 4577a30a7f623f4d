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

// The fast path of the mirror: the negation (a factor of exactly -1) of a
// value text that is a plain number, printed by the rules above straight
// from its digits, without converting it. Negation only flips the sign of a
// double, and a number of at most 15 significant digits prints back with
// its own digits, so this gives exactly the bytes of the conversion round
// trip. Writes at most kMaxNegatedPlain characters to `out` and returns
// their count when it applies, else 0:
//  - fixed width ("%+07.0f"): the text, after leading blanks, is a sign and
//    digits ending the number ('+001000', '-250 ');
//  - free format (`fixedWidth` false): the text without the blanks around
//    it is [sign]digits, or [sign]digits.digits, printed with its own
//    decimals ('12.345', '-100.', '+0250', ' 1.5 ', '50.240704').
// Anything else (more than 15 significant digits, stray signs and points,
// wide zero padding) is left to ReadNumber and the printers above.
constexpr std::size_t kMaxNegatedPlain = 40;
std::size_t NegatePlainNumber(std::string_view value, bool fixedWidth, char* out);
