// The mirror's negation of plain numbers is printed from their digits
// instead of being converted. Over many generated value texts it must give
// exactly what the C library's strtod and "%f" printing give by the rules
// of both number formats.
#include "LineOperations.h"
#include "NumberText.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printed(const char* format, ...)
{
    char buf[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// The negated value text as the C library prints it; "<no number>" when
// strtod reads nothing.
std::string Reference(const std::string& value, bool fixedWidth)
{
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str())
        return "<no number>";
    const double product = number * -1.0;
    if (fixedWidth)
        return Printed("%+07.0f", product);

    const std::size_t begin = value.find_first_not_of(' ');
    const std::string text = value.substr(begin, value.find(' ', begin) - begin);
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        const std::size_t decimals = text.size() - point - 1;
        return Printed("%.*f", static_cast<int>(decimals), product) + (decimals == 0 ? "." : "");
    }
    const int width = static_cast<int>(text.size());
    const bool sign = text.find_first_of("+-") != std::string::npos;
    if (product == 0.0)
        return sign ? Printed("%+0*d", width, 0) : Printed("%0*d", width, 0);
    return sign ? Printed("%+0*.0f", width, product) : Printed("%0*.0f", width, product);
}

std::string Negated(const std::string& value, bool fixedWidth)
{
    std::string text = value;
    return ScaleValue(-1.0f, text, fixedWidth) == 0 ? text : "<no number>";
}

// Deterministic value texts around the edges of the fast path: 0 to 18
// digits (15 is the most a double prints back), leading zeros, 0 to 6
// decimals, signs, blanks, and stray characters after the number.
class ValueTexts {
public:
    std::string Next()
    {
        std::string text(Pick(4) == 0 ? Pick(3) : 0, ' ');
        const unsigned sign = Pick(4);
        if (sign == 1)
            text += '+';
        else if (sign == 2)
            text += '-';
        text.append(Pick(4) == 0 ? Pick(4) : 0, '0');
        Digits(text, Pick(19));
        if (Pick(3) != 0) {
            text += '.';
            Digits(text, Pick(7));
        }
        const char* const tails[] = {"", "", "", " ", "  ", " 5", "-", "+1", ".", "5.5", " -"};
        text += tails[Pick(sizeof tails / sizeof tails[0])];
        return text;
    }

private:
    unsigned Pick(unsigned n) { return m_random.Pick(n); }
    void Digits(std::string& text, unsigned count)
    {
        // Runs of 0 and 9 make ties and carries; the rest is uniform.
        const unsigned style = Pick(4);
        for (unsigned i = 0; i < count; ++i)
            text += style == 0 ? '0' : style == 1 ? '9' : static_cast<char>('0' + Pick(10));
    }
    TestRandom m_random{12345};
};

}  // namespace

TEST(NegationPrint, AgreesWithTheCLibraryOnGeneratedValues)
{
#ifdef _WIN32
    GTEST_SKIP() << "the reference is the C library's exact printf of glibc";
#endif
    ValueTexts texts;
    int checked = 0;
    for (int i = 0; i < 40000; ++i) {
        const std::string value = texts.Next();
        for (const bool fixedWidth : {false, true}) {
            ASSERT_EQ(Reference(value, fixedWidth), Negated(value, fixedWidth))
                << '"' << value << "\" " << (fixedWidth ? "fixed width" : "free format");
            ++checked;
        }
    }
    EXPECT_EQ(80000, checked);
}

// The common word's shortcut, sixteen bytes at a time (room after the text)
// and a byte at a time (the text ends its buffer): both take the same
// words, and print them as the C library does.
TEST(NegationPrint, CommonDecimalsBothWaysAsTheCLibrary)
{
#ifdef _WIN32
    GTEST_SKIP() << "the reference is the C library's exact printf of glibc";
#endif
    ValueTexts texts;
    int taken = 0;
    for (int i = 0; i < 40000; ++i) {
        const std::string value = texts.Next();
        const std::string roomy = value + std::string(16, 'X');
        const std::vector<char> tight(value.begin(), value.end());
        char wide[32];
        char narrow[32];
        const char* const tightEnd = tight.data() + tight.size();
        const std::size_t n = NegateCommonDecimal(roomy.data(), roomy.data() + value.size(),
                                                  roomy.data() + roomy.size(), wide);
        const std::size_t m = value.empty() ? 0 : NegateCommonDecimal(tight.data(), tightEnd, tightEnd, narrow);
        ASSERT_EQ(n, m) << '"' << value << '"';
        if (n == 0)
            continue;
        ++taken;
        ASSERT_EQ(std::string(wide, n), std::string(narrow, m)) << '"' << value << '"';
        ASSERT_EQ(Reference(value, false), std::string(wide, n)) << '"' << value << '"';
    }
    EXPECT_GT(taken, 4000);  // the generator makes many common words
}

TEST(NegationPrint, BoundaryValues)
{
    // Fifteen digits are copied, sixteen go through the conversion; both
    // must read as the source.
    EXPECT_EQ("-123456789012.345", Negated("123456789012.345", false));
    EXPECT_EQ("-1234567890123.4568", Negated("1234567890123.4567", false));  // 17 digits: the double's
    EXPECT_EQ("+999999999999999", Negated("-999999999999999", false));
    EXPECT_EQ("-10000000000000000", Negated("9999999999999999", false));  // the nearest double
    EXPECT_EQ("-0.0", Negated("+0.0 ", false));
    EXPECT_EQ("0.0", Negated("-0.0", false));
    EXPECT_EQ("+000", Negated("-000", false));
    EXPECT_EQ("+000000", Negated("-000000", true));
    EXPECT_EQ("-000000", Negated(" 000000 ", true));
    EXPECT_EQ("-000012", Negated("12-5", true));
}
