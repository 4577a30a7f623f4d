#include "MirrorPair.h"

#include "LineReader.h"
#include "FileSystem.h"
#include "FormatMarks.h"
#include "PathProof.h"
#include "ProgramAhead.h"
#include "ToolpathPicture.h"

#include <climits>

namespace {

// The program's format, read as the mirror reads it: fixed width when no
// line says otherwise. False when the file cannot be read.
bool ScanFixedWidth(LineReader& reader, bool& fixedWidth)
{
    std::string_view line;
    fixedWidth = true;
    while (fixedWidth && reader.NextLine(line))
        fixedWidth = FreeFormatMarks(line) == 0;
    return !reader.Failed() && reader.Rewind();
}

// The file opened and its format scanned, ready for its first line.
bool OpenProgram(const char* path, LineReader& reader, bool& fixedWidth)
{
    return reader.Open(path) && ScanFixedWidth(reader, fixedWidth);
}

}  // namespace

void CMirrorPairReader::Begin(bool sourceFixedWidth, bool outputFixedWidth)
{
    m_source.Begin(sourceFixedWidth);
    m_output.Begin(outputFixedWidth);
    m_nLines = 0;
    if (m_pPicture)
        m_pPicture->SetProgramUnits(sourceFixedWidth);
}

bool CMirrorPairReader::Line(std::string_view source, std::string_view mirrored)
{
    CToolpathReader::Parse(source, m_parsed);
    LineParsed(m_parsed, mirrored);
    return true;
}

void CMirrorPairReader::LineParsed(const ParsedLine& source, std::string_view mirrored)
{
    ++m_nLines;
    const LineMoves& a = m_source.Apply(source);
    if (m_pPicture)
        m_pPicture->Add(PictureLayer::Source, a);
    if (!m_bReadOutput)
        return;
    const LineMoves& b = m_output.ReadLine(mirrored);
    if (m_pPicture)
        m_pPicture->Add(PictureLayer::Mirror, b);
    if (m_pProof && !m_pProof->Compare(m_nLines, a, b))
        m_pProof->Resync(m_source, m_output);
}

bool CMirrorPairReader::Refuses() const { return m_pProof && !m_pProof->Findings().Empty(); }

namespace {

// The counts of lines of both files, and whether each was read whole.
struct StepCounts {
    long long sourceLines = 0, outputLines = 0;
    bool sourceFailed = false, outputFailed = false;
};

// The source's lines (`nextSource` takes the next) and the output's in
// step, each pair given to `give`; the longer file's other lines are
// counted, not read.
template <typename NextSource, typename Give>
void ReadInStep(NextSource nextSource, LineReader& outputReader, Give give, StepCounts& counts)
{
    std::string_view b;
    for (;;) {
        const bool hasA = nextSource();
        const bool hasB = outputReader.NextLine(b);
        counts.sourceLines += hasA;
        counts.outputLines += hasB;
        if (!hasA || !hasB)
            break;
        give(b);
    }
    while (nextSource())
        ++counts.sourceLines;
    while (outputReader.NextLine(b))
        ++counts.outputLines;
    counts.outputFailed = outputReader.Failed();
}

// Both files read on this thread, line by line.
int ReadAlone(const char* source, const char* output, CMirrorPairReader& pair, StepCounts& counts)
{
    LineReader sourceReader, outputReader;
    bool sourceFixed = false, outputFixed = false;
    if (!OpenProgram(source, sourceReader, sourceFixed))
        return kPairSourceUnreadable;
    if (!OpenProgram(output, outputReader, outputFixed))
        return kPairOutputUnreadable;
    pair.Begin(sourceFixed, outputFixed);
    std::string_view a;
    ReadInStep([&] { return sourceReader.NextLine(a); }, outputReader,
               [&](std::string_view b) { pair.Line(a, b); }, counts);
    counts.sourceFailed = sourceReader.Failed();
    return kPairRead;
}

// The source read and parsed ahead on a second thread, the output here.
int ReadWithSourceAhead(CProgramAhead& ahead, const char* output, CMirrorPairReader& pair, StepCounts& counts)
{
    LineReader outputReader;
    bool sourceFixed = false, outputFixed = false;
    const bool outputOpened = OpenProgram(output, outputReader, outputFixed);
    if (!ahead.Format(sourceFixed))
        return kPairSourceUnreadable;
    if (!outputOpened)
        return kPairOutputUnreadable;
    pair.Begin(sourceFixed, outputFixed);
    const ParsedLine* a = nullptr;
    ReadInStep([&] { return ahead.Next(a); }, outputReader, [&](std::string_view b) { pair.LineParsed(*a, b); },
               counts);
    counts.sourceFailed = ahead.Failed();
    return kPairRead;
}

// A source at least this large is parsed ahead on a second thread.
constexpr long long kReadAheadBytes = 1 << 20;

// The size of the file at `path`; -1 when it cannot be opened.
long long SizeOf(const char* path)
{
    NativeFile file;
    MirrorFailure failure;
    FileStamp stamp;
    return file.OpenForReading(path, failure) && file.Stamp(stamp) ? stamp.nSize : -1;
}

}  // namespace

int ReadFilesInStep(const char* source, const char* output, CMirrorPairReader& pair, CPathProof* proof)
{
    // The source's lines are parsed on a second thread where there is one
    // (they need nothing of the output's), unless the source is small
    // enough that starting the thread costs more than it saves.
    StepCounts counts;
    CProgramAhead ahead;
    const bool large = SizeOf(source) > kReadAheadBytes;
    const int result = large && ahead.Start(source) ? ReadWithSourceAhead(ahead, output, pair, counts)
                                                    : ReadAlone(source, output, pair, counts);
    if (result != kPairRead)
        return result;
    if (counts.sourceFailed)
        return kPairSourceUnreadable;
    if (counts.outputFailed)
        return kPairOutputUnreadable;
    if (proof)
        proof->CompareLineCounts(counts.sourceLines, counts.outputLines);
    return kPairRead;
}

bool ReadProgramPicture(const char* path, CToolpathPicture& picture, CReadProgress* progress)
{
    LineReader reader;
    bool fixedWidth = false;
    if (!OpenProgram(path, reader, fixedWidth))
        return false;
    CToolpathReader program;
    program.Begin(fixedWidth);
    picture.SetProgramUnits(fixedWidth);
    std::string_view line;
    while (reader.NextLine(line)) {
        picture.Add(PictureLayer::Source, program.ReadLine(line));
        if (progress && !progress->Read(line.size()))
            return false;
    }
    picture.Finish();
    return !reader.Failed();
}
