// CNcMirror: mirrors an NC part program about the X axis, the Y axis or the
// origin, keeping the program's own number format. The facade of the
// engine: its options, the two runs (into a file, into a sink), the format
// scan, and what the last run found and why it failed.
//
// The engine never throws and never talks to the user: Mirror returns the
// number of words it rewrote, or one of the negative result codes below.
#pragma once

#include "LineStep.h"
#include "MirrorFailure.h"
#include "SafeOutput.h"

#include <cstdio>
#include <string_view>

// Results of CNcMirror::Mirror below zero.
enum : long long {
    kMirrorSourceError = -1,       // the source cannot be opened or read
    kMirrorDestinationError = -2,  // the destination cannot be written
    kMirrorModeError = -3,         // the mode is not 1, 2 or 3
    kMirrorRefusedByCheck = -4,    // strict runs only: the check found something, nothing written
    kMirrorPositionError = -5,     // a word mirrored about the position does not fit the fixed-width format
};

// Receives a mirrored program line by line, for runs that write no file of
// their own (standard output, a comparison in memory).
class CMirrorSink {
public:
    virtual ~CMirrorSink() = default;
    // Before the first line: the program's format count (0 = fixed width).
    virtual void BeginLines(int /*formatCount*/) {}
    // One line of the source as read and its mirrored bytes; false stops the
    // run as a failure of the destination.
    virtual bool Line(std::string_view source, std::string_view mirrored) = 0;
    // After the last line of a run into a file, before its output is put in
    // place: true when what the observer saw (a tool path that is not the
    // reflection of the source's) must keep a strict run from writing.
    virtual bool Refuses() const { return false; }
};

class CNcMirror {
public:
    CNcMirror() = default;
    CNcMirror(const CNcMirror&) = delete;
    CNcMirror& operator=(const CNcMirror&) = delete;

    // Writes the mirror image of `source` to `destination` (paths in the
    // platform's narrow encoding). The output is built in a temporary file
    // beside the destination and moved over it only when the run succeeds.
    // An `observer` also gets every line as it is written; when it refuses
    // one, the run fails as the destination does.
    long long Mirror(const char* source, const char* destination, int mode, CMirrorSink* observer = nullptr);

    // The same run, its lines handed to `sink` instead of a file; with a
    // null sink only the check runs. Results as Mirror's (-2: the sink
    // refused a line).
    long long MirrorToSink(const char* source, CMirrorSink* sink, int mode);

    // Format count of a file: 0 = fixed-width format, more = free format,
    // -1 = the file cannot be read.
    int ScanFormat(const char* path);

    // The findings of the last run, in the order of their lines.
    const CMirrorFindings& GetFindings() const { return m_step.Findings(); }
    // The format count of the last run (0 = fixed width): up to its first
    // mark of free format, which is all the rewriting reads.
    int FormatCount() const { return m_nFormatCount; }
    // Why the last run or ScanFormat failed; kind None after a success.
    const MirrorFailure& LastFailure() const { return m_failure; }

    // The mirror position, decimal text in the program's units (fixed
    // width: its integer units): the line x = `x` (modes 2 and 3) and y = `y`
    // (modes 1 and 3); empty or null is 0, the axis itself. False (and the
    // position as before) when either text is not a number.
    bool SetPosition(const char* x, const char* y);

    // Strict runs write nothing when the check finds anything, or the
    // observer of the run refuses its lines: Mirror then returns
    // kMirrorRefusedByCheck and an existing destination stays.
    void SetStrict(bool strict) { m_bStrict = strict; }
    // Where the engine's one diagnostic line (source cannot be opened) goes;
    // standard error unless changed, nowhere when null.
    void SetDiagnosticStream(std::FILE* stream) { m_pDiagnostics = stream; }
    // How Mirror writes. By default it replaces an existing destination; a
    // front end that has not chosen to replace sets false, and then a
    // destination that exists, or appears during the run, fails the run (-2,
    // OutputExists) and stays as it is.
    void SetReplaceExisting(bool replace) { m_outputOptions.bReplace = replace; }
    // True: the output reaches the disk before it is moved into place, and
    // the move too (slower; off by default).
    void SetSync(bool sync) { m_outputOptions.bSync = sync; }
    // Who learns of the run's temporary file (none by default).
    void SetTempFileObserver(CTempFileObserver* observer) { m_outputOptions.pObserver = observer; }

private:
    // Every run starts here: no finding, failure or format of an earlier
    // run stays readable. The mode by its number, or null.
    const MirrorMode* StartRun(int mode);
    // The run started and its source opened: 0 and the mode, or the run's
    // result code.
    long long OpenRun(const char* source, int mode, class LineReader& reader, const MirrorMode*& pMode);
    void ReportUnreadable(const char* path) const;

    std::FILE* m_pDiagnostics = stderr;
    SafeOutputOptions m_outputOptions;
    bool m_bStrict = false;
    MirrorFailure m_failure;
    int m_nFormatCount = -1;
    MirrorPosition m_position;
    CLineStep m_step;
};
