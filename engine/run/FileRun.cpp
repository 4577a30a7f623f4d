#include "FileRun.h"

#include "LineScan.h"

#include "FormatMarks.h"
#include "LineReader.h"
#include "NcMirror.h"
#include "SinkRun.h"

#include <cstring>

namespace {

// A pass's result when the run must start over in free format.
constexpr long long kStartOver = -100;
// A pass's result when a positioned word did not fit the fixed width while
// the format was open.
constexpr long long kOverflowWhileOpen = -101;

// A read buffer at least this large is scanned on the second thread.
constexpr std::ptrdiff_t kScanAheadBytes = 256 << 10;

// The rules of a pass of `mode`: with the format `open`, or settled.
BlockRules RulesOf(const MirrorMode& mode, bool open, bool fixedWidth, const MirrorPosition& position,
                   const PositionState& state)
{
    BlockRules rules;
    rules.positioned = position.Any();
    rules.state = &state;
    // A position of 0 is the axis.
    for (int axis = 0; axis < 2; ++axis) {
        const ExactDecimal& at = axis == 0 ? position.x : position.y;
        rules.axisPositioned[axis] = !IsZero(at);
        rules.twice[axis] = PlainTwiceOf(at);
    }
    rules.mode = &mode;
    rules.open = open;
    rules.fixedWidth = fixedWidth;
    for (const char* letter = fixedWidth ? mode.fixedLetters : mode.freeLetters; *letter; ++letter)
        rules.wanted |= ClassOf(*letter) & kCoordinates;
    rules.centres = (mode.negatesX ? kI : 0) | (mode.negatesY ? kJ : 0);
    return rules;
}

}  // namespace

long long CFileRun::Run(const MirrorMode& mode, const MirrorPosition& position, int& formatCount)
{
    m_pPosition = &position;
    // An observer must see each line once: the format is settled by a scan
    // first, which ends at the first mark of free format.
    if (m_pObserver) {
        m_nFormatCount = ScanFormatMarks(m_reader, true);
        formatCount = m_nFormatCount;
        if (m_nFormatCount < 0 || !m_reader.Rewind())
            return kMirrorSourceError;
        m_step.Begin(mode, m_nFormatCount == 0, &position);
        if (m_pObserver)
            m_pObserver->BeginLines(m_nFormatCount);
        const long long count = Pass<true>(RulesOf(mode, false, m_nFormatCount == 0, position, m_step.State()));
        if (count >= 0)
            m_step.End();
        return count;
    }

    // Otherwise the format stays open (mirrored as fixed width) until a mark
    // of free format; then the run starts over in free format. A positioned
    // word that does not fit the fixed width while the format is open fails
    // the run only when no mark of free format follows.
    m_nFormatCount = 0;
    for (bool open = true;; open = false) {
        m_step.Begin(mode, m_nFormatCount == 0, &position);
        m_nLineNo = 0;
        const long long count = open ? Pass<false>(RulesOf(mode, true, true, position, m_step.State()))
                                     : Pass<true>(RulesOf(mode, false, m_nFormatCount == 0, position, m_step.State()));
        formatCount = m_nFormatCount;
        if (count == kOverflowWhileOpen) {
            if (!m_reader.Rewind() || (m_nFormatCount = ScanFormatMarks(m_reader, true)) < 0)
                return kMirrorSourceError;
            formatCount = m_nFormatCount;
            if (m_nFormatCount == 0)
                return kMirrorPositionError;  // fixed width after all: the line step names the word's line
        } else if (count != kStartOver) {
            if (count >= 0)
                m_step.End();
            return count;
        }
        if (!m_reader.Rewind())
            return kMirrorSourceError;
        if (!m_output.Restart())
            return kMirrorDestinationError;
    }
}

long long CFileRun::LineAside(std::string_view line, const char* limit, long long lineNo, bool open,
                              bool carriageReturn)
{
    // While the format is open a mark of free format starts the run over.
    if (open) {
        const int marks = FreeFormatMarks(line);
        if (marks > 0) {
            m_nFormatCount = marks;
            return kStartOver;
        }
    }
    const MirroredLine mirrored = m_step.Mirror(line, limit, lineNo, carriageReturn);
    if (mirrored.overflow)
        return open ? kOverflowWhileOpen : kMirrorPositionError;
    if (!m_output.Write(mirrored.mirrored.data(), mirrored.mirrored.size()))
        return kMirrorDestinationError;
    if (m_pObserver && !m_pObserver->Line(mirrored.source, mirrored.mirrored))
        return kMirrorDestinationError;
    return mirrored.count;
}

