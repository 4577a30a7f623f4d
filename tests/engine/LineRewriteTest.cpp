// Line rewriting: the number printing rules of both formats, the words a
// mode rewrites, and the swaps of G codes.
#include "LineOperations.h"

#include <gtest/gtest.h>

namespace {

// ScaleValue by -1 in the given format; "<no number>" when it refuses.
std::string Negated(const std::string& value, int formatCount)
{
    std::string text = value;
    if (ScaleValue(-1.0f, text, formatCount == 0) != 0) {
        EXPECT_EQ(value, text) << "a refused value must stay as it was";
        return "<no number>";
    }
    return text;
}

// One line rewritten as a mirror run does it (scale, then the end trim).
std::string Scaled(const std::string& line, const char* letters, int formatCount, int expectedCount)
{
    std::string text = line;
    EXPECT_EQ(expectedCount, ScaleWords(text, -1.0f, letters, formatCount == 0)) << line;
    TrimLineEnd(text);
    return text;
}

std::string Swapped(const std::string& line, int type, int expectedCount)
{
    std::string text = line;
    EXPECT_EQ(expectedCount, SwapMotionCodes(text, type)) << line;
    return text;
}

constexpr int kFree = 1;
constexpr int kFixed = 0;

}  // namespace

TEST(ScaleValue, FreeFormatKeepsTheDecimalsOfTheSource)
{
    EXPECT_EQ("-100.", Negated("100.", kFree));
    EXPECT_EQ("-12.5", Negated("+12.5", kFree));        // never a '+' with a point
    EXPECT_EQ("12.5", Negated("-12.5", kFree));
    EXPECT_EQ("-1.25", Negated(" 1.25 ", kFree));
    EXPECT_EQ("-0.125", Negated(".125", kFree));
    EXPECT_EQ("-1.0000", Negated("1.0000", kFree));
    EXPECT_EQ("-1.123456", Negated("1.123456", kFree));  // every decimal kept
    EXPECT_EQ("-1.99999", Negated("1.99999", kFree));
    EXPECT_EQ("-0.000001", Negated("0.000001", kFree));
    EXPECT_EQ("1.00000", Negated("-1.00000", kFree));
    EXPECT_EQ("-50.240704", Negated("50.240704", kFree));
    EXPECT_EQ("-0.", Negated("0.", kFree));              // negative zero as the C library prints it
    EXPECT_EQ("-0.00", Negated("0.00", kFree));
    EXPECT_EQ("0.0001", Negated("-0.0001", kFree));
    EXPECT_EQ("-0.06250", Negated("0.06250", kFree));
    EXPECT_EQ("-0.1234567890123456773698862", Negated("0.1234567890123456789012345", kFree));  // "%.25f"
    EXPECT_EQ("-1234.5678", Negated("1234.5678", kFree));  // double precision keeps every digit
    EXPECT_EQ("-99999.9999", Negated("99999.9999", kFree));
    EXPECT_EQ("-1.500", Negated("1.5-3", kFree));        // decimals count every character after '.' 
}

TEST(ScaleValue, FreeFormatIntegersKeepTheirWidthAndSign)
{
    EXPECT_EQ("-1000", Negated("1000", kFree));
    EXPECT_EQ("-001000", Negated("+001000", kFree));
    EXPECT_EQ("+250", Negated("-250", kFree));
    EXPECT_EQ("-099", Negated("0099", kFree));           // the '-' counts in the width
    EXPECT_EQ("0", Negated("0", kFree));                 // a zero never shows a '-'
    EXPECT_EQ("+0000", Negated("-0000", kFree));
    EXPECT_EQ("0000000", Negated("0000000", kFree));
    EXPECT_EQ("-5", Negated(" 5 ", kFree));
}

TEST(ScaleValue, FixedWidthPrintsSignAndSixDigits)
{
    EXPECT_EQ("-001000", Negated("+001000", kFixed));
    EXPECT_EQ("+000250", Negated("-000250", kFixed));
    EXPECT_EQ("-000000", Negated("+000000", kFixed));    // negative zero as the C library prints it
    EXPECT_EQ("-1234568", Negated("1234568", kFixed));   // wider numbers are not cut
    EXPECT_EQ("-000002", Negated("1.5", kFixed));        // rounded half to even
}

