// CPathProof: the proof of a mirror. The path of the mirrored program must
// be the reflection of the source's path, move by move: each source move is
// reflected by the mode (arc direction reversed where the mode reverses the
// move's plane) and compared with the output's move of the same line: the
// same kind, end points equal within half a unit of the last decimal the
// output prints for them, arcs with the same centre (or radius). Each
// difference is a path-mismatch finding at the output line. Lines that
// either side could not read are left out and counted.
#pragma once

#include "MirrorFindings.h"
#include "ToolMove.h"

#include <string>

struct MirrorMode;
class CToolpathReader;

class CPathProof {
public:
    explicit CPathProof(const MirrorMode& mode) : m_mode(mode) {}
    // The mirror's position: the line x = `x`, the line y = `y` (0: the axis).
    void SetPosition(double x, double y)
    {
        m_position[0] = x;
        m_position[1] = y;
    }

    // Compares line `lineNo` (1-based) of the source and of the output.
    // False when the two are out of step afterwards (a difference, or a line
    // not read): Resync then puts the readers back in step, so that one
    // wrong word gives one finding.
    bool Compare(long long lineNo, const LineMoves& source, const LineMoves& output);
    void Resync(CToolpathReader& source, CToolpathReader& output) const;

    // After the last line: the two programs must have as many lines.
    void CompareLineCounts(long long sourceLines, long long outputLines);

    const CMirrorFindings& Findings() const { return m_findings; }
    long long UnreadLines() const { return m_nUnread; }
    long long FirstUnreadLine() const { return m_nFirstUnread; }
    // Why the lines were not read (kUnread... bits).
    unsigned UnreadKinds() const { return m_nUnreadKinds; }
    // True when more than 5% of the source's lines with an X, Y, I or J word
    // could not be compared: the path is not proved.
    bool NotProved() const { return m_nUnreadPlaneWordLines * 20 > m_nPlaneWordLines; }
    long long PlaneWordLines() const { return m_nPlaneWordLines; }
    long long UnreadPlaneWordLines() const { return m_nUnreadPlaneWordLines; }

    // `move` reflected by the mode.
    ToolMove Reflected(const ToolMove& move) const;

private:
    // What differs between the expected and the actual move; empty when nothing.
    std::string Difference(const ToolMove& expected, const ToolMove& actual) const;

    const MirrorMode& m_mode;
    double m_position[3] = {};  // the mirror's line in X and Y; Z is never mirrored
    CMirrorFindings m_findings;
    long long m_nUnread = 0;
    long long m_nFirstUnread = 0;
    unsigned m_nUnreadKinds = 0;
    long long m_nPlaneWordLines = 0;        // source lines with an X, Y, I or J word
    long long m_nUnreadPlaneWordLines = 0;  // those not compared
};

// A move as the program would say it: "G02 Y30.25 центр Y29.75".
std::string DescribeMove(const ToolMove& move);
