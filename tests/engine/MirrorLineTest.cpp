// A whole line mirrored in one sweep must come out exactly as the public
// operations give it one after the other: end trim, the plane words, and in
// a plane the mode reverses the arc swap, negation of the mode's letters,
// compensation swap, end trim (skip lines: the trim only). Checked over many
// generated NC-like lines in every mode and both number formats.
#include "MirrorModes.h"
#include "LineOperations.h"
#include "LineSweep.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Lines of G words (many of them the swapped codes, and those that change
// what is negated: G53, G10, G51, G68), coordinates in plain and odd
// spellings, variables and expressions, rotation angles, blanks in every
// place, skip characters and line ends with '\r'.
class NcLines {
public:
    std::string Next()
    {
        std::string line;
        const unsigned words = Pick(5) == 0 ? 10 + Pick(20) : Pick(8);
        for (unsigned w = 0; w < words; ++w) {
            line += "GGGXYIJZNFRRx"[Pick(13)];
            const char* const values[] = {"02", "03", "2", "3", "41", "42", "43", "01", "2.0", " 3 ", "", "17",
                                          "18", "19", "18.0", " 19", "53", "10", "51", "68", "41.1", "42.1",
                                          "53.1", "68.1", "12.345", "-6.789", "+001000", "-000250", "100.", "0",
                                          "-0.0", "1.123456", "-0.0000001", "+", "1-2", "  7  ",
                                          "99999999999999999.5", "#24", "-#1", " +[#1+2.]", "=5", "IX[#2]"};
            line += values[Pick(sizeof values / sizeof values[0])];
            if (Pick(3) == 0)
                line += ' ';
            if (Pick(40) == 0)
                line += ";()$"[Pick(4)];
        }
        const char* const ends[] = {"\n", "\n", "\r\n", "  \n", " \r\n", ""};
        line += ends[Pick(sizeof ends / sizeof ends[0])];
        return line;
    }

private:
    unsigned Pick(unsigned n) { return m_random.Pick(n); }
    TestRandom m_random{2024};
};

}  // namespace

TEST(MirrorLine, OneSweepEqualsTheOperationsOneByOne)
{
    // Each side carries its arc plane from line to line, as in a run.
    NcLines lines;
    int compared = 0;
    for (const MirrorMode* mode = MirrorModesBegin(); mode != MirrorModesEnd(); ++mode) {
        for (const bool fixedWidth : {true, false}) {
            CLineSweep swept;
            swept.Begin(fixedWidth);
            int plane = kPlaneXY;
            for (int i = 0; i < 20000; ++i) {
                const std::string line = lines.Next();
                std::string expected = line;
                const int expectedCount = MirrorLineByOperations(expected, *mode, fixedWidth, plane);
                std::string actual = line;
                const int count = swept.MirrorLine(actual, *mode);
                ASSERT_EQ(expected, actual) << "mode " << mode->number << ", fixed width " << fixedWidth
                                            << ", plane " << plane << ", line \"" << line << '"';
                ASSERT_EQ(expectedCount, count) << line;
                ASSERT_EQ(plane, swept.Plane()) << line;
                ++compared;
            }
        }
    }
    EXPECT_EQ(120000, compared);
}
