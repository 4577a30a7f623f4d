#include "PositionWords.h"

#include "LineOperations.h"
#include "NumberText.h"
#include "ShortCopy.h"
#include "Syntax.h"

#include <algorithm>
#include <cstring>

namespace {

// The end of a variable or an expression at `at`: '#' and digits, a
// '<...>' name or a '[...]' group; a balanced '[...]' group. `at` itself
// when it cannot be delimited.
std::size_t ExpressionEnd(std::string_view line, std::size_t at)
{
    std::size_t p = at;
    if (p < line.size() && line[p] == '#') {
        ++p;
        if (p < line.size() && line[p] == '<') {
            const std::size_t close = line.find('>', p);
            return close == std::string_view::npos ? at : close + 1;
        }
        if (p < line.size() && line[p] != '[') {
            const std::size_t q = line.find_first_not_of("0123456789", p);
            const std::size_t end = q == std::string_view::npos ? line.size() : q;
            return end > p ? end : at;
        }
    }
    if (p < line.size() && line[p] == '[') {
        int depth = 0;
        for (std::size_t q = p; q < line.size(); ++q) {
            depth += line[q] == '[' ? 1 : line[q] == ']' ? -1 : 0;
            if (depth == 0)
                return q + 1;
        }
    }
    return at;
}

// The fixed-width text of a whole value: a sign and six digits; false when
// it does not fit.
bool PrintFixed(const ExactDecimal& value, std::string& text)
{
    if (NeededDecimals(value) != 0)
        return false;
    const std::string digits = WholeDigits(value);
    if (digits.size() > 6)
        return false;
    text = (value.negative ? "-" : "+") + std::string(6 - digits.size(), '0') + digits;
    return true;
}

// A whole value in the style of a word without a point: its width with
// zeros, '+' when the word had a sign, a zero never '-'.
std::string PrintNoPoint(const ExactDecimal& value, std::size_t width, bool hadSign)
{
    const std::string digits = WholeDigits(value);
    std::string sign = value.negative && !IsZero(value) ? "-" : hadSign ? "+" : "";
    const std::size_t used = sign.size() + digits.size();
    return sign + (width > used ? std::string(width - used, '0') : std::string()) + digits;
}

// Notes `flag` and, for the first note, the word at `letterAt` up to the
// next blank or the line end.
void Note(PositionNotes& notes, bool& flag, std::string_view line, std::size_t letterAt)
{
    if (notes.word.empty()) {
        const std::size_t end = line.find_first_of(" \r\n", letterAt);
        notes.word = std::string(line.substr(letterAt, end == std::string_view::npos ? end : end - letterAt));
    }
    flag = true;
}

// 2A - v of one word's value text, printed in the word's own style; false
// (and nothing changed) for a text that is no plain number.
bool PositionNumber(std::string& line, std::size_t valuePos, std::size_t size, const ExactDecimal& twice,
                    bool fixedWidth, bool spaced, PositionNotes& notes)
{
    ExactDecimal value;
    bool point = false;
    if (!ParseExactDecimal(std::string_view(line).substr(valuePos, size), value, &point))
        return false;
    const ExactDecimal result = SubtractExact(twice, value);
    std::string printed;
    if (fixedWidth) {
        if (!PrintFixed(result, printed)) {
            Note(notes, notes.overflow, line, valuePos - 1);
            return true;
        }
    } else if (point) {
        printed = PrintExactDecimal(result, std::max(value.decimals, NeededDecimals(result)));
    } else {
        const std::string_view text = std::string_view(line).substr(valuePos, size);
        const std::size_t first = text.find_first_not_of(' ');
        const std::size_t last = text.find_last_not_of(' ');
        const std::string_view number = text.substr(first, last - first + 1);
        printed = NeededDecimals(result) == 0
                      ? PrintNoPoint(result, number.size(), number[0] == '+' || number[0] == '-')
                      : PrintExactDecimal(result, NeededDecimals(result));
        Note(notes, notes.integerPosition, line, valuePos - 1);
    }
    if (spaced)
        printed += ' ';
    line.replace(valuePos, size, printed);
    return true;
}

// 2A - v of a variable or an expression: 'X#24' -> 'X[80.-#24]',
// 'X-#24' -> 'X[80.+#24]'. False when it cannot be delimited (left).
bool PositionExpression(std::string& line, std::size_t valuePos, std::size_t size, const ExactDecimal& twice,
                        PositionNotes& notes)
{
    const std::size_t start = valuePos + size;
    const std::size_t end = ExpressionEnd(line, start);
    if (end == start) {
        Note(notes, notes.undelimited, line, valuePos - 1);
        return false;
    }
    const bool minus = std::string_view(line).substr(valuePos, size).find('-') != std::string_view::npos;
    const std::string text = "[" + PrintExactDecimal(twice, NeededDecimals(twice)) + (minus ? "+" : "-") +
                             line.substr(start, end - start) + "]";
    line.replace(valuePos, end - valuePos, text);
    return true;
}

}  // namespace

