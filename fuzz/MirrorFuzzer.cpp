// libFuzzer targets over the mirror engine and its toolpath. The first
// input byte picks the mode (its value modulo 5; 0 and 4 are invalid modes),
// what to mirror about (bits 4 to 6: the axes or one of three positions) and
// what else to do (bit 3: the format of the line checks, or the picture;
// bit 7: the written output read back); the rest is a program, written to a
// real file. One program built three times, each target mirroring every
// input once (the toolpath's read-back twice) and holding the run to its own
// part of the invariants:
//   mirror: the run into a file (the buffer sweep and its fast path):
//   - invalid modes give the mode error and create nothing; a run about a
//     position fails only where a fixed-width word does not fit, and then
//     writes nothing;
//   - the count is never negative and no temporary file is left behind;
//   - the output has exactly as many lines as the source;
//   - skip lines, and lines without the mode's letters and without G words,
//     come out with only their end normalised;
//   - every rewrite touches value bytes only (digits, blanks, signs, point);
//   - every line, and the count, equal what the public line operations give
//     when applied one after the other in the mode's order, the arc plane
//     (and about a position the distance modes) carried from line to line;
//   - the format scan gives the run's format;
//   and the line operations on the program's first line: the engine prints
//   every negated value exactly as the C library's snprintf does, its end
//   normalisation matches an independent one, and rewrites and swaps touch
//   value bytes only.
//   check: the run into a file about the axes, as above up to the lines:
//   its findings equal those of the check applied to every line.
//   toolpath: the run into a sink hands on every line to the proof, whose
//   findings lie on lines of the file; read back, the run into a file
//   writes the same bytes and count, and the proof of the written file
//   reads both files in step and finds what the proof of the run found; the
//   picture is a whole SVG document of XML characters only, of a positive
//   size.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "FuzzFiles.h"
#include "LineOperations.h"
#include "PositionWords.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "ProgramLines.h"
#include "ToolpathRun.h"

namespace {

// Stops the run with a readable reason; libFuzzer keeps the input.
void Require(bool condition, const char* what, std::size_t line = 0)
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s (line %zu)\n", what, line);
    std::abort();
}

// Letters the mode rewrites in a program of the given format.
const char* LettersOf(int mode, bool fixedWidth)
{
    const MirrorMode* entry = FindMirrorMode(mode);
    return fixedWidth ? entry->fixedLetters : entry->freeLetters;
}

// Findings of the check applied to every line of the program, without the
// sweep's choice of lines.
CMirrorFindings FindingsOfEveryLine(const std::vector<std::string>& lines, int mode, bool fixedWidth)
{
    CMirrorCheck check;
    check.Begin(*FindMirrorMode(mode), fixedWidth);
    int plane = kPlaneXY;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        check.CheckLine(static_cast<long long>(i + 1), lines[i], plane);
        if (!fuzzcheck::IsSkipLine(lines[i]))
            plane = SelectedPlane(lines[i], plane);
    }
    check.End();
    return check.Findings();
}

bool SameFindings(const CMirrorFindings& a, const CMirrorFindings& b)
{
    if (a.Total() != b.Total() || a.List().size() != b.List().size())
        return false;
    for (std::size_t i = 0; i < a.List().size(); ++i)
        if (a.List()[i].line != b.List()[i].line || a.List()[i].code != b.List()[i].code ||
            a.List()[i].word != b.List()[i].word)
            return false;
    return true;
}

// What a target holds a run to: its bytes and count against the operations
// one by one (mirror), its findings against the check of every line
// (check), the proof and the picture of its output (toolpath).
enum class Part { Bytes, Findings, Toolpath };

#if NCM_FUZZ_TARGET == 2
constexpr Part kTarget = Part::Findings;
#elif NCM_FUZZ_TARGET == 3
constexpr Part kTarget = Part::Toolpath;
#else
constexpr Part kTarget = Part::Bytes;
#endif

// The process's folder, made once: the fuzz input as the source, and the
// one output of the run beside it.
struct FuzzPaths {
    FuzzFolder folder;
    std::string source = folder / "program.nc";
    std::string destination = folder / "program_m.nc";
};

const FuzzPaths& Paths()
{
    static const FuzzPaths paths;
    return paths;
}

// What a run mirrors about: the axes (0), or one of three positions (x, y).
const char* const kPositions[4][2] = {{"", ""}, {"40", "-2.5"}, {"0.125", "10"}, {"-99999.75", "0"}};

