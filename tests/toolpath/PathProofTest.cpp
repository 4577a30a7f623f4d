// The proof of a mirror: silent on every program the mirror gets right, in
// every mode; one finding per wrong line when a mirror is broken by hand.
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"
#include "TestFiles.h"
#include "ToolpathRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Feeds two programs line by line (they have as many lines) to a proof.
CMirrorFindings Prove(const std::string& source, const std::string& output, int mode, long long* unread = nullptr)
{
    CPathProof proof(*FindMirrorMode(mode));
    CMirrorPairReader pair(&proof, nullptr);
    pair.Begin(false, false);
    for (std::size_t a = 0, b = 0; a < source.size() && b < output.size();) {
        const std::size_t na = source.find('\n', a) + 1, nb = output.find('\n', b) + 1;
        pair.Line(std::string_view(source).substr(a, na - a), std::string_view(output).substr(b, nb - b));
        a = na;
        b = nb;
    }
    if (unread)
        *unread = proof.UnreadLines();
    return proof.Findings();
}

std::string Listed(const CMirrorFindings& findings)
{
    std::string text;
    for (const MirrorFinding& finding : findings.List())
        text += FormatFindingForLog("out.nc", finding) + "\n";
    return text;
}

// The mirror's own run of a file with the proof reading its lines.
long long MismatchesOfMirror(const std::string& path, int mode)
{
    CToolpathRun run(*FindMirrorMode(mode), true, false);
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    EXPECT_GE(engine.MirrorToSink(path.c_str(), run.Sink(), mode), 0) << path;
    const CMirrorFindings findings = run.Findings(CMirrorFindings());
    for (const MirrorFinding& finding : findings.List())
        if (finding.code == FindingCode::PathMismatch)
            ADD_FAILURE() << FormatFindingForLog(path, finding);
    return findings.Count(FindingCode::PathMismatch);
}

}  // namespace

TEST(PathProof, FindsNothingOnTheExamplesAndGoldenProgramsInEveryMode)
{
    std::vector<std::string> files;
    for (const char* dir : {NCM_EXAMPLES_DIR, NCM_TEST_DATA_DIR "/golden"})
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".nc" || entry.path().extension() == ".up")
                files.push_back(entry.path().string());
    ASSERT_GE(files.size(), 12u);
    for (const std::string& file : files)
        for (int mode = 1; mode <= 3; ++mode)
            EXPECT_EQ(MismatchesOfMirror(file, mode), 0) << file << " mode " << mode;
}

struct BrokenCase {
    const char* name;
    int mode;
    const char* source;
    const char* output;   // the mirror image, right or broken by hand
    const char* findings; // as ncmirror prints them
};

const BrokenCase kBroken[] = {
    {"arc direction swapped back by hand", 2, "G0 X0 Y0\nG2 X10 Y0 I5 J0\n", "G0 X0 Y0\nG02 X-10 Y0 I-5 J0\n",
     "out.nc:2: предупреждение: траектория не совпадает с отражённой: ожидалось G03 X-10 Y0 центр X-5 Y0, "
     "в программе G02 X-10 Y0 центр X-5 Y0 [path-mismatch]\n"},
    {"right mirror", 2, "G0 X0 Y0\nG2 X10 Y0 I5 J0\n", "G0 X0 Y0\nG03X-10 Y0 I-5 J0\n", ""},
    {"a value rounded to fewer decimals than the source's", 2, "G1 X1.123456 Y0\n", "G1 X-1.123 Y0\n",
     "out.nc:1: предупреждение: траектория не совпадает с отражённой: ожидалось G01 X-1.1235 Y0, "
     "в программе G01 X-1.123 Y0 [path-mismatch]\n"},
    {"every decimal kept", 2, "G1 X1.123456 Y0\n", "G1 X-1.123456 Y0\n", ""},
    {"a value off by more than half a unit of its last decimal", 2, "G1 X1.123456 Y0\n", "G1 X-1.124 Y0\n",
     "out.nc:1: предупреждение: траектория не совпадает с отражённой: ожидалось G01 X-1.1235 Y0, "
     "в программе G01 X-1.124 Y0 [path-mismatch]\n"},
    {"a centre not reflected", 1, "G0 X0 Y0\nG3 X10 Y0 I5 J1\n", "G0 X0 Y-0\nG2 X10 Y0 I5 J1\n",
     "out.nc:2: предупреждение: траектория не совпадает с отражённой: ожидалось G02 X10 Y0 центр X5 Y-1, "
     "в программе G02 X10 Y0 центр X5 Y1 [path-mismatch]\n"},
    {"a radius changed", 3, "G0 X0 Y0\nG2 X10 Y0 R5\n", "G0 X0 Y0\nG2 X-10 Y0 R6\n",
     "out.nc:2: предупреждение: траектория не совпадает с отражённой: ожидалось G02 X-10 Y0 R5, "
     "в программе G02 X-10 Y0 R6 [path-mismatch]\n"},
    {"a move lost and a move added", 2, "G0 X0 Y0\nG1 X5\nM5\n", "G0 X0 Y0\nG1\nX1\n",
     "out.nc:2: предупреждение: траектория не совпадает с отражённой: ожидалось G01 X-5 Y0, "
     "в программе нет перемещения [path-mismatch]\n"
     "out.nc:3: предупреждение: траектория не совпадает с отражённой: лишнее перемещение G01 X1 Y0 [path-mismatch]\n"},
    {"one wrong word, one finding: the next lines are compared from the reflected position", 2,
     "G0 X0 Y0\nG1 X5\nY5\nX0\n", "G0 X0 Y0\nG1 X-6\nY5\nX0\n",
     "out.nc:2: предупреждение: траектория не совпадает с отражённой: ожидалось G01 X-5 Y0, "
     "в программе G01 X-6 Y0 [path-mismatch]\n"},
    {"a modal arc carried into another plane keeps the direction it was swapped to", 1,
     "G0 X0 Y0 Z0\nG17 G2 X10 Y0 I5 J0\nG18\nX20 Z0 I5 K0\n", "G0 X0 Y0 Z0\nG17 G03X10 Y0 I5 J0\nG18\nX20 Z0 I5 K0\n",
     "out.nc:4: предупреждение: траектория не совпадает с отражённой: ожидалось G02 G18 X20 Y0 Z0 центр X15 Z0, "
     "в программе G03 G18 X20 Y0 Z0 центр X15 Z0 [path-mismatch]\n"},
};

