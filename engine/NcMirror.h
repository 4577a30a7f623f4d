// CNcMirror: mirrors an NC part program about the X axis, the Y axis or the
// origin, keeping the program's own number format.
//
// The engine never throws and never talks to the user: Mirror returns the
// number of words it rewrote, or one of the negative result codes below.
#pragma once

#include "MirrorCheck.h"
#include "MirrorFailure.h"
#include "SafeOutput.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

struct MirrorMode;

// Results of CNcMirror::Mirror below zero.
enum : long long {
    kMirrorSourceError = -1,       // the source cannot be opened or read
    kMirrorDestinationError = -2,  // the destination cannot be written
    kMirrorModeError = -3,         // the mode is not 1, 2 or 3
    kMirrorRefusedByCheck = -4,    // strict runs only: the check found something, nothing written
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

// Swap types of SwapMotionCodes: which pair of G numbers is exchanged.
enum : int {
    kSwapArcDirection = 1,         // G02 <-> G03
    kSwapCompensationFree = 2,     // G41 <-> G42, free-format programs
    kSwapCompensationFixed = 21,   // G42 <-> G43, fixed-width programs
};

class CNcMirror {
public:
    CNcMirror();
    virtual ~CNcMirror();

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

    // The findings of the last run, in the order of their lines.
    const CMirrorFindings& GetFindings() const { return m_check.Findings(); }

    // Strict runs write nothing when the check finds anything, or the
    // observer of the run refuses its lines: Mirror then returns
    // kMirrorRefusedByCheck and an existing destination stays.
    void SetStrict(bool strict) { m_bStrict = strict; }

    // Format count of a file: 0 = fixed-width format, more = free format,
    // -1 = the file cannot be read.
    int ScanFormat(const char* path);

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

    // Why the last run or ScanFormat failed; kind None after a success.
    const MirrorFailure& LastFailure() const { return m_failure; }

    // One line of the program rewritten as Mirror does it, in the format of
    // m_nFormatCount and the arc plane m_nPlane (which the line's plane
    // words change): a skip line only gets its end trimmed. The number of
    // words changed.
    int MirrorLine(std::string& line, const MirrorMode& mode);

    // MirrorLine as the public operations one after the other: the reference
    // that the one-sweep rewrite is held to.
    int MirrorLineByOperations(std::string& line, const MirrorMode& mode);

    // The arc plane after `line` (17, 18 or 19), starting from `plane`: the
    // last G17, G18 or G19 of a line whose first 'G' has a value text.
    static int SelectedPlane(std::string_view line, int plane);

    // --- Word scanner and line editing ------------------------------------
    // Value text after the first `letter` of the line; its length, 0 if none
    // (then `out` is left untouched).
    static std::size_t GetWord(const std::string& line, char letter, std::string& out);
    // Replaces the value text of the first `letter` by `value` (plus one
    // blank while m_nSpaced is 1).
    void SetWord(std::string& line, char letter, const std::string& value) const;
    // Strips trailing blanks and line-end characters of a line that holds a
    // blank and puts back the line's own end; 1 when it rewrote the line.
    static int TrimLineEnd(std::string& line);

    // --- Line rewriting ----------------------------------------------------
    // Multiplies the first word of each of `letters` by `factor`; the number
    // of words rewritten, -1 when `letters` is null or empty.
    int ScaleWords(std::string& line, float factor, const char* letters);
    // Multiplies the number in `value` and reprints it in its own style;
    // 0 on success, -1 (text unchanged) when the text holds no number.
    int ScaleValue(float factor, std::string& value);
    // Exchanges the G numbers of swap type `type`; the G words changed.
    static int SwapMotionCodes(std::string& line, int type);

    std::int32_t m_nSpaced;       // 1 while the line being rewritten holds a blank, else -1
    std::int32_t m_nFormatCount;  // result of the format scan: 0 = fixed width
    std::int32_t m_nPlane;        // arc plane in effect: 17 (XY), 18 (ZX), 19 (YZ)

private:
    void ReportUnreadable(const char* path) const;
    int ScanLines(class LineReader& reader, bool untilFree);
    // The mode of a run and its source opened; 0, or the run's result code.
    long long OpenRun(const char* source, int mode, class LineReader& reader, const MirrorMode*& pMode);
    // The run after its files are open: format scan, then every line
    // mirrored, checked and handed to `sink` (none: check only).
    long long RunLines(class LineReader& reader, const MirrorMode& mode, CMirrorSink* sink);
    // The same run into a file, reading the source once (BlockMirror.cpp).
    // An `observer` gets every line too; the format is then settled first,
    // since it must never see a line twice.
    long long RunToFile(class LineReader& reader, const MirrorMode& mode, class SafeOutput& output,
                        CMirrorSink* observer);
    // One pass over the source, plain lines written by the block sweep; with
    // `pointIsValue` false the format is still open.
    template <bool pointIsValue>
    long long MirrorBuffered(class LineReader& reader, const MirrorMode& mode, class SafeOutput& output,
                             CMirrorSink* observer);
    // One line through the line-by-line mirror and the check, written out.
    long long MirrorLineAside(std::string_view line, const char* limit, const MirrorMode& mode, long long lineNo,
                              bool open, bool carriageReturn, class SafeOutput& output, CMirrorSink* observer);
    // TrimLineEnd of a line known to hold a blank.
    static int TrimEndOfSpacedLine(std::string& line);
    // MirrorLine of the bytes of `line`, which must end in '\n' or be
    // followed by a NUL; the bytes up to `limit` (null: the line's last
    // byte or that NUL) may be read. `result` shows the mirrored bytes (the
    // line itself when nothing changes, else m_strWork) until the next line.
    int MirrorLineInto(std::string_view line, const MirrorMode& mode, std::string_view& result,
                       const char* limit = nullptr);
    // The reprinted product of the number in `value` into m_strPrinted;
    // false (m_strPrinted undefined) when the text holds no number.
    bool PrintScaled(float factor, std::string_view value);
    // The failure of `reader` or `output` as the run's result.
    long long SourceFailed(const class LineReader& reader);
    long long DestinationFailed(const SafeOutput& output);

    std::FILE* m_pDiagnostics;
    SafeOutputOptions m_outputOptions;
    MirrorFailure m_failure;
    bool m_bStrict = false;
    bool m_bCheckLine = false;  // the last line mirrored may hold a finding
    CMirrorCheck m_check;
    std::string m_strLine;     // the line being rewritten; keeps its capacity between lines
    std::string m_strPrinted;  // the reprinted number
    std::string m_strWork;     // the line being written with its changes
    std::string m_strReadEnded;      // a line read, and its mirror, with the '\r' end
    std::string m_strMirroredEnded;  // of a program whose lines end so
};