// The position an input asks for by its first byte: with bit 6 set, bits 4
// and 5 pick it (0: the axes); without, the axes.
int PositionOf(std::uint8_t first) { return (first & 0x40) ? (first >> 4) & 3 : 0; }

// A program without '\n' whose lines end in '\r' reads, and is written, as
// if each '\r' were a '\n'.
bool CarriageReturnLines(const std::string& program)
{
    return program.find('\n') == std::string::npos && program.find('\r') != std::string::npos;
}

std::vector<std::string> LinesAsRead(const std::string& bytes, bool crLines)
{
    return fuzzcheck::SplitLines(crLines ? fuzzcheck::CarriageReturnsAsLineFeeds(bytes) : bytes);
}

// Every line and the count against the operations one by one.
void CheckMirroredLines(const std::vector<std::string>& in, const std::vector<std::string>& out, int mode,
                        bool fixedWidth, long long count)
{
    const char* letters = LettersOf(mode, fixedWidth);
    long long stepwiseCount = 0;
    int plane = kPlaneXY;  // carried from line to line, as the run does
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::string expectedEnd = fuzzcheck::EndNormalised(in[i]);
        if (fuzzcheck::IsSkipLine(in[i])) {
            Require(out[i] == expectedEnd, "skip line has only its end normalised", i + 1);
            std::string skipped = in[i];
            MirrorLineByOperations(skipped, *FindMirrorMode(mode), fixedWidth, plane);
            continue;
        }
        if (!fuzzcheck::HoldsAnyOf(in[i], letters) && !fuzzcheck::HoldsAnyOf(in[i], "G"))
            Require(out[i] == expectedEnd, "line without words has only its end normalised", i + 1);
        Require(fuzzcheck::Skeleton(out[i]) == fuzzcheck::Skeleton(in[i]), "only value bytes change", i + 1);
        std::string stepwise = in[i];
        stepwiseCount += MirrorLineByOperations(stepwise, *FindMirrorMode(mode), fixedWidth, plane);
        Require(out[i] == stepwise, "line equals the operations one by one", i + 1);
    }
    Require(count == stepwiseCount, "count equals the operations' counts");
}

// The mirror about a position: every line equals what the step operations
// write, their modal state carried from line to line.
void CheckPositionedLines(const std::vector<std::string>& in, const std::vector<std::string>& out, int mode,
                          const char* const position[2], bool fixedWidth)
{
    MirrorPosition at;
    ParsePositionText(position[0], at.x);
    ParsePositionText(position[1], at.y);
    int plane = kPlaneXY;
    PositionState state;
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::string expected = in[i];
        PositionNotes notes;
        MirrorLineByOperations(expected, *FindMirrorMode(mode), fixedWidth, plane, state, at, notes);
        Require(out[i] == expected, "a positioned line equals the operations one by one", i + 1);
    }
}

// The bytes a run gave for the program: as many lines, each (and the count)
// what the line operations give one after the other, about the axes or the
// position `which`.
void CheckOutputBytes(const std::string& program, const std::string& output, int mode, int which,
                      bool fixedWidth, long long count)
{
    const bool crLines = CarriageReturnLines(program);
    Require(!crLines || output.find('\n') == std::string::npos, "lines ending in '\\r' stay so");
    const auto in = LinesAsRead(program, crLines);
    const auto out = LinesAsRead(output, crLines);
    Require(in.size() == out.size(), "same number of lines");
    if (which == 0)
        CheckMirroredLines(in, out, mode, fixedWidth, count);
    else
        CheckPositionedLines(in, out, mode, kPositions[which], fixedWidth);
}

// A run about a position may fail only where a fixed-width word does not fit.
bool Succeeded(const CNcMirror& mirror, int which, long long count)
{
    if (which != 0 && count == kMirrorPositionError) {
        Require(mirror.FormatCount() == 0, "only a fixed-width word does not fit");
        return false;
    }
    Require(count >= 0, which == 0 ? "count is not negative" : "a positioned run succeeds or does not fit");
    return true;
}