template <bool pointIsValue>
long long CFileRun::Pass(const BlockRules& rules)
{
    long long count = 0;
    OutputRoom room(m_output);
    const char* begin = nullptr;
    const char* end = nullptr;
    for (;;) {
        // A program whose lines end in '\r' goes line by line.
        if (m_reader.CarriageReturnLines()) {
            std::string_view read;
            if (!m_reader.NextLine(read))
                break;
            const long long n = LineAside(read, m_reader.ReadableEnd(read), ++m_nLineNo, rules.open, true);
            if (n < 0)
                return n;
            count += n;
            continue;
        }
        if (!m_reader.Peek(begin, end))
            break;
        // 1. Every line that ends in this buffer: scanned on the second
        //    thread when the buffer is large, so that the scan and the
        //    writing go on side by side.
        const bool ahead = end - begin >= kScanAheadBytes && m_ahead.Start();
        const char* const line = ahead ? SweepAhead<pointIsValue>(rules, begin, end, room, count)
                                       : SweepBuffer<pointIsValue>(rules, begin, end, room, count);
        if (!line)
            return m_nFailure;
        m_reader.Skip(static_cast<std::size_t>(line - begin));

        // 2. A line that does not end in the buffer (a long one, or the last
        //    one without a line end) is gathered whole and goes aside.
        if (line == begin) {
            room.Release();
            std::string_view read;
            if (!m_reader.NextLine(read))
                break;
            const long long n = LineAside(read, m_reader.ReadableEnd(read), ++m_nLineNo, rules.open,
                                          m_reader.CarriageReturnLines());
            if (n < 0)
                return n;
            count += n;
        }
    }
    room.Release();
    // A source still being written (a post-processor) gives no output.
    if (m_reader.Failed() || !m_reader.CheckUnchanged())
        return kMirrorSourceError;
    return count;
}

template <bool pointIsValue>
const char* CFileRun::SweepBuffer(const BlockRules& rules, const char* begin, const char* end, OutputRoom& room,
                                  long long& count)
{
    CPlainCodes plainCodes(*rules.mode, rules.positioned);
    LineNotes notes;
    return ScanLines<pointIsValue>(rules, begin, end, &notes,
                                   [&](const char* line, const char* lineEnd, LineNotes& settled) -> LineNotes* {
                                       if (!WriteLine(rules, plainCodes, line, lineEnd, end, settled, room, count))
                                           return nullptr;
                                       return &settled;
                                   });
}

template <bool pointIsValue>
const char* CFileRun::SweepAhead(const BlockRules& rules, const char* begin, const char* end, OutputRoom& room,
                                 long long& count)
{
    CPlainCodes plainCodes(*rules.mode, rules.positioned);
    m_ahead.Scan(rules, pointIsValue, begin, end);
    for (;;) {
        ScanBatch& batch = m_ahead.Next();
        for (int k = 0; k < batch.count; ++k) {
            ScannedLine& scanned = batch.lines[k];
            if (!WriteLine(rules, plainCodes, scanned.line, scanned.end, end, scanned.notes, room, count)) {
                m_ahead.Cancel();  // the thread lets the buffer go before the run goes on
                return nullptr;
            }
        }
        const bool last = batch.last;
        const char* const stop = batch.stop;
        m_ahead.Release();
        if (last)
            return stop;
    }
}

bool CFileRun::WriteLine(const BlockRules& rules, CPlainCodes& plainCodes, const char* line, const char* end,
                         const char* limit, LineNotes& notes, OutputRoom& room, long long& count)
{
    // 1. A plain line straight into the output buffer.
    const std::string_view whole(line, static_cast<std::size_t>(end - line));
    std::string_view written;
    ++m_nLineNo;
    const bool plain = !notes.aside && (notes.gCount == 0 || CodesAllow(notes, plainCodes.For(m_step.Plane()))) &&
                       WritePlainLine(line, end, limit, notes, rules, room, count, written);
    if (plain) {
        m_step.SeePlainLine(whole, (notes.seen & kY) != 0);
        if (m_pObserver && !m_pObserver->Line(whole, written)) {
            m_nFailure = kMirrorDestinationError;
            return false;
        }
        return true;
    }
    // 2. Any other line through the line step.
    room.Release();
    const long long n = LineAside(whole, limit, m_nLineNo, rules.open, false);
    if (n < 0) {
        m_nFailure = n;
        return false;
    }
    count += n;
    return true;
}
