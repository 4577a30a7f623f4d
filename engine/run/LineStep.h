// One line of a run, as both runs (into a file, into a sink) take it: the
// sweep mirrors it, and a line that may hold a finding goes to the check
// with the arc plane in effect before it. The run's findings and number
// format live here.
#pragma once

#include "LineSweep.h"
#include "MirrorCheck.h"
#include "MirrorFailure.h"

#include <string>
#include <string_view>

struct MirrorMode;

// A line mirrored: the source line and its mirror, each with the program's
// own line end, and the number of words changed.
struct MirroredLine {
    std::string_view source;
    std::string_view mirrored;
    int count = 0;
    bool overflow = false;  // a positioned fixed-width word does not fit: the run fails
};

class CLineStep {
public:
    // A new run of `mode` over a program of this number format, about
    // `position` (none: the axes).
    void Begin(const MirrorMode& mode, bool fixedWidth, const MirrorPosition* position = nullptr);

    // Mirrors and checks line `lineNo` as read (bytes up to `limit` may be
    // read; null: none past the line). With `carriageReturn`, the line was
    // read with a '\n' in place of its '\r', and both views get it back.
    // The views hold until the next line.
    MirroredLine Mirror(std::string_view read, const char* limit, long long lineNo, bool carriageReturn);

    // A line that a run writes without the step (a plain line): the check
    // still learns what it needs of every line. With `holdsY` false the run
    // met no 'Y' on the line, so the check, which reads only its Y words,
    // is not called.
    void SeePlainLine(std::string_view line, bool holdsY = true)
    {
        if (holdsY && m_check.WantsCodeLines())
            m_check.SeeCodeLine(line);
    }

    // After the last line.
    void End() { m_check.End(); }

    bool FixedWidth() const { return m_sweep.FixedWidth(); }
    // Why the run failed on a line (a positioned word that does not fit).
    const MirrorFailure& Failure() const { return m_failure; }
    // The arc plane in effect.
    int Plane() const { return m_sweep.Plane(); }
    // The distance and arc-centre modes of a positioned run.
    const PositionState& State() const { return m_sweep.State(); }
    const CMirrorFindings& Findings() const { return m_check.Findings(); }

private:
    const MirrorMode* m_pMode = nullptr;
    CLineSweep m_sweep;
    CMirrorCheck m_check;
    bool m_bIntegerPositionNoted = false;  // once per file
    MirrorFailure m_failure;
    std::string m_strLine;           // a line without a '\n' end, copied to end in a NUL
    std::string m_strReadEnded;      // a line read, and its mirror, with the '\r' end
    std::string m_strMirroredEnded;  // of a program whose lines end so
};