// The run into a file (the buffer sweep) of the source, about the axes or
// the position `which`: invalid modes give the mode error and create no
// file, a failed run writes nothing, a run that succeeded leaves its output
// and no temporary file beside it. Held to the bytes and the count (mirror)
// or to the findings (check).
void CheckFileRun(const std::string& program, int mode, int which, Part part)
{
    const FuzzPaths& paths = Paths();
    std::remove(paths.destination.c_str());
    CNcMirror mirror;
    mirror.SetDiagnosticStream(nullptr);
    if (which != 0)
        Require(mirror.SetPosition(kPositions[which][0], kPositions[which][1]), "the position is a number");
    const long long count = mirror.Mirror(paths.source.c_str(), paths.destination.c_str(), mode);
    if (!FindMirrorMode(mode)) {
        Require(count == kMirrorModeError, "invalid mode gives the mode error");
        Require(paths.folder.Names().size() == 1, "invalid mode creates no file");
        return;
    }
    if (!Succeeded(mirror, which, count)) {
        Require(paths.folder.Names().size() == 1, "a failed run writes nothing");
        return;
    }
    Require(paths.folder.Names().size() == 2, "only source and destination remain");

    static std::string output;  // its room kept from input to input
    Require(ReadBytes(paths.destination, output), "destination readable");
    const bool fixedWidth = mirror.FormatCount() == 0;
    if (part == Part::Bytes) {
        CheckOutputBytes(program, output, mode, which, fixedWidth, count);
        Require((mirror.ScanFormat(paths.source.c_str()) == 0) == fixedWidth, "scan agrees with the run");
        return;
    }

    // The check only reads: the same findings as the check of every line,
    // each on a line of the file.
    const bool crLines = CarriageReturnLines(program);
    const auto in = LinesAsRead(program, crLines);
    Require(in.size() == fuzzcheck::CountLines(output, crLines), "same number of lines");
    const CMirrorFindings& findings = mirror.GetFindings();
    Require(SameFindings(findings, FindingsOfEveryLine(in, mode, fixedWidth)),
            "the sweep hands every line with a finding to the check");
    for (const MirrorFinding& f : findings.List())
        Require(f.line >= 1 && f.line <= static_cast<long long>(in.size()), "finding on a line of the file");
}

// Hands the lines of a run on to the proof and keeps the mirrored bytes, as
// a run into a file writes them.
class CKeepingSink final : public CMirrorSink {
public:
    CKeepingSink(CMirrorSink& next, std::string& bytes) : m_next(next), m_bytes(bytes) {}
    void BeginLines(int formatCount) override { m_next.BeginLines(formatCount); }
    bool Line(std::string_view source, std::string_view mirrored) override
    {
        ++m_nLines;
        m_bytes.append(mirrored.data(), mirrored.size());
        return m_next.Line(source, mirrored);
    }
    long long Lines() const { return m_nLines; }

private:
    CMirrorSink& m_next;
    std::string& m_bytes;
    long long m_nLines = 0;
};

