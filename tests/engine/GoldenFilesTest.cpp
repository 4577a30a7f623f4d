// Whole programs mirrored in each mode and compared byte for byte with the
// expected output, together with the number of words rewritten.
#include "NcMirror.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

struct GoldenCase {
    std::string name;
    long long counts[3];
};

std::vector<GoldenCase> LoadCases()
{
    std::vector<GoldenCase> cases;
    std::ifstream list(std::string(NCM_TEST_DATA_DIR) + "/golden/counts.txt");
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        GoldenCase c;
        fields >> c.name >> c.counts[0] >> c.counts[1] >> c.counts[2];
        cases.push_back(c);
    }
    return cases;
}

const char* const kModeExt[] = {"x", "y", "xy"};

}  // namespace

TEST(GoldenFiles, EveryProgramInEveryModeMatchesByteForByte)
{
    const std::vector<GoldenCase> cases = LoadCases();
    ASSERT_GE(cases.size(), 7u) << "the golden list could not be read";
    ScratchFolder dir("golden");
    const fs::path golden = fs::path(NCM_TEST_DATA_DIR) / "golden";
    for (const GoldenCase& c : cases) {
        for (int mode = 1; mode <= 3; ++mode) {
            SCOPED_TRACE(c.name + " mode " + std::to_string(mode));
            const std::string out = dir / (c.name + ".out");
            CNcMirror engine;
            EXPECT_EQ(c.counts[mode - 1], engine.Mirror((golden / (c.name + ".nc")).string().c_str(), out.c_str(), mode));
            const std::string expected = ReadBytes(golden / (c.name + "." + kModeExt[mode - 1] + ".out"));
            ASSERT_FALSE(expected.empty());
            EXPECT_EQ(expected, ReadBytes(out));
        }
    }
}

// A run to a sink (standard output) hands on the same bytes as the file
// run: lines that end in '\r' keep their '\r'.
TEST(GoldenFiles, SinkRunsGiveTheFileBytes)
{
    struct Collect : CMirrorSink {
        bool Line(std::string_view, std::string_view mirrored) override
        {
            bytes.append(mirrored.data(), mirrored.size());
            return true;
        }
        std::string bytes;
    };
    const fs::path golden = fs::path(NCM_TEST_DATA_DIR) / "golden";
    for (const char* name : {"cr_free", "line_ends"}) {
        SCOPED_TRACE(name);
        Collect sink;
        CNcMirror engine;
        EXPECT_GT(engine.MirrorToSink((golden / (std::string(name) + ".nc")).string().c_str(), &sink, 1), 0);
        EXPECT_EQ(ReadBytes(golden / (std::string(name) + ".x.out")), sink.bytes);
    }
}

TEST(GoldenFiles, FormatScanTellsFixedWidthFromFreeFormat)
{
    const fs::path golden = fs::path(NCM_TEST_DATA_DIR) / "golden";
    CNcMirror engine;
    EXPECT_EQ(0, engine.ScanFormat((golden / "worked_fixed.nc").string().c_str()));
    EXPECT_GT(engine.ScanFormat((golden / "worked_free.nc").string().c_str()), 0);

    ScratchFolder dir("scan");
    const struct {
        const char* text;
        int count;
    } scans[] = {
        {"", 0},                                  // empty file: fixed width
        {"N10 G01 X+001000 Y+002000\n", 1},       // the blank belongs to X's value: 8 wide
        {"(VER. 2)\nN1X+001000\n", 1},            // a point in a comment counts
        {"N1X+001000Y-000500I+000100\n", 0},
        {"N1X+001000\nN2X1.5 Y2 Z3", 4},          // last line without end: '.', X, Y, Z
    };
    for (const auto& s : scans) {
        WriteBytes(dir.path() / "p.nc", s.text);
        EXPECT_EQ(s.count, engine.ScanFormat((dir / "p.nc").c_str())) << s.text;
    }
}

// Programs mirrored about a position (positions.txt: program, tag, mode, x,
// y, count): the bytes, the count, and a failed run that writes nothing.
TEST(GoldenFiles, MirrorsAboutAPositionMatchByteForByte)
{
    const fs::path golden = fs::path(NCM_TEST_DATA_DIR) / "golden";
    std::ifstream list(golden / "positions.txt");
    ScratchFolder dir("positions");
    std::string line;
    int cases = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name, tag, x, y;
        int mode = 0;
        long long count = 0;
        fields >> name >> tag >> mode >> x >> y >> count;
        SCOPED_TRACE(line);
        const std::string out = dir / (name + "." + tag + ".out");
        CNcMirror engine;
        ASSERT_TRUE(engine.SetPosition(x == "-" ? "" : x.c_str(), y == "-" ? "" : y.c_str()));
        EXPECT_EQ(count, engine.Mirror((golden / (name + ".nc")).string().c_str(), out.c_str(), mode));
        if (count >= 0)
            EXPECT_EQ(ReadBytes(golden / (name + "." + tag + ".out")), ReadBytes(out));
        else
            EXPECT_FALSE(fs::exists(out));
        ++cases;
    }
    EXPECT_GE(cases, 8);
}
