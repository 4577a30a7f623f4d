// The mirror run: mode check, format scan, and the line-by-line copy that
// rewrites every line which is not a skip line.
#include "NcMirror.h"

#include "LineReader.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "SafeOutput.h"
#include "WordText.h"

#include <climits>

namespace {

// A line holding ';', '(', ')' or '$' (comments, messages, operator texts) is
// copied without rewriting.
bool IsSkipLine(const std::string& line)
{
    return line.find_first_of(";()$") != std::string::npos;
}

// Format evidence of one line: each coordinate word whose value text is not
// seven characters wide, and a '.' anywhere.
int FreeFormatMarks(const std::string& line)
{
    int marks = 0;
    std::size_t valuePos = 0;
    for (const char letter : {'X', 'Y', 'Z', 'I', 'J', 'K'}) {
        const std::size_t n = FindValueText(line, letter, valuePos);
        if (n > 0 && n != 7)
            ++marks;
    }
    if (line.find('.') != std::string::npos)
        ++marks;
    return marks;
}

}  // namespace

CNcMirror::CNcMirror() : m_nSpaced(-1), m_nFormatCount(-1), m_pDiagnostics(stderr) {}

CNcMirror::~CNcMirror() = default;

void CNcMirror::ReportUnreadable(const char* path) const
{
    if (m_pDiagnostics)
        std::fputs(FormatMirrorMessage(MirrorMessage::CannotRead, path ? path : "").c_str(), m_pDiagnostics);
}

int CNcMirror::ScanLines(LineReader& reader)
{
    // The count only tells fixed width (0) from free format (more); it stops
    // growing at INT_MAX so no file can wrap it round to zero.
    int count = 0;
    while (reader.ReadLine(m_strLine)) {
        const int marks = FreeFormatMarks(m_strLine);
        count = count > INT_MAX - marks ? INT_MAX : count + marks;
    }
    return reader.Failed() ? -1 : count;
}

int CNcMirror::ScanFormat(const char* path)
{
    LineReader reader;
    if (!reader.Open(path)) {
        ReportUnreadable(path);
        return -1;
    }
    return ScanLines(reader);
}

long long CNcMirror::Mirror(const char* source, const char* destination, int mode)
{
    // 1. The mode decides the letters and the swaps.
    const MirrorMode* pMode = FindMirrorMode(mode);
    if (!pMode)
        return kMirrorModeError;

    // 2. The source must be readable.
    LineReader reader;
    if (!reader.Open(source)) {
        ReportUnreadable(source);
        return kMirrorSourceError;
    }

    // 3. The destination must be writable; its old content stays until the
    //    whole run has succeeded.
    SafeOutput output;
    if (!output.Open(destination))
        return kMirrorDestinationError;

    // 4. One pass decides the number format, over the same open file.
    m_nFormatCount = ScanLines(reader);
    if (m_nFormatCount < 0 || !reader.Rewind())
        return kMirrorSourceError;
    const bool fixedWidth = m_nFormatCount == 0;
    const char* letters = fixedWidth ? pMode->fixedLetters : pMode->freeLetters;
    const int compensationSwap = fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree;

    // 5. Line by line: rewrite what is not a skip line, normalise the end,
    //    write.
    long long count = 0;
    while (reader.ReadLine(m_strLine)) {
        if (!IsSkipLine(m_strLine)) {
            TrimLineEnd(m_strLine);
            if (pMode->swapsMotionCodes)
                count += SwapMotionCodes(m_strLine, kSwapArcDirection);
            count += ScaleWords(m_strLine, -1.0f, letters);
            if (pMode->swapsMotionCodes)
                count += SwapMotionCodes(m_strLine, compensationSwap);
        }
        TrimLineEnd(m_strLine);
        if (!output.Write(m_strLine.data(), m_strLine.size()))
            return kMirrorDestinationError;
    }
    if (reader.Failed())
        return kMirrorSourceError;

    // 6. Release the source (it may be the destination itself), then put the
    //    new program in place.
    reader.Close();
    if (!output.Commit())
        return kMirrorDestinationError;
    return count;
}
