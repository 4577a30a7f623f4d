// Reading and printing the numbers of value texts, independent of the locale
// and identical on every platform. The printers give exactly what the C
// library's "%f" conversions print (correct rounding, '-' on negative zero).
#pragma once

#include "ByteScan.h"

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
// point, digits, and blanks only after them; at most 16 characters. The
// printed negation is the other sign and the same digit text. Reads the
// value text [p, end), and up to `limit` when that is 16 bytes on (to look
// at the text sixteen bytes at a time). 0 for anything else.
inline std::size_t NegateCommonDecimal(const char* p, const char* end, const char* limit, char* out)
{
    const std::size_t size = static_cast<std::size_t>(end - p);
    if (size == 0 || size > 16)
        return 0;
    const bool negative = *p == '-';
    const std::size_t sign = negative || *p == '+' ? 1 : 0;
    std::size_t numberEnd = size;  // the first blank
    std::size_t point = 0;
#ifdef NCM_SSE2
    if (limit != nullptr && limit - p >= 16) {
        // 1. Masks of the digits, blanks and points among the text's bytes.
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i fromZero = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
        const unsigned inText = static_cast<unsigned>((1ul << size) - 1);
        const unsigned digits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(fromZero, _mm_set1_epi8(9)), fromZero)));
        const unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')))) & inText;
        const unsigned points = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')))) & inText;
        // 2. One point in the number; digits elsewhere in it; blanks after it.
        if (blanks != 0)
            numberEnd = static_cast<std::size_t>(LowestBit(blanks));
        const unsigned number = static_cast<unsigned>((1ul << numberEnd) - 1);
        if (points == 0 || (points & (points - 1)) != 0 || (points & number) == 0 ||
            (digits & number) != (number & ~points & ~static_cast<unsigned>(sign)) || blanks != (inText & ~number))
            return 0;
        point = static_cast<std::size_t>(LowestBit(points));
    } else
#endif
    {
        // The same, a byte at a time.
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        std::size_t i = sign;
        while (i < size && digit(p[i]))
            ++i;
        if (i == size || p[i] != '.')
            return 0;
        point = i++;
        while (i < size && digit(p[i]))
            ++i;
        numberEnd = i;
        while (i < size && p[i] == ' ')
            ++i;
        if (i != size)
            return 0;
    }
    // 3. At least one integer digit, no leading zero but a lone one.
    if (point == sign || (p[sign] == '0' && point != sign + 1))
        return 0;
    // 4. The other sign, and the digits copied in at most two pieces.
    const char* const digitsBegin = p + sign;
    const std::size_t n = numberEnd - sign;
    out[0] = '-';
    char* const q = out + (negative ? 0 : 1);
    if (n >= 8) {
        std::memcpy(q, digitsBegin, 8);
        std::memcpy(q + n - 8, digitsBegin + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(q, digitsBegin, 4);
        std::memcpy(q + n - 4, digitsBegin + n - 4, 4);
    } else {
        for (std::size_t k = 0; k < n; ++k)
            q[k] = digitsBegin[k];
    }
    return n + (negative ? 0 : 1);
}
