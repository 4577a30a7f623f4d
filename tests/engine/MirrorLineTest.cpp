// A whole line mirrored in one sweep must come out exactly as the public
// operations give it one after the other: end trim, arc swap, negation of
// the mode's letters, compensation swap, end trim (skip lines: the trim
// only). Checked over many generated NC-like lines in every mode and both
// number formats.
#include "MirrorModes.h"
#include "NcMirror.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// The mirror of one line from the operations, one by one.
std::string Stepwise(std::string line, const MirrorMode& mode, int formatCount, int& count)
{
    CNcMirror engine;
    engine.m_nFormatCount = formatCount;
    const bool fixedWidth = formatCount == 0;
    count = 0;
    if (line.find_first_of(";()$") == std::string::npos) {
        CNcMirror::TrimLineEnd(line);
        if (mode.swapsMotionCodes)
            count += CNcMirror::SwapMotionCodes(line, kSwapArcDirection);
        count += engine.ScaleWords(line, -1.0f, fixedWidth ? mode.fixedLetters : mode.freeLetters);
        if (mode.swapsMotionCodes)
            count += CNcMirror::SwapMotionCodes(line, fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree);
    }
    CNcMirror::TrimLineEnd(line);
    return line;
}

// Lines of G words (many of them the swapped codes), coordinates in
// plain and odd spellings, blanks in every place, skip characters and
// line ends with '\r'.
class NcLines {
public:
    std::string Next()
    {
        std::string line;
        const unsigned words = Pick(5) == 0 ? 10 + Pick(20) : Pick(8);
        for (unsigned w = 0; w < words; ++w) {
            line += "GGGXYIJZNF"[Pick(10)];
            const char* const values[] = {"02", "03", "2", "3", "41", "42", "43", "01", "2.0", " 3 ", "",
                                          "12.345", "-6.789", "+001000", "-000250", "100.", "0",
                                          "-0.0", "1.123456", "+", "1-2", "  7  ", "99999999999999999.5"};
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
    NcLines lines;
    CNcMirror fixedEngine, freeEngine;
    fixedEngine.m_nFormatCount = 0;
    freeEngine.m_nFormatCount = 1;
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string line = lines.Next();
        for (const MirrorMode* mode = MirrorModesBegin(); mode != MirrorModesEnd(); ++mode) {
            for (CNcMirror* engine : {&fixedEngine, &freeEngine}) {
                int expectedCount = 0;
                const std::string expected = Stepwise(line, *mode, engine->m_nFormatCount, expectedCount);
                std::string swept = line;
                const int count = engine->MirrorLine(swept, *mode);
                ASSERT_EQ(expected, swept) << "mode " << mode->number << ", format " << engine->m_nFormatCount
                                           << ", line \"" << line << '"';
                ASSERT_EQ(expectedCount, count) << line;
                ++compared;
            }
        }
    }
    EXPECT_EQ(120000, compared);
}