TEST(PathProof, CatchesEachMirrorBrokenByHand)
{
    for (const BrokenCase& c : kBroken) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Listed(Prove(c.source, c.output, c.mode)), c.findings);
    }
}

// The example pocket mirrored about Oy, then one of its arcs swapped back by
// hand: the proof names that line and no other.
TEST(PathProof, CatchesAnArcSwappedByHandInTheMirroredPocket)
{
    ScratchFolder folder("proof_pocket");
    CNcMirror engine;
    ASSERT_GE(engine.Mirror(NCM_EXAMPLES_DIR "/pocket.nc", (folder / "pocket_y.nc").c_str(), 2), 0);
    std::string mirrored = ReadBytes(folder / "pocket_y.nc");
    const std::size_t at = mirrored.find("N350 G03X22.");
    ASSERT_NE(at, std::string::npos);
    mirrored.replace(at + 5, 3, "G02");
    WriteBytes(folder / "broken.nc", mirrored);

    CToolpathRun run(*FindMirrorMode(2), true, false);
    ASSERT_EQ(run.ReadWritten(NCM_EXAMPLES_DIR "/pocket.nc", (folder / "broken.nc").c_str()), kPairRead);
    const CMirrorFindings findings = run.Findings(CMirrorFindings());
    ASSERT_EQ(findings.Total(), 1);
    EXPECT_EQ(FormatFindingForLog("broken.nc", findings.List()[0]),
              "broken.nc:42: предупреждение: траектория не совпадает с отражённой: ожидалось G03 X22 Y20 Z-5 центр "
              "X22 Y12, в программе G02 X22 Y20 Z-5 центр X22 Y12 [path-mismatch]");

    // A line more in the output is a difference too.
    WriteBytes(folder / "longer.nc", ReadBytes(folder / "pocket_y.nc") + "M30\n");
    CToolpathRun longer(*FindMirrorMode(2), true, false);
    ASSERT_EQ(longer.ReadWritten(NCM_EXAMPLES_DIR "/pocket.nc", (folder / "longer.nc").c_str()), kPairRead);
    ASSERT_EQ(longer.Findings(CMirrorFindings()).Total(), 1);
    EXPECT_EQ(FormatFindingText(longer.Findings(CMirrorFindings()).List()[0]),
              "траектория не совпадает с отражённой: строк в программе 56, а в исходной 55");
}

TEST(PathProof, LeavesOutLinesItCannotReadAndCountsThem)
{
    long long unread = 0;
    EXPECT_EQ(Listed(Prove("G0 X0 Y0\nG1 X#1\nX[#2+1]\nX5\n", "G0 X0 Y0\nG1 X#1\nX[#2+1]\nX-5\n", 2, &unread)), "");
    EXPECT_EQ(unread, 2);
}

// Read back in step across many batches of the source read ahead: a proved
// mirror, an output cut short or a line long, and files that cannot
// be read.
TEST(PathProof, ReadsLongFilesInStepAndTellsWhichCannotBeRead)
{
    ScratchFolder folder("proof_long");
    std::string program;
    for (int i = 0; i < 70000; ++i)  // over 1 MB: the source is read ahead on a second thread
        program += "G1 X" + std::to_string(i) + ".5 Y-" + std::to_string(i % 97) + "\n";
    WriteBytes(folder / "long.nc", program);
    CNcMirror engine;
    ASSERT_GE(engine.Mirror((folder / "long.nc").c_str(), (folder / "long_y.nc").c_str(), 2), 0);
    const std::string mirrored = ReadBytes(folder / "long_y.nc");
    std::size_t cut = 0;
    for (int line = 0; line < 3000; ++line)
        cut = mirrored.find('\n', cut) + 1;
    WriteBytes(folder / "short.nc", mirrored.substr(0, cut));
    WriteBytes(folder / "longer.nc", mirrored + "X1\n");

    const struct {
        const char* source;
        const char* output;
        int result;
        const char* finding;
    } kCases[] = {
        {"long.nc", "long_y.nc", kPairRead, ""},
        {"long.nc", "short.nc", kPairRead, "строк в программе 3000, а в исходной 70000"},
        {"long.nc", "longer.nc", kPairRead, "строк в программе 70001, а в исходной 70000"},
        {"missing.nc", "long_y.nc", kPairSourceUnreadable, ""},
        {"long.nc", "missing.nc", kPairOutputUnreadable, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.source) + " " + c.output);
        CToolpathRun run(*FindMirrorMode(2), true, false);
        ASSERT_EQ(run.ReadWritten((folder / c.source).c_str(), (folder / c.output).c_str()), c.result);
        const CMirrorFindings findings = run.Findings(CMirrorFindings());
        if (c.result != kPairRead)
            continue;
        EXPECT_EQ(run.UnreadLines(), 0);
        if (*c.finding == 0) {
            EXPECT_TRUE(findings.Empty());
            continue;
        }
        ASSERT_EQ(findings.Total(), 1);
        EXPECT_EQ(FormatFindingText(findings.List()[0]), std::string("траектория не совпадает с отражённой: ") + c.finding);
    }
}