PlainTwice PlainTwiceOf(const ExactDecimal& position)
{
    PlainTwice plain;
    const ExactDecimal twice = TwiceExact(position);
    if (twice.digits.size() > 17 || twice.decimals > 17)
        return plain;
    for (const char c : twice.digits)
        plain.mantissa = plain.mantissa * 10 + (c - '0');
    if (twice.negative)
        plain.mantissa = -plain.mantissa;
    plain.decimals = twice.decimals;
    // Zeros at the end of the decimals change no result (a word keeps its
    // own decimals), and without them a whole 2A (x = 40.5) serves fixed
    // width too.
    while (plain.decimals > 0 && plain.mantissa % 10 == 0) {
        plain.mantissa /= 10;
        --plain.decimals;
    }
    plain.usable = true;
    return plain;
}

namespace {

// The decimal digits of `magnitude`, written to end at `end`, two at a time;
// their start.
char* PutDigitsBefore(char* end, unsigned long long magnitude)
{
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    while (magnitude >= 100) {
        const unsigned pair = static_cast<unsigned>(magnitude % 100) * 2;
        magnitude /= 100;
        end -= 2;
        end[0] = kPairs[pair];
        end[1] = kPairs[pair + 1];
    }
    if (magnitude >= 10) {
        const unsigned pair = static_cast<unsigned>(magnitude) * 2;
        end -= 2;
        end[0] = kPairs[pair];
        end[1] = kPairs[pair + 1];
    } else {
        *--end = static_cast<char>('0' + magnitude);
    }
    return end;
}

bool IsDigitByte(char c) { return static_cast<unsigned char>(c - '0') < 10; }

}  // namespace

