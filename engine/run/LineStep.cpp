#include "LineStep.h"

void CLineStep::Begin(const MirrorMode& mode, bool fixedWidth)
{
    m_pMode = &mode;
    m_sweep.Begin(fixedWidth);
    m_check.Begin(mode, fixedWidth);
}

MirroredLine CLineStep::Mirror(std::string_view read, const char* limit, long long lineNo, bool carriageReturn)
{
    // 1. The sweep needs a '\n' or a NUL after the line: a line without its
    //    '\n' (the last one) is mirrored from a copy.
    std::string_view line = read;
    if (read.empty() || read.back() != '\n') {
        CopyLine(m_strLine, read.data(), read.size());
        line = m_strLine;
        limit = nullptr;
    }
    // 2. The mirror, then the check with the plane before the line.
    const int planeBefore = m_sweep.Plane();
    MirroredLine result;
    result.count = m_sweep.Mirror(line, *m_pMode, result.mirrored, limit);
    if (m_sweep.LineMayHoldFinding())
        m_check.CheckLine(lineNo, read, planeBefore);
    else
        SeePlainLine(read);
    // 3. Lines that end in '\r' were read with a '\n' in its place.
    result.source = read;
    if (carriageReturn) {
        result.source = WithCarriageReturn(read, m_strReadEnded);
        result.mirrored = WithCarriageReturn(result.mirrored, m_strMirroredEnded);
    }
    return result;
}
