// Decimal numbers of value texts computed exactly, digit by digit: a mirror
// about the line x = A writes 2A - X, and that must never go through a float.
#pragma once

#include <string>
#include <string_view>

struct ExactDecimal {
    bool negative = false;
    std::string digits;  // the value times 10^decimals, no leading zeros; empty for zero
    int decimals = 0;    // digits after the point
};

// Reads [blanks][sign]digits[.digits][blanks] ('12', '-0.50', ' +.5 ',
// '10.'); false for anything else. `point` tells whether the text has a '.'.
bool ParseExactDecimal(std::string_view text, ExactDecimal& value, bool* point = nullptr);

bool IsZero(const ExactDecimal& value);
// a + b, a - b and 2a, exactly.
ExactDecimal AddExact(const ExactDecimal& a, const ExactDecimal& b);
ExactDecimal SubtractExact(const ExactDecimal& a, const ExactDecimal& b);
ExactDecimal TwiceExact(const ExactDecimal& a);
// The decimals the value needs: its own, without trailing zeros.
int NeededDecimals(const ExactDecimal& value);
// The integer digits of a whole value ("0" for zero); only for values whose
// NeededDecimals is 0.
std::string WholeDigits(const ExactDecimal& value);
// The value with `decimals` digits after a point (at least NeededDecimals):
// '-' when negative and not zero, "0" before the point when there is no
// integer part ("0.5"), the bare point for no decimals ("80.").
std::string PrintExactDecimal(const ExactDecimal& value, int decimals);
