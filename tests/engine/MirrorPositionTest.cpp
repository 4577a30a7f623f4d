// The mirror about a position against an independent reading: for programs
// in G90, every absolute X word about x = A is 2A - X exactly (in decimal),
// and every other byte is what the mirror about x = 0 writes.
#include "MirrorModes.h"
#include "NcMirror.h"
#include "TestFiles.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr long long kScale = 10000000;  // 1e-7 units: every decimal the cases use

// A value text of `scaled` (1e-7 units) with `decimals` decimals (-1: no point).
std::string Text(long long scaled, int decimals)
{
    const bool negative = scaled < 0;
    const long long magnitude = negative ? -scaled : scaled;
    std::string text = std::to_string(magnitude / kScale);
    if (decimals >= 0) {
        std::string fraction = std::to_string(magnitude % kScale);
        fraction.insert(0, 7 - fraction.size(), '0');
        text += "." + fraction.substr(0, static_cast<std::size_t>(decimals));
    }
    return (negative ? "-" : "") + text;
}

// The value of a printed number in 1e-7 units, read digit by digit.
long long Scaled(const std::string& text)
{
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+')
        ++i;
    long long whole = 0, fraction = 0, unit = kScale;
    for (; i < text.size() && text[i] != '.'; ++i)
        whole = whole * 10 + (text[i] - '0');
    for (++i; i < text.size(); ++i)
        fraction += (text[i] - '0') * (unit /= 10);
    const long long value = whole * kScale + fraction;
    return negative ? -value : value;
}

// The value text after the first `letter` of the line, and the line without it.
std::string Cut(std::string& line, char letter)
{
    const std::size_t at = line.find(letter);
    const std::size_t end = line.find_first_of(" \n", at);
    const std::string value = line.substr(at + 1, end - at - 1);
    line.erase(at + 1, end - at - 1);
    return value;
}

}  // namespace

TEST(MirrorPosition, AbsoluteWordsAreTwiceThePositionLessTheirValue)
{
    TestRandom random(21);
    ScratchFolder dir("position");
    for (int program = 0; program < 20; ++program) {
        // Words with 0 to 4 decimals or none, the position with 0 to 3.
        std::string text = "G90 G17\n";
        std::vector<long long> xs;
        for (int i = 0; i < 200; ++i) {
            const int decimals = static_cast<int>(random.Pick(6)) - 1;
            long long unit = kScale;
            for (int d = 0; d < decimals; ++d)
                unit /= 10;
            const long long x = (static_cast<long long>(random.Pick(2000000)) - 1000000) * unit / 100;
            const long long y = static_cast<long long>(random.Pick(20000)) * kScale / 1000;
            xs.push_back(x - x % unit);
            text += "G1 X" + Text(xs.back(), decimals) + " Y" + Text(y, 3) + " F100\n";
        }
        const int positionDecimals = static_cast<int>(random.Pick(4));
        long long a = (static_cast<long long>(random.Pick(200000)) - 100000) * kScale / 100;
        long long unit = kScale;
        for (int d = 0; d < positionDecimals; ++d)
            unit /= 10;
        a -= a % unit;
        if (a == 0)
            a = kScale;
        const std::string position = Text(a, positionDecimals);
        SCOPED_TRACE("x=" + position);
        WriteBytes(dir.path() / "p.nc", text);
        CNcMirror axis, line;
        ASSERT_TRUE(line.SetPosition(position.c_str(), nullptr));
        ASSERT_GE(axis.Mirror((dir / "p.nc").c_str(), (dir / "axis.nc").c_str(), 2), 0);
        ASSERT_GE(line.Mirror((dir / "p.nc").c_str(), (dir / "line.nc").c_str(), 2), 0);
        std::istringstream axisLines(ReadBytes(dir.path() / "axis.nc")), lineLines(ReadBytes(dir.path() / "line.nc"));
        std::string expected, actual;
        std::getline(axisLines, expected);
        std::getline(lineLines, actual);
        for (const long long x : xs) {
            ASSERT_TRUE(std::getline(axisLines, expected) && std::getline(lineLines, actual));
            Cut(expected, 'X');
            const std::string value = Cut(actual, 'X');
            EXPECT_EQ(2 * a - x, Scaled(value)) << value;
            EXPECT_EQ(expected, actual);
        }
    }
}

// A fixed-width word that does not fit fails the run only in a fixed-width
// program: when a point shows free format further on, the run starts over
// in free format and writes every word.
TEST(MirrorPosition, AWordTooWideFailsOnlyAFixedWidthProgram)
{
    ScratchFolder dir("position_wide");
    const std::string head = "G90\nX+900000Y+000001\n";
    const struct {
        std::string tail;
        long long result;
        std::string bytes;
    } kCases[] = {
        {"X1.5 Y2.\n", 2, "G90\nX-1300000Y+000001\nX-400001.5 Y2.\n"},
        {"X+000001Y+000002\n", kMirrorPositionError, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.tail);
        WriteBytes(dir.path() / "p.nc", head + c.tail);
        CNcMirror mirror;
        ASSERT_TRUE(mirror.SetPosition("-200000", nullptr));
        EXPECT_EQ(c.result, mirror.Mirror((dir / "p.nc").c_str(), (dir / "out.nc").c_str(), 2));
        if (c.result >= 0)
            EXPECT_EQ(c.bytes, ReadBytes(dir.path() / "out.nc"));
        else
            EXPECT_EQ(MirrorFailureKind::PositionDoesNotFit, mirror.LastFailure().kind);
    }
}
