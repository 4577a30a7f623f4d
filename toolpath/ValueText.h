// The number of a word's value text, as the toolpath reader reads it: blanks,
// an optional sign, digits with at most one point, blanks, and nothing
// else. Its tolerance is half a unit of its last decimal. Inline: the
// reader calls it for every word of a program.
#pragma once

#include "NumberText.h"
#include "Syntax.h"

#include <cmath>
#include <cstddef>
#include <string_view>

// A value text: the characters from its start on that continue one (see
// IsValueChar), and its number.
struct ValueText {
    const char* end;     // the first character after the value text
    bool isNumber;
    double value;
    double tolerance;    // half a unit of the number's last decimal
};

namespace value_text {

inline constexpr double kTenths[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                     1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                     1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};
inline constexpr double kHalfUnits[] = {5e-1,  5e-2,  5e-3,  5e-4,  5e-5,  5e-6,  5e-7,  5e-8,
                                        5e-9,  5e-10, 5e-11, 5e-12, 5e-13, 5e-14, 5e-15, 5e-16,
                                        5e-17, 5e-18, 5e-19, 5e-20, 5e-21, 5e-22, 5e-23};
inline constexpr int kMaxExactPower = 22;
inline constexpr unsigned long long kMaxExactMantissa = 1ull << 53;

// Half a unit of the last decimal of a number printed with `decimals` decimals.
inline double HalfUnit(std::ptrdiff_t decimals)
{
    return decimals <= kMaxExactPower ? kHalfUnits[decimals] : 0.5 * std::pow(10.0, -static_cast<double>(decimals));
}

}  // namespace value_text

// The value text that starts at `p`, in a line that ends at `end`: read in
// one pass, digits and at most one point in one loop (the usual text is
// nothing else).
inline ValueText ReadValueText(const char* p, const char* end)
{
    ValueText text{p, false, 0, 0};
    while (p < end && *p == ' ')
        ++p;
    const char* const numberStart = p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const char* const digitsStart = p;
    const char* point = nullptr;
    unsigned long long mantissa = 0;
    for (; p < end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit < 10)
            mantissa = mantissa * 10 + digit;
        else if (*p == '.' && !point)
            point = p;
        else
            break;
    }
    const char* const numberEnd = p;
    while (p < end && *p == ' ')
        ++p;
    if (p < end && IsValueChar(*p)) {
        // A second number, a stray sign or point: not one number.
        while (p < end && IsValueChar(*p))
            ++p;
        text.end = p;
        return text;
    }
    text.end = p;
    const std::ptrdiff_t decimals = point ? numberEnd - point - 1 : 0;
    const std::ptrdiff_t digits = numberEnd - digitsStart - (point ? 1 : 0);
    if (digits == 0)
        return text;
    text.tolerance = value_text::HalfUnit(decimals);
    if (digits <= 18 && mantissa <= value_text::kMaxExactMantissa && decimals <= value_text::kMaxExactPower) {
        // Within a unit of the last place of the decimal's value, and the
        // same on both sides of a comparison, which allows for far more.
        const double magnitude = static_cast<double>(mantissa) * value_text::kTenths[decimals];
        text.value = negative ? -magnitude : magnitude;
        text.isNumber = true;
        return text;
    }
    text.isNumber = ReadNumber(std::string_view(numberStart, static_cast<std::size_t>(numberEnd - numberStart)),
                               text.value);
    return text;
}
