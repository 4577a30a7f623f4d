#include "NumberText.h"

#include "ShortCopy.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Longest "%.16f" of a double: 309 integer digits, sign, point, 16
// decimals; more decimals are printed into a buffer of their size.
constexpr std::size_t kMaxPrinted = 330;
constexpr int kMaxShortDecimals = 16;

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
    if (std::signbit(value))
        out += '-';
    if (decimals <= kMaxShortDecimals) {
        char buf[kMaxPrinted];
        out.append(buf, PrintMagnitude(buf, value, decimals));
        return;
    }
    // A value text with very many decimals: the double printed exactly to
    // that many decimals, as "%.Nf" does, in a buffer of their size.
    std::string digits(kMaxPrinted + static_cast<std::size_t>(decimals), '\0');
    const auto r = std::to_chars(&digits[0], &digits[0] + digits.size(), std::fabs(value), std::chars_format::fixed,
                                 decimals);
    out.append(digits.data(), r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - digits.data()) : 0);
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

namespace {

// Copies [begin, end) to `out`; the position after it.
char* Put(char* out, const char* begin, const char* end)
{
    return CopyShort(out, begin, static_cast<std::size_t>(end - begin));
}

// The integer digits of a plain number as "%0W.0f" prints them: a sign
// ('-' when `negative`, else '+' with `showPlus`), zeros up to `width`, the
// digits without their leading zeros ("0" when there are none).
char* PutPadded(char* out, const char* digits, const char* end, std::size_t width, bool negative, bool showPlus)
{
    std::size_t used = end > digits ? static_cast<std::size_t>(end - digits) : 1;
    if (negative || showPlus) {
        *out++ = negative ? '-' : '+';
        ++used;
    }
    for (; used < width; ++used)
        *out++ = '0';
    if (end == digits)
        *out++ = '0';
    return Put(out, digits, end);
}

// The fixed-width word itself, a sign and six digits: the printed negation
// is the other sign and the same digits. Only a zero in free format prints
// '+' whatever its sign. 0 for any other text.
std::size_t NegateSevenWide(std::string_view value, bool fixedWidth, char* out)
{
    if (value.size() != 7 || (value[0] != '+' && value[0] != '-'))
        return 0;
    bool zero = true;
    for (std::size_t i = 1; i < 7; ++i) {
        if (!IsDigit(value[i]))
            return 0;
        zero = zero && value[i] == '0';
    }
    out[0] = value[0] == '-' || (zero && !fixedWidth) ? '+' : '-';
    std::memcpy(out + 1, value.data() + 1, 6);
    return 7;
}

}  // namespace

std::size_t NegatePlainNumber(std::string_view value, bool fixedWidth, char* out)
{
    // 0. The common free-format decimal, and the fixed-width word itself.
    std::size_t shortcut = 0;
    if (!fixedWidth && !value.empty())
        shortcut = NegateCommonDecimal(value.data(), value.data() + value.size(), nullptr, out);
    if (shortcut == 0)
        shortcut = NegateSevenWide(value, fixedWidth, out);
    if (shortcut != 0)
        return shortcut;

    // 1. The number's own characters: leading blanks go; then
    //    [sign] digits [. digits], the integer's leading zeros apart.
    const char* p = value.data();
    const char* const end = p + value.size();
    while (p < end && *p == ' ')
        ++p;
    const char* const text = p;
    bool hasSign = false;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        hasSign = true;
        negative = *p++ == '-';
    }
    const char* const firstDigit = p;
    while (p < end && *p == '0')
        ++p;
    const char* const integer = p;
    while (p < end && IsDigit(*p))
        ++p;
    const char* const integerEnd = p;
    const char* fraction = p;
    const bool hasPoint = p < end && *p == '.';
    if (hasPoint) {
        fraction = ++p;
        while (p < end && IsDigit(*p))
            ++p;
    }
    const char* const fractionEnd = p;

    // 2. At least one digit, and at most 15 significant ones: the double of
    //    such a text prints back as the text (DBL_DIG).
    if (integerEnd == firstDigit && fractionEnd == fraction)
        return 0;
    if ((integerEnd - integer) + (fractionEnd - fraction) > 15)
        return 0;

    if (fixedWidth) {
        // 3. "%+07.0f": the conversion reads up to the first character that
        //    cannot continue the number; only a fraction would change the
        //    printed integer. A zero keeps the flipped sign bit.
        if (hasPoint)
            return 0;
        return static_cast<std::size_t>(PutPadded(out, integer, integerEnd, 7, !negative, true) - out);
    }

    // 4. Free format: the whole reduced text must be the number.
    if (p < end && *p != ' ')
        return 0;
    if (!hasPoint) {
        // The width counts the sign; a zero prints unsigned or with '+'.
        // Wide zero padding is left to the general printer.
        const std::size_t width = static_cast<std::size_t>(p - text);
        if (width > kMaxNegatedPlain)
            return 0;
        const bool zero = integer == integerEnd;
        return static_cast<std::size_t>(PutPadded(out, integer, integerEnd, width, !negative && !zero, hasSign) - out);
    }
    // "%.Nf" with the source's own decimals, '-' from the flipped sign bit
    // (negative zero included); no decimals keep the bare point.
    char* q = out;
    if (!negative)
        *q++ = '-';
    // The digits and the point stand together in the source.
    if (integer == integerEnd)
        *q++ = '0';
    q = Put(q, integer, fractionEnd);
    return static_cast<std::size_t>(q - out);
}
