#include "ValueText.h"

#include "NumberText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

const double kTenths[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8,  1e-9,  1e-10, 1e-11,
                          1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};
const double kHalfUnits[] = {5e-1,  5e-2,  5e-3,  5e-4,  5e-5,  5e-6,  5e-7,  5e-8,  5e-9,  5e-10, 5e-11, 5e-12,
                             5e-13, 5e-14, 5e-15, 5e-16, 5e-17, 5e-18, 5e-19, 5e-20, 5e-21, 5e-22, 5e-23};
constexpr int kMaxExactPower = 22;
constexpr unsigned long long kMaxExactMantissa = 1ull << 53;

// Half a unit of the last decimal of a number printed with `decimals` decimals.
double HalfUnit(std::ptrdiff_t decimals)
{
    return decimals <= kMaxExactPower ? kHalfUnits[decimals] : 0.5 * std::pow(10.0, -static_cast<double>(decimals));
}

// The number of a mantissa with `decimals` decimals: within a unit of the
// last place of the decimal's value, and the same on both sides of a
// comparison, which allows for far more.
ValueText Number(unsigned long long mantissa, std::ptrdiff_t decimals, bool negative)
{
    const double magnitude = static_cast<double>(mantissa) * kTenths[decimals];
    return ValueText{true, negative ? -magnitude : magnitude, HalfUnit(decimals)};
}

constexpr std::uint64_t kBytes(unsigned char b) { return 0x0101010101010101ull * b; }

// Eight bytes from `p` as one 64-bit word, the first byte the lowest.
std::uint64_t LoadWord(const char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

// Digits with at most one point from `digits` to `numberEnd`, eight bytes
// at most, read as one 64-bit word with the number in its top bytes. False
// when the bytes are anything else, or when the line has no eight bytes
// around them.
bool ReadShortDigits(const char* digits, const char* numberEnd, const char* lineStart, const char* lineEnd,
                     unsigned long long& mantissa, std::ptrdiff_t& decimals)
{
    const std::ptrdiff_t length = numberEnd - digits;
    if (length < 1 || length > 8)
        return false;
    // The eight bytes of the line that end with the number; near the
    // line's start, those that start with it, moved up.
    std::uint64_t word;
    if (numberEnd - lineStart >= 8)
        word = LoadWord(numberEnd - 8);
    else if (lineEnd - digits >= 8)
        word = LoadWord(digits) << (8 * (8 - length));
    else
        return false;
    const int shift = 8 * static_cast<int>(8 - length);
    const std::uint64_t number = ~std::uint64_t{0} << shift;
    // Among value characters the digits alone have bit 4 set ('0'..'9' are
    // 0x30..0x39; ' ', '+', '-', '.' lie below 0x30); the text here holds
    // value characters only.
    const std::uint64_t others = ~word & kBytes(0x10) & number;
    decimals = 0;
    if (others != 0) {
        // One point, and nothing else that is not a digit.
        if ((others & (others - 1)) != 0)
            return false;
        const int at = __builtin_ctzll(others) / 8;
        if (static_cast<unsigned char>(word >> (8 * at)) != '.')
            return false;
        decimals = 7 - at;
        // The bytes below the point move up into its place.
        const std::uint64_t below = (std::uint64_t{1} << (8 * at)) - 1;
        word = (word & below) << 8 | (word & ~below & ~(std::uint64_t{0xFF} << (8 * at)));
        if (length == 1)
            return false;  // a point alone
    }
    const int count = static_cast<int>(length) - (others != 0);
    word &= kBytes(0x0F) & (~std::uint64_t{0} << (8 * (8 - count)));
    // Neighbouring digits, pairs and fours summed into each other's places.
    word = (word * 10 + (word >> 8)) & 0x00FF00FF00FF00FFull;
    word = (word * 100 + (word >> 16)) & 0x0000FFFF0000FFFFull;
    word = (word * 10000 + (word >> 32)) & 0xFFFFFFFFull;
    mantissa = word;
    return true;
}

// Any value text, a byte at a time.
ValueText ReadAnyValueText(const char* p, const char* end)
{
    ValueText text;
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
    // Only blanks may follow; a second number, a stray sign or point: not
    // one number.
    while (p < end && *p == ' ')
        ++p;
    if (p < end)
        return text;
    const std::ptrdiff_t decimals = point ? numberEnd - point - 1 : 0;
    const std::ptrdiff_t digits = numberEnd - digitsStart - (point ? 1 : 0);
    if (digits == 0)
        return text;
    if (digits <= 18 && mantissa <= kMaxExactMantissa && decimals <= kMaxExactPower)
        return Number(mantissa, decimals, negative);
    text.tolerance = HalfUnit(decimals);
    text.isNumber = ReadNumber(std::string_view(numberStart, static_cast<std::size_t>(numberEnd - numberStart)),
                               text.value);
    return text;
}

}  // namespace

ValueText ReadValueText(const char* p, const char* end, const char* lineStart, const char* lineEnd)
{
    // The usual text: a sign or not, up to eight digits and points, and
    // one blank or none.
    if (p < end && *p != ' ') {
        const bool negative = *p == '-';
        const char* const digits = p + (negative || *p == '+');
        const char* const numberEnd = end - (end[-1] == ' ');
        unsigned long long mantissa = 0;
        std::ptrdiff_t decimals = 0;
        if (ReadShortDigits(digits, numberEnd, lineStart, lineEnd, mantissa, decimals))
            return Number(mantissa, decimals, negative);
    }
    return ReadAnyValueText(p, end);
}
