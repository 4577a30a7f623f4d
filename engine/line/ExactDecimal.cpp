#include "ExactDecimal.h"

#include <algorithm>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Drops leading zeros (an all-zero string becomes empty).
void Trim(std::string& digits)
{
    const std::size_t first = digits.find_first_not_of('0');
    digits.erase(0, first == std::string::npos ? digits.size() : first);
}

// The value's digits with `decimals` digits after the point (decimals >= its own).
std::string Scaled(const ExactDecimal& value, int decimals)
{
    return value.digits + std::string(static_cast<std::size_t>(decimals - value.decimals), '0');
}

// Compares two digit strings without leading zeros.
int CompareMagnitude(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

std::string AddMagnitude(const std::string& a, const std::string& b)
{
    std::string sum;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int da = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int db = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        const int d = da + db + carry;
        sum += static_cast<char>('0' + d % 10);
        carry = d / 10;
    }
    std::reverse(sum.begin(), sum.end());
    Trim(sum);
    return sum;
}

// a - b for a >= b.
std::string SubtractMagnitude(const std::string& a, const std::string& b)
{
    std::string difference;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int d = (a[a.size() - 1 - i] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = d < 0;
        difference += static_cast<char>('0' + (d + 10) % 10);
    }
    std::reverse(difference.begin(), difference.end());
    Trim(difference);
    return difference;
}

}  // namespace

bool ParseExactDecimal(std::string_view text, ExactDecimal& value, bool* point)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    value = ExactDecimal();
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        value.negative = text[i++] == '-';
    std::size_t count = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++count)
        value.digits += text[i];
    const bool hasPoint = i < text.size() && text[i] == '.';
    if (hasPoint)
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++count, ++value.decimals)
            value.digits += text[i];
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (count == 0 || i != text.size())
        return false;
    Trim(value.digits);
    if (point)
        *point = hasPoint;
    return true;
}

bool IsZero(const ExactDecimal& value) { return value.digits.empty(); }

ExactDecimal AddExact(const ExactDecimal& a, const ExactDecimal& b)
{
    const int decimals = std::max(a.decimals, b.decimals);
    const std::string x = Scaled(a, decimals), y = Scaled(b, decimals);
    ExactDecimal sum;
    sum.decimals = decimals;
    if (a.negative == b.negative) {
        sum.digits = AddMagnitude(x, y);
        sum.negative = a.negative;
    } else if (CompareMagnitude(x, y) >= 0) {
        sum.digits = SubtractMagnitude(x, y);
        sum.negative = a.negative;
    } else {
        sum.digits = SubtractMagnitude(y, x);
        sum.negative = b.negative;
    }
    if (sum.digits.empty())
        sum.negative = false;
    return sum;
}

ExactDecimal SubtractExact(const ExactDecimal& a, const ExactDecimal& b)
{
    ExactDecimal negated = b;
    negated.negative = !b.negative && !IsZero(b);
    return AddExact(a, negated);
}

ExactDecimal TwiceExact(const ExactDecimal& a) { return AddExact(a, a); }

int NeededDecimals(const ExactDecimal& value)
{
    int decimals = value.decimals;
    for (std::size_t i = value.digits.size(); decimals > 0 && i > 0 && value.digits[i - 1] == '0'; --i)
        --decimals;
    return IsZero(value) ? 0 : decimals;
}

std::string WholeDigits(const ExactDecimal& value)
{
    if (IsZero(value))
        return "0";
    return value.digits.substr(0, value.digits.size() - static_cast<std::size_t>(value.decimals));
}

std::string PrintExactDecimal(const ExactDecimal& value, int decimals)
{
    // The digits with at least one before the point, then as many after it
    // as asked: zeros added, or (only trailing zeros, by the contract) dropped.
    std::string digits = value.digits;
    const std::size_t own = static_cast<std::size_t>(value.decimals);
    if (digits.size() <= own)
        digits.insert(0, own + 1 - digits.size(), '0');
    const std::size_t wanted = static_cast<std::size_t>(decimals);
    if (wanted > own)
        digits.append(wanted - own, '0');
    else
        digits.resize(digits.size() - (own - wanted));
    std::string text = value.negative && !IsZero(value) ? "-" : "";
    text += digits.substr(0, digits.size() - wanted);
    text += '.';
    text += digits.substr(digits.size() - wanted);
    return text;
}
