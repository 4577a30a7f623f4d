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

CNcMirror::CNcMirror() : m_nSpaced(-1), m_nFormatCount(-1), m_pDiagnostics(stderr) {}

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

long long CNcMirror::Mirror(const char* source, const char* destination, int mode)
{
    // 1. The mode decides the letters and the swaps.
    m_failure = MirrorFailure();
    const MirrorMode* pMode = FindMirrorMode(mode);
    if (!pMode)
        return kMirrorModeError;

    // 2. The source must be a readable regular file.
    LineReader reader;
    if (!reader.Open(source)) {
        ReportUnreadable(source);
        return SourceFailed(reader);
    }

    // 3. The destination must be writable; its old content stays until the
    //    whole run has succeeded.
    SafeOutput output;
    if (!output.Open(destination, m_outputOptions))
        return DestinationFailed(output);

    // 4. One pass decides the number format, over the same open file; it
    //    ends early at the first sign of free format. Lines that end in '\r'
    //    are written back so.
    m_nFormatCount = ScanLines(reader, true);
    if (m_nFormatCount < 0 || !reader.Rewind())
        return SourceFailed(reader);
    output.WriteCarriageReturns(reader.CarriageReturnLines());

    // 5. Line by line: rewrite what is not a skip line, normalise the end,
    //    write.
    long long count = 0;
    std::string_view read;
    while (reader.NextLine(read)) {
        CopyLine(m_strLine, read.data(), read.size());
        std::string_view mirrored;
        count += MirrorLineInto(m_strLine, *pMode, mirrored);
        if (!output.Write(mirrored.data(), mirrored.size()))
            return DestinationFailed(output);
    }
    // A source still being written (a post-processor) gives no output.
    if (reader.Failed() || !reader.CheckUnchanged())
        return SourceFailed(reader);

    // 6. Release the source (it may be the destination itself), then put the
    //    new program in place.
    reader.Close();
    if (!output.Commit())
        return DestinationFailed(output);
    return count;
}
