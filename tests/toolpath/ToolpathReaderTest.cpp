// The toolpath reader on small programs: each case lists, line by line, the
// work offset the line selects ("N: G54", 541 for G54.1 with its P), the
// move read ("N: G01 X.. Y..") or "N: не прочитана"; lines without either
// are not listed.
#include "PathProof.h"
#include "ToolpathReader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The moves of `program` (lines ending in '\n'), as text.
std::string ReadMoves(const std::string& program, bool fixedWidth = false)
{
    CToolpathReader reader;
    reader.Begin(fixedWidth);
    std::string text;
    long long lineNo = 0;
    for (std::size_t at = 0; at < program.size();) {
        const std::size_t nl = program.find('\n', at);
        const std::size_t end = nl == std::string::npos ? program.size() : nl + 1;
        const LineMoves& line = reader.ReadLine(std::string_view(program).substr(at, end - at));
        at = end;
        ++lineNo;
        if (line.workOffset != 0)
            text += std::to_string(lineNo) + ": G" + std::to_string(line.workOffset) +
                    (line.workOffsetNumber ? " P" + std::to_string(line.workOffsetNumber) : "") + "\n";
        if (line.kind == LineKind::NotRead)
            text += std::to_string(lineNo) + ": не прочитана\n";
        else if (line.moved) {
            ToolMove shown = line.move;
            shown.centreGuessed = false;  // the guessed centre shows too
            text += std::to_string(lineNo) + ": " + DescribeMove(shown) + "\n";
        }
    }
    return text;
}

struct ReaderCase {
    const char* name;
    const char* program;
    const char* moves;
    bool fixedWidth = false;
};

const ReaderCase kCases[] = {
    {"modal motion, incremental steps, an unknown start",
     "G90 G17 G0 X10 Y5\nG1 Z-1. F100\nG91 X5 Y-2.5\n  Y1\t\r\nG90 M3\n",
     "1: G00 X10 Y5\n2: G01 X10 Y5 Z-1\n3: G01 X15 Y2.5 Z-1\n4: G01 X15 Y3.5 Z-1\n"},
    {"incremental from an unknown start stays unknown",
     "G91 G1 X5 Y5\nG90 X1\nG91 Y2\n",
     "1: G01\n2: G01 X1\n3: G01 X1\n"},
    {"arcs by centre, by radius, a full circle, modal arcs",
     "G0 X0 Y0 Z0\nG2 X10 Y0 I5 J0\nG3 X0 Y0 R-5.\nX0 Y0 I-5\nG02 I5\n",
     "1: G00 X0 Y0 Z0\n2: G02 X10 Y0 Z0 центр X5 Y0\n3: G03 X0 Y0 Z0 R-5\n"
     "4: G03 X0 Y0 Z0 центр X-5 Y0\n5: G02 X0 Y0 Z0 центр X5 Y0\n"},
    {"the plane decides the centre's letters",
     "G0 X1 Y2 Z3\nG18 G3 X5 Z3 I2 J7 K0\nG19 G2 Y6 Z3 J2 K0\nG17 G2 X1 Y2 K4\n",
     "1: G00 X1 Y2 Z3\n2: G03 G18 X5 Y2 Z3 центр X3 Z3\n3: G02 G19 X5 Y6 Z3 центр Y4 Z3\n4: G02 X1 Y2 Z3\n"},
    {"canned cycles give holes until G80; their Z and R are no positions",
     "G0 X0 Y0 Z10\nG81 G99 X5 Y5 Z-3 R2 F100\nX10\nZ-5\nY7\nG80\nX20\n",
     "1: G00 X0 Y0 Z10\n2: отверстие X5 Y5\n3: отверстие X10 Y5\n5: отверстие X10 Y7\n7: G00 X20 Y7 Z10\n"},
    {"a motion code after the cycle's code ends the cycle",
     "G81 X1 Y1 Z-1 R1\nG1 X2\nG0 G81 X3\nG81 G1 X4\n",
     "1: отверстие X1 Y1\n2: G01 X2 Y1\n3: отверстие X3 Y1\n4: G01 X4 Y1\n"},
    {"machine coordinates and a new position are kept apart",
     "G0 X1 Y2 Z3\nG53 Z0\nX5\nG92 X0 Y0\nG1 X1\nG91 G28 Z0\n",
     "1: G00 X1 Y2 Z3\n2: G53 Z0\n3: G00 X5 Y2\n4: G92 X0 Y0\n5: G01 X1 Y0\n6: G28 Z0\n"},
    {"skip lines, lines that move nothing",
     "G0 X1 Y1\nG1 X5 (CUT)\nG4 X2.\nG10 L2 P1 X5\nG68 X0 Y0 R30\nN10 M30\n%\n",
     "1: G00 X1 Y1\n"},
    {"variables, expressions, strange words and repeated letters are not read",
     "G0 X1 Y1 Z1\nG1 X#101\nY[#1+2.]\nG1 X10. X20.\nx5\nX-\nG1 X1 5\nZ5\nG0 X2 Y2\n",
     "1: G00 X1 Y1 Z1\n2: не прочитана\n3: не прочитана\n4: не прочитана\n5: не прочитана\n"
     "6: не прочитана\n7: не прочитана\n8: G01 Z5\n9: G00 X2 Y2 Z5\n"},
    {"work offsets are told with their line, read or not; the moves stay as they were",
     "G54 G0 X1 Y1\nG55\nG1 X2\nG54.1 P3 X3\nG56 G4 X2.\nG59 X#1\nG54.2 G57.5 X4\n",
     "1: G54\n1: G00 X1 Y1\n2: G55\n3: G01 X2 Y1\n4: G541 P3\n4: G01 X3 Y1\n5: G56\n6: G59\n6: не прочитана\n"
     "7: G01 X4 Y1\n"},
    {"polar coordinates are not read",
     "G0 X0 Y0\nG16 G1 X10 Y45\nG15 X1 Y1\n",
     "1: G00 X0 Y0\n2: не прочитана\n3: G01 X1 Y1\n"},
    {"fixed width: unsigned centres take the signs that fit",
     "N1G90G01X+010000Y+000000\nN2G03X+000000Y+010000I+010000J+000000\nN3G02X-010000Y+000000I+000000J+010000\n",
     "1: G01 X10000 Y0\n2: G03 X0 Y10000 центр X0 Y0\n3: G02 X-10000 Y0 центр X0 Y0\n", true},
};

TEST(ToolpathReader, ReadsEachCaseLineByLine)
{
    for (const ReaderCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadMoves(c.program, c.fixedWidth), c.moves);
    }
}

// After a line that is not read, the modes it named hold as the mirror
// reads them: its G18 makes the next arc one of the ZX plane; a first 'G'
// without a number voids the line's G words.
TEST(ToolpathReader, ModesOfALineNotReadHoldAsTheMirrorReadsThem)
{
    EXPECT_EQ(ReadMoves("G0 X0 Y0 Z0\nG18 G2 X#1\nG90 X2 Z0 I1\nGM1 G17\nX3 I1\n"),
              "1: G00 X0 Y0 Z0\n2: не прочитана\n3: G02 G18 X2 Y0 Z0\n4: не прочитана\n"
              "5: G02 G18 X3 Y0 Z0 центр X3 Z0\n");
}

}  // namespace
