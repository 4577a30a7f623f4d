// CToolpathReader: reads the lines of one program, in order, into moves.
//
// Modal G00/G01/G02/G03 (also G0-G3), G90/G91, G17/G18/G19; arcs by I/J/K
// (centre offsets from the start point) or R; canned cycles G81-G89 give
// hole positions until G80 (or a G00-G03); G53, G28, G30 and G92 give moves
// kept apart from the path; a work offset the line selects (G54-G59,
// G54.1 Pn) is told with the line. Values are read as the numbers they print, the
// same scale for every letter. Lines the mirror treats as skip lines hold no
// moves and change nothing; a line with a variable, an expression, an
// unknown character, a repeated coordinate letter or a word without a
// number is not read, and the axes it names become unknown. The reader
// holds no more than its modal state: a program of any size streams
// through it.
#pragma once

#include "ParsedLine.h"
#include "ToolMove.h"

#include <string_view>

class CToolpathReader {
public:
    // Starts a program; `fixedWidth`: its arc centres are unsigned magnitudes.
    void Begin(bool fixedWidth);

    // The next line of the program (its line end may be included).
    const LineMoves& ReadLine(std::string_view line);

    // The same in two steps: a line parsed alone (on any thread), then
    // read as the program's next line.
    static void Parse(std::string_view line, ParsedLine& parsed);
    const LineMoves& Apply(const ParsedLine& parsed);

    // The tool's position: coordinates and which of them are known.
    const double* Position() const { return m_position; }
    unsigned Known() const { return m_nKnown; }
    // Puts the tool at `position`, knowing the axes of `known` only.
    void SetPosition(const double position[3], unsigned known);

private:
    using Words = ParsedLine;
    static LineKind ParseLine(std::string_view line, Words& words);
    // The line's modal G codes into the state; true when the line itself
    // starts a canned cycle.
    bool ApplyModes(const LineModes& modes);
    void AxisTarget(const Words& words, int axis, unsigned& known, double* target, double* tolerance) const;
    ToolMove& StartMove(MoveKind kind);
    void ReadApart(const Words& words, int code);
    void ReadHole(const Words& words);
    void ReadMotion(const Words& words);
    void ReadArcCentre(const Words& words, ToolMove& move) const;

    bool m_bFixedWidth = false;
    int m_nMotion = 0;        // 0..3
    int m_nCycle = 0;         // 81..89 while a canned cycle is active, else 0
    int m_nPlane = 17;
    bool m_bAbsolute = true;  // G90; false in G91
    bool m_bPolar = false;    // G16 (polar coordinates) until G15
    double m_position[3] = {};
    double m_tolerance[3] = {};
    unsigned m_nKnown = 0;
    LineMoves m_result;
    ParsedLine m_parsed;
};