TEST(ScaleValue, TextsWithoutANumberStayAsTheyAre)
{
    for (const char* text : {"+", "-", ".", " ", "+-5", "--1", ". 5", "+.", "   "})
        EXPECT_EQ("<no number>", Negated(text, kFree)) << '"' << text << '"';
    EXPECT_EQ("<no number>", Negated(std::string(400, '9'), kFree));   // beyond the double range
    EXPECT_EQ("<no number>", Negated(std::string(309, '9') + ".5", kFixed));
    EXPECT_EQ("0." + std::string(401, '0'), Negated("-0." + std::string(400, '0') + "1", kFree));  // below it: zero
    EXPECT_EQ("-01", Negated("1-2", kFree));     // reading stops at the second sign; width and sign from the text
}

TEST(ScaleWords, RewritesTheFirstWordOfEachLetter)
{
    EXPECT_EQ("G01 X-12.345 Y7.5\n", Scaled("G01 X12.345 Y-7.5\n", "XY", kFree, 2));
    EXPECT_EQ("X-100.Y-5.\n", Scaled("X100.Y5.\n", "XY", kFree, 2));
    EXPECT_EQ("X-1.123456\n", Scaled("X1.123456\n", "X", kFree, 1));
    EXPECT_EQ("N0012X-001000Y+000500\n", Scaled("N0012X+001000Y-000500\n", "XY", kFixed, 2));
    EXPECT_EQ("G01 X+  Y-5\n", Scaled("G01 X+ Y5\n", "XY", kFree, 2));  // no number: counted, blank rule kept
    EXPECT_EQ("G01 X-1.5 Y2\n", Scaled("G01 X 1.5 Y2\n", "X", kFree, 1));
    EXPECT_EQ("X-1 X2\n", Scaled("X1 X2\n", "X", kFree, 1));
    EXPECT_EQ("G01 Z5.\n", Scaled("G01 Z5.\n", "XY", kFree, 0));

    std::string line = "X1\n";
    EXPECT_EQ(-1, ScaleWords(line, -1.0f, "", false));
    EXPECT_EQ(-1, ScaleWords(line, -1.0f, nullptr, false));
    EXPECT_EQ("X1\n", line);
}

TEST(SwapMotionCodes, ExchangesThePairOfTheSwapType)
{
    EXPECT_EQ("G03X10. Y20.\n", Swapped("G02 X10. Y20.\n", kSwapArcDirection, 1));
    EXPECT_EQ("G02X5Y5\n", Swapped("G3X5Y5\n", kSwapArcDirection, 1));
    EXPECT_EQ("G17 G03X1.\n", Swapped("G17 G02 X1.\n", kSwapArcDirection, 1));
    EXPECT_EQ("G03X1\n", Swapped("G2.0X1\n", kSwapArcDirection, 1));
    EXPECT_EQ("G03G02X1\n", Swapped("G02G03X1\n", kSwapArcDirection, 2));   // every G word, each once
    EXPECT_EQ("G42D1 X5.\n", Swapped("G41 D1 X5.\n", kSwapCompensationFree, 1));
    EXPECT_EQ("G41 D1 X5.\n", Swapped("G41 D1 X5.\n", kSwapCompensationFixed, 0));
    EXPECT_EQ("G43X+001000\n", Swapped("G42X+001000\n", kSwapCompensationFixed, 1));
    EXPECT_EQ("G42X+001000\n", Swapped("G43X+001000\n", kSwapCompensationFixed, 1));
    EXPECT_EQ("N0010G41G01X+001000\n", Swapped("N0010G41G01X+001000\n", kSwapCompensationFixed, 0));
}

TEST(SwapMotionCodes, LeavesOtherWordsAndLinesAlone)
{
    for (int type : {int(kSwapArcDirection), int(kSwapCompensationFree), int(kSwapCompensationFixed), 7})
        EXPECT_EQ("G40 X0.\n", Swapped("G40 X0.\n", type, 0));
    EXPECT_EQ("GX1 G2 Y1\n", Swapped("GX1 G2 Y1\n", kSwapArcDirection, 0));  // first G without value
    EXPECT_EQ("G01 GX G03\n", Swapped("G01 GX G2\n", kSwapArcDirection, 1));
    EXPECT_EQ("M30\n", Swapped("M30\n", kSwapArcDirection, 0));
    EXPECT_EQ("G2.5 G-2 G02.000000001\n", Swapped("G2.5 G-2 G02.000000001\n", kSwapArcDirection, 0));
    EXPECT_EQ("G02X1\n", Swapped("G02X1\n", 99, 0));
}
