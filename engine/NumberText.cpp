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

namespace {

// A value text of the form [sign]digits[.digits], split into its parts.
struct PlainNumber {
    bool negative = false;      // the sign is '-'
    bool hasSign = false;       // there is a sign at all
    bool hasPoint = false;
    std::string_view integer;   // integer digits without leading zeros
    std::string_view fraction;  // digits after the point
    bool zero = true;           // every digit is '0'
};

// Reads [sign]digits[.digits] from the start of `text` (at least one digit);
// `used` is the number of characters it took. False when there is no digit.
bool ReadPlainNumber(std::string_view text, PlainNumber& number, std::size_t& used)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.hasSign = true;
        number.negative = text[i] == '-';
        ++i;
    }
    while (i < text.size() && text[i] == '0')
        ++i;
    const std::size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    number.integer = text.substr(intStart, i - intStart);
    std::size_t digits = i - (number.hasSign ? 1 : 0);
    if (i < text.size() && text[i] == '.') {
        number.hasPoint = true;
        const std::size_t fracStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        number.fraction = text.substr(fracStart, i - fracStart);
        digits += number.fraction.size();
        for (const char c : number.fraction)
            number.zero = number.zero && c == '0';
    }
    number.zero = number.zero && number.integer.empty();
    used = i;
    return digits > 0;
}

// At most 15 significant digits: the double of the text prints back as the
// text (DBL_DIG), so the digits can be copied instead of converted.
bool PrintsBackExactly(const PlainNumber& number)
{
    return number.integer.size() + number.fraction.size() <= 15;
}

// Copies `text` to `out`; the position after it.
char* Put(char* out, std::string_view text)
{
    for (const char c : text)
        *out++ = c;
    return out;
}

// Integer digits of a plain number; "0" for a zero integer part.
char* PutInteger(char* out, const PlainNumber& number)
{
    if (number.integer.empty()) {
        *out++ = '0';
        return out;
    }
    return Put(out, number.integer);
}

// "%+0W.0f" / "%0W.0f" of the negated integer, whose sign is the opposite
// of the source's; `zeroIsPositive` prints a zero product without '-' (the
// free-format rule), otherwise a zero keeps the flipped sign bit.
char* PutNegatedPadded(char* out, const PlainNumber& number, std::size_t width, bool showPlus, bool zeroIsPositive)
{
    const bool productNegative = number.zero && zeroIsPositive ? false : !number.negative;
    std::size_t used = number.integer.empty() ? 1 : number.integer.size();
    if (productNegative) {
        *out++ = '-';
        ++used;
    } else if (showPlus) {
        *out++ = '+';
        ++used;
    }
    for (; used < width; ++used)
        *out++ = '0';
    return PutInteger(out, number);
}

}  // namespace

std::size_t NegatePlainNumber(std::string_view value, bool fixedWidth, char* out)
{
    // The number's own characters: leading blanks go; in free format the
    // text ends at the next blank.
    std::size_t begin = 0;
    while (begin < value.size() && value[begin] == ' ')
        ++begin;
    const std::string_view text = value.substr(begin);

    PlainNumber number;
    std::size_t used = 0;
    if (!ReadPlainNumber(text, number, used) || !PrintsBackExactly(number))
        return 0;

    if (fixedWidth) {
        // The conversion reads up to the first character that cannot continue
        // the number; only a fraction would change the printed integer.
        if (number.hasPoint)
            return 0;
        return static_cast<std::size_t>(PutNegatedPadded(out, number, 7, true, false) - out);
    }

    // Free format: the whole reduced text must be the number.
    if (used < text.size() && text[used] != ' ')
        return 0;
    if (!number.hasPoint) {
        // The width counts the sign; a zero prints unsigned or with '+'.
        // Wide zero padding is left to the general printer.
        if (used > kMaxNegatedPlain)
            return 0;
        return static_cast<std::size_t>(PutNegatedPadded(out, number, used, number.hasSign, true) - out);
    }
    if (number.fraction.size() > 4)
        return 0;  // printed with three decimals: a real rounding
    // "%.Nf" with the source's own decimals, '-' from the flipped sign bit
    // (negative zero included); no decimals keep the bare point.
    char* end = out;
    if (!number.negative)
        *end++ = '-';
    end = PutInteger(end, number);
    *end++ = '.';
    end = Put(end, number.fraction);
    return static_cast<std::size_t>(end - out);
}
