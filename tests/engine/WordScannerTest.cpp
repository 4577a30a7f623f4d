// The word scanner and line editing: value texts, replacement with the blank
// rule, and line-end normalisation.
#include "ByteScan.h"
#include "LineOperations.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Word(const std::string& line, char letter)
{
    std::string out = "untouched";
    const std::size_t n = GetWord(line, letter, out);
    if (n == 0) {
        EXPECT_EQ("untouched", out);
        return "<none>";
    }
    EXPECT_EQ(n, out.size());
    return out;
}

std::string Trimmed(std::string line, int expectedResult)
{
    EXPECT_EQ(expectedResult, TrimLineEnd(line)) << line;
    return line;
}

}  // namespace

TEST(GetWord, FindsTheValueTextOfTheFirstOccurrence)
{
    EXPECT_EQ("100 ", Word("G01 X100 Y5\n", 'X'));
    EXPECT_EQ("5", Word("G01 X100 Y5\n", 'Y'));
    EXPECT_EQ("<none>", Word("G01 X100 Y5\n", 'Z'));
    EXPECT_EQ("<none>", Word("X\n", 'X'));
    EXPECT_EQ("+001000", Word("N10 G01X+001000Y-002000\n", 'X'));
    EXPECT_EQ("-002000", Word("N10 G01X+001000Y-002000\n", 'Y'));
    EXPECT_EQ("<none>", Word("x100\n", 'X'));                 // case matters
    EXPECT_EQ(" 1.5 ", Word("G01 X 1.5 Y2\n", 'X'));
    EXPECT_EQ("1 ", Word("X1 X2\n", 'X'));                    // first occurrence only
    EXPECT_EQ("1.5", Word("X1.5\r\n", 'X'));                   // '\r' ends the text
}

TEST(GetWord, BytesOutsideTheWordAlphabetEndTheTextSafely)
{
    const std::string withNul("G01 X1.5\0Y2.5\n", 14);
    EXPECT_EQ("1.5", Word(withNul, 'X'));
    EXPECT_EQ("2.5", Word(withNul, 'Y'));                      // found after the NUL
    EXPECT_EQ("12", Word("X12\xA0\xFF" "5\n", 'X'));           // CP1251 bytes are not digits
    EXPECT_EQ("<none>", Word("\xD0\xA5X", 'Y'));
}

TEST(SetWord, ReplacesTheValueAndKeepsOneBlankOnSpacedLines)
{
    struct {
        const char* line;
        char letter;
        const char* value;
        int spaced;
        const char* expected;
    } cases[] = {
        {"G01 X100 Y5\n", 'X', "-100", 1, "G01 X-100 Y5\n"},
        {"G01X100Y5\n", 'X', "-100", -1, "G01X-100Y5\n"},
        {"G01 X 100 Y5\n", 'X', "-100", 1, "G01 X-100 Y5\n"},     // blanks after the letter go too
        {"G01 X100    Y5\n", 'X', "-100", 1, "G01 X-100 Y5\n"},   // a run of blanks becomes one
        {"G01 Y5\n", 'Y', "-5", 1, "G01 Y-5 \n"},                 // the trim removes this blank later
        {"G01 Y5\n", 'X', "-5", 1, "G01 Y5\n"},                   // no such letter: no change
    };
    for (const auto& c : cases) {
        std::string line = c.line;
        SetWord(line, c.letter, c.value, c.spaced == 1);
        EXPECT_EQ(c.expected, line) << c.line;
    }
}

TEST(TrimLineEnd, NormalisesTheEndOfLinesThatHoldABlank)
{
    EXPECT_EQ("G01 X1\r\n", Trimmed("G01 X1   \r\n", 1));     // the line's own end is kept
    EXPECT_EQ("G01 X1\n", Trimmed("G01 X1 \n", 1));
    EXPECT_EQ("G01 X10 Y10 (CUT)\r\n", Trimmed("G01 X10 Y10 (CUT)  \r\n", 1));
    EXPECT_EQ("G01 X1", Trimmed("G01 X1 \r ", 1));             // a last line gets no end added
    EXPECT_EQ("G01 X1\n", Trimmed("G01 X1\r \n", 1));          // "\r \n" is not a CRLF end
    EXPECT_EQ(" \n", Trimmed(" \n", 1));                       // the first character always stays
    EXPECT_EQ(" ", Trimmed("   ", 1));
    EXPECT_EQ("G01X1\r\n", Trimmed("G01X1\r\n", 0));          // no blank: untouched
    EXPECT_EQ("G01X1\r", Trimmed("G01X1\r", 0));
    EXPECT_EQ("", Trimmed("", 0));
    EXPECT_EQ("A\rB X1\n", Trimmed("A\rB X1\n", 1));           // a lone '\r' inside is ordinary
}

// The sixteen-byte mask of the bytes that are no value bytes gives, for
// every byte at every position, what the syntax's value rule says.
TEST(NonValueMask, AgreesWithTheValueRuleOnEveryByte)
{
    for (int c = 0; c < 256; ++c) {
        for (int at = 0; at < 16; ++at) {
            char bytes[16];
            std::memset(bytes, '1', sizeof bytes);
            bytes[at] = static_cast<char>(c);
            const bool value = IsValueChar(static_cast<char>(c));
            EXPECT_EQ(!value, ((NonValueMask<true>(bytes, bytes + 16) >> at) & 1u) != 0) << c;
            EXPECT_EQ(!value || c == '.', ((NonValueMask<false>(bytes, bytes + 16) >> at) & 1u) != 0) << c;
            // A byte loop where fewer than sixteen bytes may be read.
            EXPECT_EQ(!value, ((NonValueMask<true>(bytes, bytes + at + 1) >> at) & 1u) != 0) << c;
        }
    }
}
