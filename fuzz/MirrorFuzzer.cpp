// libFuzzer target over the mirror engine. The first input byte picks the
// mode (0 and 4 are invalid modes) and the format of the line checks; the
// rest is a program, mirrored through real files and checked line by line:
//   - invalid modes give the mode error and create nothing;
//   - the count is never negative and no temporary file is left behind;
//   - the output has exactly as many lines as the source;
//   - skip lines, and lines without the mode's letters and without G words,
//     come out with only their end normalised;
//   - every rewrite touches value bytes only (digits, blanks, signs, point);
//   - every line, and the count, equal what the public line operations give
//     when applied one after the other in the mode's order, the arc plane
//     carried from line to line;
//   - the run's findings equal those of the check applied to every line;
//   - the toolpath proof of the written file finds what the proof of the
//     run's own lines finds, on lines of the file, and its picture is a
//     whole SVG document of XML characters only, of a positive size;
// and the line operations on the program's first line: the engine prints
// every negated value exactly as the C library's snprintf does, and its end
// normalisation matches an independent one.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzFiles.h"
#include "LineOperations.h"
#include "NumberText.h"
#include "PositionWords.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "ProgramLines.h"
#include "SvgPicture.h"
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

void CheckToolpath(const std::string& source, const std::string& destination, int mode, std::size_t lines)
{
    const MirrorMode& entry = *FindMirrorMode(mode);
    CToolpathRun written(entry, true, true);
    Require(written.ReadWritten(source.c_str(), destination.c_str()) == kPairRead, "both files read in step");
    const CMirrorFindings fromFile = written.Findings(CMirrorFindings());
    for (const MirrorFinding& f : fromFile.List())
        Require(f.line >= 1 && f.line <= static_cast<long long>(lines), "proof finding on a line of the file");

    CToolpathRun run(entry, true, false);
    CNcMirror mirror;
    mirror.SetDiagnosticStream(nullptr);
    Require(mirror.MirrorToSink(source.c_str(), run.Sink(), mode) >= 0, "the run hands its lines on");
    Require(SameFindings(run.Findings(CMirrorFindings()), fromFile), "the proof of the run equals that of the file");

    const std::string svg = written.PictureText("program.nc", "program_m.nc");
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

// What a target holds a run to, as bits: its bytes and count against the
// operations one by one, its findings against the check of every line, the
// proof and the picture of its output.
enum : unsigned { kBytes = 1, kFindings = 2, kToolpath = 4 };

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

void CheckMirrorRun(const std::string& program, int mode, unsigned parts)
{
    static const FuzzFolder folder;
    const std::string source = folder / "program.nc";
    const std::string destination = folder / "program_m.nc";
    std::remove(destination.c_str());
    Require(WriteBytes(source, program), "fuzz input written");

    CNcMirror mirror;
    mirror.SetDiagnosticStream(nullptr);
    const long long count = mirror.Mirror(source.c_str(), destination.c_str(), mode);

    if (!FindMirrorMode(mode)) {
        Require(count == kMirrorModeError, "invalid mode gives the mode error");
        Require(folder.Names().size() == 1, "invalid mode creates no file");
        return;
    }
    Require(count >= 0, "count is not negative");
    Require(folder.Names().size() == 2, "only source and destination remain");

    std::string output;
    Require(ReadBytes(destination, output), "destination readable");
    // A program without '\n' whose lines end in '\r' reads, and is written,
    // as if each '\r' were a '\n'.
    const bool crLines = program.find('\n') == std::string::npos && program.find('\r') != std::string::npos;
    Require(!crLines || output.find('\n') == std::string::npos, "lines ending in '\\r' stay so");
    const auto in = fuzzcheck::SplitLines(crLines ? fuzzcheck::CarriageReturnsAsLineFeeds(program) : program);
    const auto out = fuzzcheck::SplitLines(crLines ? fuzzcheck::CarriageReturnsAsLineFeeds(output) : output);
    Require(in.size() == out.size(), "same number of lines");

    const bool fixedWidth = mirror.FormatCount() == 0;
    if (parts & kBytes)
        CheckMirroredLines(in, out, mode, fixedWidth, count);

    // The check only reads: the same findings as the check of every line,
    // each on a line of the file.
    if (parts & kFindings) {
        const CMirrorFindings& findings = mirror.GetFindings();
        Require(SameFindings(findings, FindingsOfEveryLine(in, mode, fixedWidth)),
                "the sweep hands every line with a finding to the check");
        for (const MirrorFinding& f : findings.List())
            Require(f.line >= 1 && f.line <= static_cast<long long>(in.size()), "finding on a line of the file");
    }
    if (parts & kToolpath)
        CheckToolpath(source, destination, mode, in.size());
    if (parts & kBytes)
        Require((mirror.ScanFormat(source.c_str()) == 0) == fixedWidth, "scan agrees with the run");
}


void CheckLineOperations(const std::string& program, bool fixedWidth)
{
    const std::string line = fuzzcheck::SplitLines(program).empty() ? std::string()
                                                                     : fuzzcheck::SplitLines(program).front();
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

// The buffer sweep's fast path about a position writes what the step
// operations write, line by line.
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

// The mirror about a position: a run that fails writes nothing (only a
// fixed-width word that does not fit may fail it), one that succeeds keeps
// the number of lines, and the proof of its written output reads both files
// in step with findings on lines of the file.
void CheckPositionedRun(const std::string& program, int mode, int which, unsigned parts)
{
    static const FuzzFolder folder;
    const char* const positions[][2] = {{"", ""}, {"40", "-2.5"}, {"0.125", "10"}, {"-99999.75", "0"}};
    const std::string source = folder / "program.nc";
    const std::string destination = folder / "program_p.nc";
    std::remove(destination.c_str());
    Require(WriteBytes(source, program), "fuzz input written");
    CNcMirror mirror;
    mirror.SetDiagnosticStream(nullptr);
    Require(mirror.SetPosition(positions[which][0], positions[which][1]), "the position is a number");
    const long long count = mirror.Mirror(source.c_str(), destination.c_str(), mode);
    if (!FindMirrorMode(mode))
        return;
    std::string output;
    if (count == kMirrorPositionError) {
        Require(mirror.FormatCount() == 0, "only a fixed-width word does not fit");
        Require(!ReadBytes(destination, output), "a failed run writes nothing");
        return;
    }
    Require(count >= 0, "a positioned run succeeds or does not fit");
    Require(ReadBytes(destination, output), "destination readable");
    const bool crLines = program.find('\n') == std::string::npos && program.find('\r') != std::string::npos;
    const auto in = fuzzcheck::SplitLines(crLines ? fuzzcheck::CarriageReturnsAsLineFeeds(program) : program);
    const auto out = fuzzcheck::SplitLines(crLines ? fuzzcheck::CarriageReturnsAsLineFeeds(output) : output);
    Require(in.size() == out.size(), "same number of lines about a position");
    if (parts & kBytes)
        CheckPositionedLines(in, out, mode, positions[which], mirror.FormatCount() == 0);
    if (!(parts & kToolpath))
        return;
    CToolpathRun written(*FindMirrorMode(mode), true, false);
    written.SetPosition(positions[which][0], positions[which][1]);
    Require(written.ReadWritten(source.c_str(), destination.c_str()) == kPairRead, "both files read in step");
    const CMirrorFindings findings = written.Findings(CMirrorFindings());
    for (const MirrorFinding& f : findings.List())
        Require(f.line >= 1 && f.line <= static_cast<long long>(in.size()) + 1, "proof finding on a line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // Each target holds the runs to its own part of the invariants:
    // mirror (the bytes; the default), check (the findings), toolpath (the
    // proof and the picture).
#if NCM_FUZZ_TARGET == 2
    const unsigned parts = kFindings;
#elif NCM_FUZZ_TARGET == 3
    const unsigned parts = kToolpath;
#else
    const unsigned parts = kBytes;
#endif
    const std::string program(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (parts & kBytes)
        CheckLineOperations(program, (data[0] & 8) != 0);
    CheckMirrorRun(program, data[0] % 5, parts);
    if ((data[0] & 0x30) && (parts & (kBytes | kToolpath)))
        CheckPositionedRun(program, data[0] % 5, (data[0] >> 4) & 3, parts);
    return 0;
}
