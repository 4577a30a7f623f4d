#include "SinkRun.h"

#include "FormatMarks.h"
#include "LineReader.h"
#include "NcMirror.h"

#include <climits>

int ScanFormatMarks(LineReader& reader, bool untilFree)
{
    // The count only tells fixed width (0) from free format (more); it stops
    // growing at INT_MAX so no file can wrap it round to zero. The mirror run
    // needs no more than the first mark: free format is settled there.
    int count = 0;
    std::string_view line;
    while (reader.NextLine(line)) {
        const int marks = FreeFormatMarks(line);
        count = count > INT_MAX - marks ? INT_MAX : count + marks;
        if (untilFree && count > 0)
            return count;
    }
    return reader.Failed() ? -1 : count;
}

long long MirrorToSinkLines(LineReader& reader, const MirrorMode& mode, const MirrorPosition& position,
                            CLineStep& step, CMirrorSink* sink, int& formatCount)
{
    // 1. One pass decides the number format, over the same open file; it
    //    ends early at the first sign of free format.
    step.Begin(mode, true);
    formatCount = ScanFormatMarks(reader, true);
    if (formatCount < 0 || !reader.Rewind())
        return kMirrorSourceError;

    // 2. Line by line: rewrite what is not a skip line, normalise the end,
    //    check what the sweep cannot rule out, hand the line on. Every run
    //    starts in the XY plane.
    step.Begin(mode, formatCount == 0, &position);
    if (sink)
        sink->BeginLines(formatCount);
    const bool carriageReturns = reader.CarriageReturnLines();
    long long count = 0;
    long long lineNo = 0;
    std::string_view read;
    while (reader.NextLine(read)) {
        const MirroredLine line = step.Mirror(read, reader.ReadableEnd(read), ++lineNo, carriageReturns);
        if (line.overflow)
            return kMirrorPositionError;
        count += line.count;
        if (sink && !sink->Line(line.source, line.mirrored))
            return kMirrorDestinationError;
    }
    // A source still being written (a post-processor) gives no output.
    if (reader.Failed() || !reader.CheckUnchanged())
        return kMirrorSourceError;

    // 3. Calls of programs the file never defined are known only now.
    step.End();
    return count;
}
