// The mirror run: mode check, format scan, and the line-by-line copy that
// rewrites every line which is not a skip line.
#include "NcMirror.h"

#include "LineReader.h"
#include "LineScan.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "SafeOutput.h"
#include "WordText.h"

#include <climits>

CNcMirror::CNcMirror() : m_nSpaced(-1), m_nFormatCount(-1), m_nPlane(kPlaneXY), m_pDiagnostics(stderr) {}

CNcMirror::~CNcMirror() = default;

void CNcMirror::ReportUnreadable(const char* path) const
{
    if (m_pDiagnostics)
        std::fputs(FormatMirrorMessage(MirrorMessage::CannotRead, path ? path : "").c_str(), m_pDiagnostics);
}

int CNcMirror::ScanLines(LineReader& reader, bool untilFree)
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

int CNcMirror::ScanFormat(const char* path)
{
    m_failure = MirrorFailure();
    LineReader reader;
    if (!reader.Open(path)) {
        ReportUnreadable(path);
        return static_cast<int>(SourceFailed(reader));
    }
    const int count = ScanLines(reader, false);
    return count < 0 ? static_cast<int>(SourceFailed(reader)) : count;
}

long long CNcMirror::SourceFailed(const LineReader& reader)
{
    m_failure = reader.Failure();
    return kMirrorSourceError;
}

long long CNcMirror::DestinationFailed(const SafeOutput& output)
{
    m_failure = output.Failure();
    return kMirrorDestinationError;
}

long long CNcMirror::OpenRun(const char* source, int mode, LineReader& reader, const MirrorMode*& pMode)
{
    // 1. The mode decides the letters and the swaps.
    m_failure = MirrorFailure();
    pMode = FindMirrorMode(mode);
    if (!pMode)
        return kMirrorModeError;

    // 2. The source must be a readable regular file.
    if (!reader.Open(source)) {
        ReportUnreadable(source);
        return SourceFailed(reader);
    }
    return 0;
}

long long CNcMirror::Mirror(const char* source, const char* destination, int mode, CMirrorSink* observer)
{
    // 1. and 2. The mode, and the source open for reading.
    LineReader reader;
    const MirrorMode* pMode = nullptr;
    if (const long long opened = OpenRun(source, mode, reader, pMode); opened < 0)
        return opened;

    // 3. The destination must be writable; its old content stays until the
    //    whole run has succeeded.
    SafeOutput output;
    if (!output.Open(destination, m_outputOptions))
        return DestinationFailed(output);

    // 4. to 6. Mirror and check every line into the temporary file, read
    //    once over whole buffers.
    const long long count = RunToFile(reader, *pMode, output, observer);
    if (count == kMirrorDestinationError)
        return DestinationFailed(output);
    if (count < 0)
        return count;
    if (m_bStrict && (!m_check.Findings().Empty() || (observer && observer->Refuses())))
        return kMirrorRefusedByCheck;

    // 7. Release the source (it may be the destination itself), then put the
    //    new program in place.
    reader.Close();
    if (!output.Commit())
        return DestinationFailed(output);
    return count;
}

long long CNcMirror::MirrorToSink(const char* source, CMirrorSink* sink, int mode)
{
    LineReader reader;
    const MirrorMode* pMode = nullptr;
    if (const long long opened = OpenRun(source, mode, reader, pMode); opened < 0)
        return opened;
    return RunLines(reader, *pMode, sink);
}

long long CNcMirror::RunLines(LineReader& reader, const MirrorMode& mode, CMirrorSink* sink)
{
    // 4. One pass decides the number format, over the same open file; it
    //    ends early at the first sign of free format.
    m_check.Begin(mode, true);
    m_nFormatCount = ScanLines(reader, true);
    if (m_nFormatCount < 0 || !reader.Rewind())
        return SourceFailed(reader);
    // Lines that end in '\r' are read with a '\n' in its place and get it back.
    const bool carriageReturns = reader.CarriageReturnLines();

    // 5. Line by line: rewrite what is not a skip line, normalise the end,
    //    check what the sweep cannot rule out, hand the line on. Every run
    //    starts in the XY plane.
    m_nPlane = kPlaneXY;
    m_check.Begin(mode, m_nFormatCount == 0);
    if (sink)
        sink->BeginLines(m_nFormatCount);
    long long count = 0;
    long long lineNo = 0;
    std::string_view read;
    while (reader.NextLine(read)) {
        ++lineNo;
        const int planeBefore = m_nPlane;
        // A line that ends in '\n' is mirrored where it lies in the read
        // buffer; any other (the last one) from a copy that ends in a NUL.
        std::string_view line = read;
        const char* limit = reader.ReadableEnd(read);
        if (read.empty() || read.back() != '\n') {
            CopyLine(m_strLine, read.data(), read.size());
            line = m_strLine;
            limit = nullptr;
        }
        std::string_view mirrored;
        count += MirrorLineInto(line, mode, mirrored, limit);
        if (m_bCheckLine)
            m_check.CheckLine(lineNo, read, planeBefore);
        if (carriageReturns) {
            read = WithCarriageReturn(read, m_strReadEnded);
            mirrored = WithCarriageReturn(mirrored, m_strMirroredEnded);
        }
        if (sink && !sink->Line(read, mirrored))
            return kMirrorDestinationError;
    }
    // A source still being written (a post-processor) gives no output.
    if (reader.Failed() || !reader.CheckUnchanged())
        return SourceFailed(reader);

    // 6. Calls of programs the file never defined are known only now.
    m_check.End();
    return count;
}
