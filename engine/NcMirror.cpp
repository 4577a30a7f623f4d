#include "NcMirror.h"

#include "FileRun.h"
#include "LineReader.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "SinkRun.h"

const MirrorMode* CNcMirror::StartRun(int mode)
{
    m_failure = MirrorFailure();
    m_nFormatCount = -1;
    m_step = CLineStep();
    const MirrorMode* pMode = FindMirrorMode(mode);
    if (pMode)
        m_step.Begin(*pMode, true);
    return pMode;
}

void CNcMirror::ReportUnreadable(const char* path) const
{
    if (m_pDiagnostics)
        std::fputs(FormatMirrorMessage(MirrorMessage::CannotRead, path ? path : "").c_str(), m_pDiagnostics);
}

bool CNcMirror::SetPosition(const char* x, const char* y)
{
    MirrorPosition position;
    if (!ParsePositionText(x, position.x) || !ParsePositionText(y, position.y))
        return false;
    m_position = position;
    return true;
}

int CNcMirror::ScanFormat(const char* path)
{
    m_failure = MirrorFailure();
    LineReader reader;
    if (!reader.Open(path)) {
        ReportUnreadable(path);
        m_failure = reader.Failure();
        return -1;
    }
    const int count = ScanFormatMarks(reader, false);
    if (count < 0)
        m_failure = reader.Failure();
    return count;
}

long long CNcMirror::OpenRun(const char* source, int mode, LineReader& reader, const MirrorMode*& pMode)
{
    // 1. The mode decides the letters and the swaps.
    pMode = StartRun(mode);
    if (!pMode)
        return kMirrorModeError;

    // 2. The source must be a readable regular file.
    if (!reader.Open(source)) {
        ReportUnreadable(source);
        m_failure = reader.Failure();
        return kMirrorSourceError;
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
    if (!output.Open(destination, m_outputOptions)) {
        m_failure = output.Failure();
        return kMirrorDestinationError;
    }

    // 4. to 6. Mirror and check every line into the temporary file, read
    //    once over whole buffers.
    const long long count = CFileRun(reader, output, m_step, observer).Run(*pMode, m_position, m_nFormatCount);
    if (count == kMirrorSourceError)
        m_failure = reader.Failure();
    if (count == kMirrorPositionError)
        m_failure = m_step.Failure();
    if (count == kMirrorDestinationError)
        m_failure = output.Failure();
    if (count < 0)
        return count;
    if (m_bStrict && (!m_step.Findings().Empty() || (observer && observer->Refuses())))
        return kMirrorRefusedByCheck;

    // 7. Release the source (it may be the destination itself), then put the
    //    new program in place.
    reader.Close();
    if (!output.Commit()) {
        m_failure = output.Failure();
        return kMirrorDestinationError;
    }
    return count;
}

long long CNcMirror::MirrorToSink(const char* source, CMirrorSink* sink, int mode)
{
    LineReader reader;
    const MirrorMode* pMode = nullptr;
    if (const long long opened = OpenRun(source, mode, reader, pMode); opened < 0)
        return opened;
    const long long count = MirrorToSinkLines(reader, *pMode, m_position, m_step, sink, m_nFormatCount);
    if (count == kMirrorSourceError)
        m_failure = reader.Failure();
    if (count == kMirrorPositionError)
        m_failure = m_step.Failure();
    return count;
}
