#include "LineStep.h"

void CLineStep::Begin(const MirrorMode& mode, bool fixedWidth, const MirrorPosition* position)
{
    m_pMode = &mode;
    m_sweep.Begin(fixedWidth, position);
    m_check.Begin(mode, fixedWidth, position && !IsZero(position->y));
    m_bIntegerPositionNoted = false;
    m_failure = MirrorFailure();
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
    // What a positioned line held: words read in whole units (once per
    // file), an expression that stays as it is, a word that does not fit.
    const PositionNotes& notes = m_sweep.LineNotes();
    if (notes.integerPosition && !m_bIntegerPositionNoted) {
        m_bIntegerPositionNoted = true;
        m_check.AddFinding(lineNo, FindingCode::IntegerPosition, notes.word);
    }
    if (notes.undelimited)
        m_check.AddFinding(lineNo, FindingCode::UnmirroredValue, notes.word);
    result.overflow = notes.overflow;
    if (notes.overflow)
        m_failure = {MirrorFailureKind::PositionDoesNotFit,
                     lineNo > 2147483647 ? 2147483647 : static_cast<int>(lineNo)};
    // 3. Lines that end in '\r' were read with a '\n' in its place.
    result.source = read;
    if (carriageReturn) {
        result.source = WithCarriageReturn(read, m_strReadEnded);
        result.mirrored = WithCarriageReturn(result.mirrored, m_strMirroredEnded);
    }
    return result;
}
