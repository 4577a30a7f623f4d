#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace {

// Longest "%.4f" of a double: 309 integer digits, sign, point, 4 decimals.
constexpr std::size_t kMaxPrinted = 330;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// White space as the C locale's isspace() knows it, without its table.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Digits of |value| with `decimals` after the point, into `buf`; the length.
std::size_t PrintMagnitude(char* buf, double value, int decimals)
{
    const auto r = std::to_chars(buf, buf + kMaxPrinted, std::fabs(value), std::chars_format::fixed, decimals);
    return static_cast<std::size_t>(r.ptr - buf);
}

}  // namespace

bool ReadNumber(std::string_view text, double& value)
{
    // 1. Skip leading white space.
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;

    // 2. An optional sign.
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    // 3. Digits with at most one point; at least one digit.
    const std::size_t start = i;
    std::size_t digits = 0;
    std::size_t leadingIntDigits = 0;  // integer digits before any point
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++digits;
            if (!point)
                ++leadingIntDigits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;

    // 4. Convert exactly; a number beyond the double range counts as none,
    //    one below it (only possible with no non-zero integer digit) as zero.
    double magnitude = 0.0;
    const auto r = std::from_chars(text.data() + start, text.data() + i, magnitude, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range) {
        bool integerPartZero = true;
        for (std::size_t k = start; k < start + leadingIntDigits; ++k)
            integerPartZero = integerPartZero && text[k] == '0';
        if (!integerPartZero)
            return false;
        magnitude = 0.0;
    } else if (r.ec != std::errc() || std::isinf(magnitude)) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

void AppendFixed(std::string& out, double value, int decimals)
{
    char buf[kMaxPrinted];
    if (std::signbit(value))
        out += '-';
    out.append(buf, PrintMagnitude(buf, value, decimals));
}

void AppendPadded(std::string& out, double value, std::size_t width, bool showPlus)
{
    char buf[kMaxPrinted];
    const std::size_t len = PrintMagnitude(buf, value, 0);
    std::size_t used = len;
    if (std::signbit(value)) {
        out += '-';
        ++used;
    } else if (showPlus) {
        out += '+';
        ++used;
    }
    if (width > used)
        out.append(width - used, '0');
    out.append(buf, len);
}
