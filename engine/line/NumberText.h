// Reading and printing the numbers of value texts, independent of the locale
// and identical on every platform. The printers give exactly what the C
// library's "%f" conversions print (correct rounding, '-' on negative zero).
#pragma once

#include <cstring>
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

// The first step of NegatePlainNumber in free format, for the common word:
// an optional sign, digits without a leading zero (or the one zero), a
// point, digits, and blanks only after them; at most 16 characters before
// the blanks (so at most 15 digits). The printed negation is the other sign
// and the same digit text. 0 for anything else.
inline std::size_t NegateCommonDecimal(const char* p, const char* end, char* out)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const bool negative = *p == '-';
    if (negative || *p == '+')
        ++p;
    const char* const digits = p;
    while (p < end && digit(*p))
        ++p;
    if (p == digits || p == end || *p != '.' || (*digits == '0' && p - digits != 1))
        return 0;
    ++p;
    while (p < end && digit(*p))
        ++p;
    const char* const numberEnd = p;
    while (p < end && *p == ' ')
        ++p;
    const std::size_t n = static_cast<std::size_t>(numberEnd - digits);
    if (p != end || n > 16)
        return 0;
    // Sixteen bytes at most, copied as two overlapping eight-byte halves
    // when long enough.
    out[0] = '-';
    char* const q = out + (negative ? 0 : 1);
    if (n >= 8) {
        std::memcpy(q, digits, 8);
        std::memcpy(q + n - 8, numberEnd - 8, 8);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            q[i] = digits[i];
    }
    return n + (negative ? 0 : 1);
}