// The toolpath of a mirror about the axes or the position `which`, as
// ncmirror proves it. Every run is the engine's run into a sink, which hands
// on every line to the proof of the run (ncmirror --check); its findings lie
// on lines of the file. With `written` (ncmirror --verify), the run into a
// file writes the same bytes and count beside it, and the proof of the
// written file reads both files in step and finds what the proof of the
// run found. With `picture`, the picture (of the files read when written,
// else of the run) is a whole SVG document of XML characters only, of a
// positive size.
void CheckToolpath(const std::string& program, int mode, int which, bool written, bool picture)
{
    const FuzzPaths& paths = Paths();
    CNcMirror mirror;
    mirror.SetDiagnosticStream(nullptr);
    if (which != 0)
        Require(mirror.SetPosition(kPositions[which][0], kPositions[which][1]), "the position is a number");
    const MirrorMode* entry = FindMirrorMode(mode);
    if (!entry) {
        Require(mirror.MirrorToSink(paths.source.c_str(), nullptr, mode) == kMirrorModeError,
                "invalid mode gives the mode error");
        return;
    }
    CToolpathRun run(*entry, true, picture && !written);
    if (which != 0)
        run.SetPosition(kPositions[which][0], kPositions[which][1]);
    static std::string output, fileOutput;  // their room kept from input to input
    output.clear();
    CKeepingSink sink(*run.Sink(), output);
    const long long count = mirror.MirrorToSink(paths.source.c_str(), &sink, mode);
    if (!Succeeded(mirror, which, count))
        return;
    const long long lines = static_cast<long long>(fuzzcheck::CountLines(program, CarriageReturnLines(program)));
    Require(sink.Lines() == lines, "the run hands on every line");
    // A finding of the proof about a position may name the line after the last.
    const long long lastLine = lines + (which != 0);
    const CMirrorFindings fromRun = run.Findings(CMirrorFindings());
    for (const MirrorFinding& f : fromRun.List())
        Require(f.line >= 1 && f.line <= lastLine, "proof finding on a line of the file");

    std::optional<CToolpathRun> read;
    if (written) {
        const bool fixedWidth = mirror.FormatCount() == 0;
        const long long fileCount = mirror.Mirror(paths.source.c_str(), paths.destination.c_str(), mode);
        Require(fileCount == count && (mirror.FormatCount() == 0) == fixedWidth,
                "the file run counts as the sink run");
        Require(ReadBytes(paths.destination, fileOutput) && fileOutput == output,
                "the file run writes the sink run's bytes");
        read.emplace(*entry, true, picture);
        if (which != 0)
            read->SetPosition(kPositions[which][0], kPositions[which][1]);
        Require(read->ReadWritten(paths.source.c_str(), paths.destination.c_str()) == kPairRead,
                "both files read in step");
        Require(SameFindings(read->Findings(CMirrorFindings()), fromRun),
                "the proof of the written file equals that of the run");
    }
    if (!picture)
        return;

    const std::string svg = (read ? *read : run).PictureText("program.nc", "program_m.nc");
    Require(svg.rfind("<?xml", 0) == 0 && svg.size() > 14 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0,
            "the picture is a whole SVG document");
    Require(std::none_of(svg.begin(), svg.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t'; }),
            "the picture holds XML characters only");
    int width = 0, height = 0;
    const std::size_t root = svg.find("<svg ");
    Require(root != std::string::npos &&
                std::sscanf(svg.c_str() + root, "<svg %*s %*s width=\"%d\" height=\"%d\"", &width, &height) == 2 &&
                width > 0 && height > 0,
            "the picture has a positive size");
}

void CheckLineOperations(const std::string& program, bool fixedWidth)
{
    const std::string line = fuzzcheck::FirstLine(program);
    // End normalisation against the independent reading.
    std::string trimmed = line;
    TrimLineEnd(trimmed);
    Require(trimmed == fuzzcheck::EndNormalised(line), "TrimLineEnd matches the line-end rule");

    // Every word's negation, printed as snprintf prints it.
    for (const char letter : {'X', 'Y', 'I', 'J', 'G', 'Z'}) {
        std::string value;
        if (GetWord(line, letter, value) == 0)
            continue;
        std::string engine = value;
        std::string reference;
        const bool hasNumber = fuzzcheck::PrintfNegated(value, fixedWidth, reference);
        const int result = ScaleValue(-1.0f, engine, fixedWidth);
        Require((result == 0) == hasNumber, "ScaleValue finds a number exactly when strtod does");
        Require(hasNumber ? engine == reference : engine == value, "negated value printed as snprintf prints it");
    }

    // Rewrites and swaps touch value bytes only, and count sensibly.
    std::string scaled = line;
    const int words = ScaleWords(scaled, -1.0f, "XYIJ", fixedWidth);
    Require(words >= 0 && words <= 4, "ScaleWords counts at most one word per letter");
    Require(fuzzcheck::Skeleton(scaled) == fuzzcheck::Skeleton(line), "ScaleWords touches value bytes only");
    for (const int type : {kSwapArcDirection, kSwapCompensationFree, kSwapCompensationFixed}) {
        std::string swapped = line;
        Require(SwapMotionCodes(swapped, type) >= 0, "swap count is not negative");
        Require(fuzzcheck::Skeleton(swapped) == fuzzcheck::Skeleton(line), "swaps touch value bytes only");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte: the mode (its value modulo 5; 0 and 4 are invalid),
    // bit 3 the format of the line operations (mirror) or whether to draw
    // the picture (toolpath), bits 4 to 6 what to mirror about (PositionOf),
    // bit 7 whether the output is written and read back (toolpath). The rest
    // is the program, written once as the source.
    const int mode = data[0] % 5;
    const std::string program(reinterpret_cast<const char*>(data) + 1, size - 1);
    Require(WriteBytes(Paths().source, program), "fuzz input written");
    // Each target holds the run to its own part of the invariants.
    if (kTarget == Part::Findings) {
        CheckFileRun(program, mode, 0, Part::Findings);
    } else if (kTarget == Part::Toolpath) {
        CheckToolpath(program, mode, PositionOf(data[0]), (data[0] & 0x80) != 0, (data[0] & 8) != 0);
    } else {
        CheckLineOperations(program, (data[0] & 8) != 0);
        CheckFileRun(program, mode, PositionOf(data[0]), Part::Bytes);
    }
    return 0;
}