std::size_t PositionPlainNumber(std::string_view value, const PlainTwice& twice, bool fixedWidth, char* out)
{
    // 1. [blanks][sign]digits[.digits][blanks], at most 17 digits.
    const char* p = value.data();
    const char* const end = p + value.size();
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const char* const first = p;
    unsigned long long digitsValue = 0;  // wraps past 19 digits: such words are refused below
    while (p < end && IsDigitByte(*p))
        digitsValue = digitsValue * 10 + static_cast<unsigned>(*p++ - '0');
    const bool point = p < end && *p == '.';
    const char* fraction = p;
    if (point) {
        fraction = ++p;
        while (p < end && IsDigitByte(*p))
            digitsValue = digitsValue * 10 + static_cast<unsigned>(*p++ - '0');
    }
    const int decimals = point ? static_cast<int>(p - fraction) : 0;
    const int digits = static_cast<int>(p - first) - (point ? 1 : 0);
    while (p < end && *p == ' ')
        ++p;
    if (!twice.usable || digits == 0 || digits > 17 || p != end || point == fixedWidth)
        return 0;
    long long v = static_cast<long long>(digitsValue);
    // 2. 2A - v at the finer of the two scales, in 64 bits (18 digits at
    //    most on either side; more is left to the step operations).
    const int scale = decimals > twice.decimals ? decimals : twice.decimals;
    if (digits + scale - decimals > 18)
        return 0;
    static const long long kPowers[] = {1LL, 10LL, 100LL, 1000LL, 10000LL, 100000LL, 1000000LL, 10000000LL,
                                        100000000LL, 1000000000LL, 10000000000LL, 100000000000LL,
                                        1000000000000LL, 10000000000000LL, 100000000000000LL,
                                        1000000000000000LL, 10000000000000000LL, 100000000000000000LL,
                                        1000000000000000000LL};
    const long long widen = kPowers[scale - twice.decimals];  // scale - twice.decimals <= 17
    const long long bound = 8000000000000000000LL / widen;     // beyond 8e18: 2A - v would not fit
    if (twice.mantissa > bound || twice.mantissa < -bound)
        return 0;
    long long r = twice.mantissa * widen;
    v *= kPowers[scale - decimals];
    r -= negative ? -v : v;
    const bool below = r < 0;
    // 3. The digits of |2A - v|, then the sign, the point and the decimals.
    const unsigned long long magnitude =
        below ? 0ull - static_cast<unsigned long long>(r) : static_cast<unsigned long long>(r);
    char buffer[24];
    const char* const digitsEnd = buffer + sizeof buffer;
    const char* const digitsBegin = PutDigitsBefore(buffer + sizeof buffer, magnitude);
    const int n = static_cast<int>(digitsEnd - digitsBegin);
    char* q = out;
    if (fixedWidth) {
        // A sign and six digits, or the run fails: the step operations say so.
        if (scale != 0 || n > 6)
            return 0;
        *q++ = below ? '-' : '+';
        for (int k = 6; k > n; --k)
            *q++ = '0';
        return static_cast<std::size_t>(CopyShort(q, digitsBegin, static_cast<std::size_t>(n)) - out);
    }
    // As many decimals as the word had, more only where the result needs
    // them; "0" before the point when there is no integer part.
    int kept = scale;
    for (; kept > decimals; --kept) {
        const int at = n - 1 - (scale - kept);  // the last decimal kept; before the digits: a leading zero
        if (at >= 0 && digitsBegin[at] != '0')
            break;
    }
    if (below && magnitude != 0)
        *q++ = '-';
    if (n > scale)
        q = CopyShort(q, digitsBegin, static_cast<std::size_t>(n - scale));
    else
        *q++ = '0';
    *q++ = '.';
    // The decimals: zeros where the digits do not reach, then the digits.
    int k = 0;
    for (; k < kept && n - scale + k < 0; ++k)
        *q++ = '0';
    q = CopyShort(q, digitsBegin + (n - scale + k), static_cast<std::size_t>(kept - k));
    return static_cast<std::size_t>(q - out);
}

bool ParsePositionText(const char* text, ExactDecimal& value)
{
    value = ExactDecimal();
    if (!text || !*text)
        return true;
    const std::string_view view(text);
    return view.find(' ') == std::string_view::npos && ParseExactDecimal(view, value);
}

void UpdatePositionState(std::string_view line, PositionState& state)
{
    // The last word of each group wins.
    ForEachGNumber(line, [&](double code) {
        if (code == 90 || code == 91)
            state.absolute = code == 90;
        else if (code == 90.1 || code == 91.1)
            state.centresAbsolute = code == 90.1;
    });
}

int PositionWords(std::string& line, const char* letters, bool fixedWidth, const PositionState& state,
                  const MirrorPosition& position, PositionNotes& notes)
{
    const bool preset = HoldsGNumber(line, 92);  // a position preset: always absolute
    const bool shift = HoldsGNumber(line, 52);   // a local shift: a distance
    int count = 0;
    for (const char* letter = letters; *letter; ++letter) {
        const bool xAxis = *letter == 'X' || *letter == 'I';
        const ExactDecimal& at = xAxis ? position.x : position.y;
        const bool centre = *letter == 'I' || *letter == 'J';
        const bool absolute = centre ? state.centresAbsolute : !shift && (preset || state.absolute);
        std::size_t valuePos = 0;
        const std::size_t n = FindValueText(line, *letter, valuePos);
        const char one[2] = {*letter, '\0'};
        if (IsZero(at) || !absolute) {
            const int rewritten = ScaleWords(line, -1.0f, one, fixedWidth);
            count += rewritten > 0 ? rewritten : 0;
            continue;
        }
        const ExactDecimal twice = TwiceExact(at);
        if (IsExpressionWord(line, valuePos, n)) {
            count += PositionExpression(line, valuePos, n, twice, notes) ? 1 : 0;
            continue;
        }
        if (n == 0)
            continue;
        if (PositionNumber(line, valuePos, n, twice, fixedWidth, line.find(' ') != std::string::npos, notes)) {
            ++count;
            continue;
        }
        const int rewritten = ScaleWords(line, -1.0f, one, fixedWidth);  // no plain number: as about the axis
        count += rewritten > 0 ? rewritten : 0;
    }
    return count;
}
