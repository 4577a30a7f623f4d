#include "PathProof.h"

#include "MirrorModes.h"
#include "NumberText.h"
#include "ToolpathReader.h"

#include <algorithm>
#include <cmath>

namespace {

const char kAxisLetters[3] = {'X', 'Y', 'Z'};

// Room for the rounding of a double on top of a printed tolerance.
double Slack(double value) { return 1e-9 * std::max(1.0, std::fabs(value)); }

bool Near(double expected, double actual, double tolerance)
{
    return std::fabs(expected - actual) <= tolerance + Slack(actual);
}

// A coordinate with up to four decimals and no trailing zeros.
std::string NumberText(double value)
{
    std::string text;
    AppendFixed(text, value == 0 ? 0.0 : value, 4);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string Coordinates(const double* point, unsigned axes)
{
    std::string text;
    for (int a = 0; a < 3; ++a)
        if (axes & (1u << a))
            text += std::string(" ") + kAxisLetters[a] + NumberText(point[a]);
    return text;
}

unsigned PlaneBits(int plane)
{
    return plane == kPlaneXY ? kAxisBitX | kAxisBitY : plane == kPlaneZX ? kAxisBitX | kAxisBitZ : kAxisBitY | kAxisBitZ;
}

}  // namespace

std::string DescribeMove(const ToolMove& move)
{
    static const char* const kCodes[] = {"G00", "G01", "G02", "G03"};
    switch (move.kind) {
    case MoveKind::Hole: return "отверстие" + Coordinates(move.end, move.endKnown & (kAxisBitX | kAxisBitY));
    case MoveKind::Apart: return "G" + std::to_string(move.code) + Coordinates(move.end, move.endKnown);
    default: break;
    }
    std::string text = kCodes[static_cast<int>(move.kind)];
    if (move.IsArc() && move.plane != kPlaneXY)
        text += " G" + std::to_string(move.plane);
    text += Coordinates(move.end, move.endKnown);
    if (move.IsArc() && move.hasRadius)
        text += " R" + NumberText(move.radius);
    else if (move.IsArc() && move.hasCentre && !move.centreGuessed)
        text += " центр" + Coordinates(move.centre, PlaneBits(move.plane));
    return text;
}

ToolMove CPathProof::Reflected(const ToolMove& move) const
{
    ToolMove reflected = move;
    // Machine positions are the machine's own: the mirror leaves them.
    if (move.kind == MoveKind::Apart && move.code == 53)
        return reflected;
    // Positions are reflected about the mirror's line (x -> 2A - x); the
    // words of a G91 move apart from the path are distances.
    const bool negates[3] = {m_mode.negatesX, m_mode.negatesY, false};
    for (int a = 0; a < 3; ++a) {
        if (!negates[a])
            continue;
        const double twice = 2 * m_position[a];
        reflected.start[a] = twice - move.start[a];
        reflected.end[a] = move.kind == MoveKind::Apart && move.incremental ? -move.end[a] : twice - move.end[a];
        reflected.centre[a] = twice - move.centre[a];
    }
    if (move.IsArc() && ReversesPlane(m_mode, move.plane))
        reflected.kind = move.kind == MoveKind::ArcCw ? MoveKind::ArcCcw : MoveKind::ArcCw;
    return reflected;
}

std::string CPathProof::Difference(const ToolMove& expected, const ToolMove& actual) const
{
    bool same = expected.kind == actual.kind && expected.endKnown == actual.endKnown &&
                (!expected.IsArc() || expected.plane == actual.plane) &&
                (expected.kind != MoveKind::Apart || expected.code == actual.code);
    for (int a = 0; a < 3 && same; ++a)
        if (expected.endKnown & (1u << a))
            same = Near(expected.end[a], actual.end[a], expected.tolerance[a]);
    if (same && expected.IsArc()) {
        if (expected.hasRadius || actual.hasRadius) {
            same = expected.hasRadius == actual.hasRadius &&
                   Near(expected.radius, actual.radius, expected.radiusTolerance);
        } else if (!expected.centreGuessed && !actual.centreGuessed) {
            // Fixed-width arcs, whose centres are unsigned, compare by their
            // end points and direction alone.
            same = expected.hasCentre == actual.hasCentre;
            for (int a = 0; a < 3 && same && expected.hasCentre; ++a)
                if (PlaneBits(expected.plane) & (1u << a))
                    same = Near(expected.centre[a], actual.centre[a], expected.centreTolerance[a]);
        }
    }
    if (same)
        return std::string();
    return "ожидалось " + DescribeMove(expected) + ", в программе " + DescribeMove(actual);
}

bool CPathProof::Compare(long long lineNo, const LineMoves& source, const LineMoves& output)
{
    if (source.holdsPlaneWords)
        ++m_nPlaneWordLines;
    if (source.kind == LineKind::NotRead || output.kind == LineKind::NotRead) {
        if (m_nUnread++ == 0)
            m_nFirstUnread = lineNo;
        m_nUnreadKinds |= source.unread | output.unread;
        if (source.holdsPlaneWords)
            ++m_nUnreadPlaneWordLines;
        return false;
    }
    if (!source.moved && !output.moved)
        return true;
    std::string difference;
    if (!output.moved)
        difference = "ожидалось " + DescribeMove(Reflected(source.move)) + ", в программе нет перемещения";
    else if (!source.moved)
        difference = "лишнее перемещение " + DescribeMove(output.move);
    else
        difference = Difference(Reflected(source.move), output.move);
    if (difference.empty())
        return true;
    m_findings.Add(lineNo, FindingCode::PathMismatch, difference);
    return false;
}

void CPathProof::Resync(CToolpathReader& source, CToolpathReader& output) const
{
    ToolMove point;
    for (int a = 0; a < 3; ++a)
        point.end[a] = source.Position()[a];
    const ToolMove reflected = Reflected(point);
    const unsigned known = source.Known() & output.Known();
    source.SetPosition(point.end, known);
    output.SetPosition(reflected.end, known);
}

void CPathProof::CompareLineCounts(long long sourceLines, long long outputLines)
{
    if (sourceLines == outputLines)
        return;
    m_findings.Add(std::min(sourceLines, outputLines) + 1, FindingCode::PathMismatch,
                   "строк в программе " + std::to_string(outputLines) + ", а в исходной " +
                       std::to_string(sourceLines));
}
