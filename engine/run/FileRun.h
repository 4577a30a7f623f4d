// The mirror run into a file, over whole read buffers. One sweep over the
// bytes that are not value texts finds the line ends and the words of each
// line (on a second thread for a large buffer); a plain line (G words that
// need nothing but an arc's swap, no skip character, nothing the check
// could find, a normal end) is written straight into the output buffer with
// its first X, Y, I or J words negated. Every other line goes aside, through the
// line step (the one-sweep mirror and the check), which gives the same
// bytes for plain lines too: the buffer sweep only decides which of the two
// writes a line.
//
// The source is read once: until the first sign of free format the run
// mirrors as fixed width, and at such a sign it starts over in free format
// (a program shows its format in its first coordinates, so the work thrown
// away is small). A run with an observer settles the format by a scan
// first, since the observer must see each line once.
#pragma once

#include "LineStep.h"
#include "ScanAhead.h"

class LineReader;
class SafeOutput;
class CMirrorSink;
struct BlockRules;
struct LineNotes;
class OutputRoom;
class CPlainCodes;

class CFileRun {
public:
    CFileRun(LineReader& reader, SafeOutput& output, CLineStep& step, CMirrorSink* observer)
        : m_reader(reader), m_output(output), m_step(step), m_pObserver(observer)
    {
    }

    // Mirrors and checks every line of the open source into the output. The
    // number of words changed, kMirrorSourceError (the reader says why) or
    // kMirrorDestinationError (the output, or the observer refused a line);
    // the format count in `formatCount`.
    long long Run(const MirrorMode& mode, const MirrorPosition& position, int& formatCount);

private:
    // One pass over the source; with `pointIsValue` false the format is
    // still open, and kStartOver says that free format showed.
    template <bool pointIsValue>
    long long Pass(const BlockRules& rules);
    // The lines that end in the buffer [begin, end): the end of the last one.
    template <bool pointIsValue>
    const char* SweepBuffer(const BlockRules& rules, const char* begin, const char* end, OutputRoom& room,
                            long long& count);
    // SweepBuffer with the scan on the second thread.
    template <bool pointIsValue>
    const char* SweepAhead(const BlockRules& rules, const char* begin, const char* end, OutputRoom& room,
                           long long& count);
    // One line of the buffer (which ends at `limit`), its notes settled:
    // written plain, or aside; false (m_nFailure says why) when the run
    // must stop.
    bool WriteLine(const BlockRules& rules, CPlainCodes& plainCodes, const char* line, const char* end,
                   const char* limit, LineNotes& notes, OutputRoom& room, long long& count);
    const MirrorPosition* m_pPosition = nullptr;
    // Line `lineNo` through the line step, written out.
    long long LineAside(std::string_view line, const char* limit, long long lineNo, bool open, bool carriageReturn);

    LineReader& m_reader;
    SafeOutput& m_output;
    CLineStep& m_step;
    CMirrorSink* m_pObserver;
    int m_nFormatCount = 0;
    long long m_nLineNo = 0;
    long long m_nFailure = 0;  // why SweepBuffer stopped: a line's result
    CScanAhead m_ahead;
};
