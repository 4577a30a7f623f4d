// A run into a file reads its source once and writes plain lines from a
// sweep over whole buffers; a run into a sink scans the format first and
// mirrors line by line. On any program both give the same bytes, count and
// findings: generated programs with every kind of line, lines that cross the
// read buffer, free format that shows only late in a fixed-width program,
// a last line without its end, and lines that end in '\r'.
#include "MirrorModes.h"
#include "NcMirror.h"
#include "SinkAhead.h"
#include "TestFiles.h"
#include "TestRandom.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class Collect final : public CMirrorSink {
public:
    bool Line(std::string_view, std::string_view mirrored) override
    {
        bytes.append(mirrored.data(), mirrored.size());
        return true;
    }
    std::string bytes;
};

std::string Findings(const CMirrorFindings& findings)
{
    std::string text;
    for (const MirrorFinding& f : findings.List())
        text += std::to_string(f.line) + ":" + std::to_string(static_cast<int>(f.code)) + ":" + f.word + "\n";
    return text + std::to_string(findings.Total());
}

// Lines of a program: fixed-width words, free-format words, G words, skip
// lines, checked codes, blanks in odd places and every line end.
class ProgramLines {
public:
    ProgramLines(std::uint64_t seed, bool fixedWidth) : m_random(seed), m_bFixed(fixedWidth) {}

    std::string Next()
    {
        static const char* const kFixed[] = {"X+001000", "Y-002000", "Z+000500", "I+000250", "J-000250",
                                              "X-123456", "Y+000000", "K+000100"};
        static const char* const kFree[] = {"X12.345", "Y-6.789", "Z-1.25", "I0.5", "J-10.25", "X 100",
                                             "Y+0250", "X-0.", "Y1.123456", "J7.5 ", "X#1", "y5."};
        static const char* const kOther[] = {"G01", "G02", "G3", "G17", "G18", "G19", "G41", "G42 ", "G43",
                                              "F1200", "M98 P100", "G53", "(CUT)", "N10", "S2000", "O100"};
        std::string line;
        const unsigned words = 1 + Pick(5);
        for (unsigned w = 0; w < words; ++w) {
            const unsigned kind = Pick(10);
            if (kind < 6)
                line += m_bFixed ? kFixed[Pick(8)] : kFree[Pick(12)];
            else if (kind < 8)
                line += kOther[Pick(16)];
            else
                line += "N" + std::to_string(Pick(10000));
            if (!m_bFixed && Pick(2) == 0)
                line += ' ';
        }
        const char* const ends[] = {"\n", "\n", "\n", "\r\n", "  \n", " \r\n", "\r\r\n"};
        return line + ends[Pick(7)];
    }
    unsigned Pick(unsigned n) { return m_random.Pick(n); }

private:
    TestRandom m_random;
    bool m_bFixed;
};

}  // namespace

TEST(RunPaths, FileAndSinkRunsGiveTheSameBytesCountsAndFindings)
{
    ScratchFolder dir("run_paths");
    std::vector<std::string> programs;
    for (const bool fixedWidth : {true, false}) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            ProgramLines lines(seed, fixedWidth);
            std::string program;
            while (program.size() < 300000)  // large enough to be scanned on a second thread
                program += lines.Next();
            programs.push_back(program);
        }
    }
    // A fixed-width program whose only sign of free format comes last: a
    // word of another width, or a point in any word.
    std::string lateMark;
    for (int i = 0; i < 20000; ++i)
        lateMark += "N" + std::to_string(1000 + i % 9000) + "X+001000Y-002000\n";
    programs.push_back(lateMark + "X15\n");
    programs.push_back(lateMark + "N9F1.5\n");
    // Lines longer than the read buffer, and a last line without its end.
    programs.push_back(std::string(70000, ' ') + "X1. Y2.\n" + "G1 X" + std::string(100000, '1') + ".5 Y3.\nY-4.");
    programs.push_back("X+001000Y+002000\nN2X+000001");
    // Lines that end in '\r'.
    programs.push_back("G01 X1. Y-2. \rG02 X3. Y4. I1. J2.\r(C)\rG1 X5. Y5. X6.\rY7.");

    for (std::size_t p = 0; p < programs.size(); ++p) {
        WriteBytes(dir.path() / "p.nc", programs[p]);
        for (const MirrorMode* mode = MirrorModesBegin(); mode != MirrorModesEnd(); ++mode) {
            SCOPED_TRACE(testing::Message() << "program " << p << ", mode " << mode->number);
            CNcMirror toFile, toSink;
            const long long fileCount = toFile.Mirror((dir / "p.nc").c_str(), (dir / "out.nc").c_str(), mode->number);
            Collect sink;
            const long long sinkCount = toSink.MirrorToSink((dir / "p.nc").c_str(), &sink, mode->number);
            ASSERT_GE(fileCount, 0);
            EXPECT_EQ(sinkCount, fileCount);
            EXPECT_EQ(toSink.FormatCount() == 0, toFile.FormatCount() == 0);
            ASSERT_EQ(sink.bytes, ReadBytes(dir.path() / "out.nc"));
            EXPECT_EQ(Findings(toSink.GetFindings()), Findings(toFile.GetFindings()));
        }
    }
}

// A sink on a second thread gets every line whole and in order, over many
// batches (one line longer than a batch among them), and once its sink
// refuses a line it gets no more, and the run is told.
TEST(RunPaths, SinkAheadKeepsOrderAndRefusal)
{
    class Refusing final : public CMirrorSink {
    public:
        explicit Refusing(std::size_t refuseAt) : m_nRefuseAt(refuseAt) {}
        bool Line(std::string_view source, std::string_view mirrored) override
        {
            lines.push_back(std::string(source) + "|" + std::string(mirrored));
            return lines.size() != m_nRefuseAt;
        }
        std::vector<std::string> lines;

    private:
        std::size_t m_nRefuseAt;
    };
    std::vector<std::string> sent;
    for (int i = 0; i < 60000; ++i)
        sent.push_back("N" + std::to_string(i) + (i == 30000 ? std::string(300000, 'X') : " X1.") + "\n");
    for (const std::size_t refuseAt : {std::size_t(0), std::size_t(40000)}) {
        Refusing sink(refuseAt);
        CSinkAhead ahead(sink);
        ASSERT_TRUE(ahead.Start());
        bool taken = true;
        for (std::size_t i = 0; i < sent.size() && taken; ++i)
            taken = ahead.Line(sent[i], "m" + std::to_string(i));
        EXPECT_EQ(refuseAt != 0, ahead.Refuses());
        EXPECT_EQ(refuseAt == 0, ahead.Finish());
        ASSERT_EQ(refuseAt == 0 ? sent.size() : refuseAt, sink.lines.size());
        for (std::size_t i = 0; i < sink.lines.size(); ++i)
            ASSERT_EQ(sent[i] + "|m" + std::to_string(i), sink.lines[i]);
    }
}
