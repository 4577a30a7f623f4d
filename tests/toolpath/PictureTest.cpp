// What a picture keeps: moves merged where a pixel would not show them, a
// bounded number of segments, arcs by their radius, the view fitted Y up.
#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"
#include "PictureBuild.h"
#include "PictureDrawing.h"
#include "SvgPicture.h"
#include "TestFiles.h"
#include "ToolpathPicture.h"
#include "ToolpathReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

namespace {

// A picture of a program given as its lines.
struct Drawn {
    CToolpathPicture picture;
    void Read(const std::vector<std::string>& lines)
    {
        CToolpathReader reader;
        reader.Begin(false);
        for (const std::string& line : lines)
            picture.Add(PictureLayer::Source, reader.ReadLine(line + "\n"));
        picture.Finish();
    }
    const std::vector<PictureItem>& Items() const { return picture.Items(PictureLayer::Source); }
};

std::string Word(char letter, double value) { return letter + std::to_string(value); }

// Feed moves along a path given by `point(i)`, i = 0..n-1, after a corner
// of the view at (1000, 1000), which sets the pixel to one unit.
template <typename Point>
std::vector<std::string> Path(int n, Point point)
{
    std::vector<std::string> lines = {"G0 X1000 Y1000", "G0 X0 Y0", "G1"};
    for (int i = 0; i < n; ++i) {
        double x = 0, y = 0;
        point(i, x, y);
        lines.push_back(Word('X', x) + " " + Word('Y', y));
    }
    return lines;
}

std::size_t CountLines(const std::vector<PictureItem>& items, bool rapid)
{
    std::size_t n = 0;
    for (const PictureItem& item : items)
        n += item.type == PictureItem::Type::Line && item.rapid == rapid;
    return n;
}

}  // namespace

TEST(ToolpathPicture, MergesWhatAPixelWouldNotShow)
{
    const struct {
        const char* name;
        std::vector<std::string> program;
        std::size_t feeds;  // feed segments kept
    } cases[] = {
        {"a straight run of short moves", Path(500, [](int i, double& x, double& y) { x = 0.5 * i; y = 0.25 * i; }), 1},
        {"wiggles within a third of a pixel",
         Path(500, [](int i, double& x, double& y) { x = i; y = (i % 2) * 0.3; }), 1},
        {"a zigzag of ten pixels", Path(50, [](int i, double& x, double& y) { x = 20.0 * i; y = (i % 2) * 10.0; }), 49},
        {"a square keeps its corners",
         {"G0 X1000 Y1000", "G0 X0 Y0", "G1 X100", "Y100", "X0", "Y0", "X0.2 Y0.2", "X0 Y0.3"}, 4},
        {"a run that turns back", {"G0 X1000 Y1000", "G0 X0 Y0", "G1 X100", "X50", "X300"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Drawn drawn;
        drawn.Read(c.program);
        EXPECT_EQ(CountLines(drawn.Items(), false), c.feeds);
        EXPECT_EQ(CountLines(drawn.Items(), true), 1u);  // the one rapid move seen from a known point
    }
}

TEST(ToolpathPicture, KeepsABoundedNumberOfSegmentsOfAnyProgram)
{
    // A million moves that turn by more than a pixel each time.
    CToolpathPicture picture;
    CToolpathReader reader;
    reader.Begin(false);
    picture.Add(PictureLayer::Source, reader.ReadLine("G1 X0 Y0\n"));
    double x = 0, y = 0;
    unsigned seed = 1;
    std::size_t most = 0;  // what it held at any time
    for (int i = 0; i < 1000000; ++i) {
        if (i % 1000 == 0)
            most = std::max(most, picture.Items(PictureLayer::Source).size());
        seed = seed * 1103515245u + 12345u;
        const double angle = (seed >> 8) % 6283 / 1000.0;
        x = std::fmod(x + 3 * std::cos(angle) + 1000, 1000);
        y = std::fmod(y + 3 * std::sin(angle) + 1000, 1000);
        picture.Add(PictureLayer::Source, reader.ReadLine(Word('X', x) + " " + Word('Y', y) + "\n"));
    }
    picture.Finish();
    EXPECT_LE(most, CToolpathPicture::kMaxItems + 1);
    EXPECT_LE(picture.Items(PictureLayer::Source).size(), CToolpathPicture::kMaxItems);
    EXPECT_GT(picture.Items(PictureLayer::Source).size(), CToolpathPicture::kMaxItems / 10);
    EXPECT_GT(picture.MergeLength(), 1000 / CToolpathPicture::kNominalPixels);
}

TEST(ToolpathPicture, DrawsArcsByTheirCentreAndReflectsThem)
{
    // A half circle to (10, 0), back the long way round, a full circle.
    Drawn drawn;
    drawn.Read({"G0 X0 Y0", "G2 X10 Y0 R5", "G2 X0 Y0 R-6", "G3 X0 Y0 I0 J-2"});
    ASSERT_EQ(drawn.Items().size(), 3u);
    const PictureItem& half = drawn.Items()[0];
    EXPECT_NEAR(half.cx, 5, 1e-9);
    EXPECT_NEAR(half.cy, 0, 1e-9);
    EXPECT_TRUE(half.clockwise);
    const PictureItem& big = drawn.Items()[1];
    EXPECT_NEAR(big.cx, 5, 1e-9);
    EXPECT_NEAR(big.cy, -std::sqrt(11.0), 1e-9);  // R < 0: the centre on the far side, more than half a circle
    EXPECT_TRUE(big.large);
    EXPECT_EQ(drawn.Items()[2].type, PictureItem::Type::Circle);
    // The clockwise half circle from (0, 0) to (10, 0) bulges up to y = 5.
    EXPECT_NEAR(drawn.picture.Bounds().maxY, 5, 1e-9);

    drawn.picture.ReflectSource(*FindMirrorMode(2));
    const PictureItem& mirrored = drawn.picture.Items(PictureLayer::Mirror)[0];
    EXPECT_NEAR(mirrored.x1, -10, 1e-9);
    EXPECT_FALSE(mirrored.clockwise);
    // The big arc reaches x = 11; its mirror image x = -11.
    EXPECT_NEAR(drawn.picture.Bounds().maxX, 11, 1e-9);
    EXPECT_NEAR(drawn.picture.Bounds().minX, -11, 1e-9);
}

TEST(ToolpathPicture, LayoutFitsTheDrawingYUp)
{
    Drawn drawn;
    drawn.Read({"G0 X-40 Y10", "G1 X120 Y70"});
    PictureLegend legend;
    int width = 0, height = 0;
    PictureFileSize(drawn.picture, legend, width, height);
    EXPECT_EQ(width, 1000);
    const PictureLayout layout = LayOutPicture(drawn.picture, legend, width, height);
    const PictureFrame& f = layout.frame;
    EXPECT_LT(f.PixelY(70), f.PixelY(10)) << "Y goes up";
    EXPECT_LT(f.PixelX(-40), f.PixelX(120));
    for (const double px : {f.PixelX(-40), f.PixelX(120)}) {
        EXPECT_GT(px, f.left);
        EXPECT_LT(px, f.right);
    }
    for (const double py : {f.PixelY(0), f.PixelY(70)}) {  // the origin is in view
        EXPECT_GT(py, f.top);
        EXPECT_LT(py, f.bottom);
    }
    EXPECT_LE(f.bottom, layout.legendTop);
    EXPECT_NEAR(f.PixelX(120) - f.PixelX(-40), (f.right - f.left) / 1.08, 1.0) << "fitted with a margin";

    // Nothing to draw: a view of a unit or so, not of the rounding of zero.
    const CToolpathPicture empty;
    const PictureFrame e = LayOutPicture(empty, legend, 1000, 800).frame;
    EXPECT_GE((e.right - e.left) / e.scale, 1.0);
    EXPECT_LE((e.bottom - e.top) / e.scale, 10.0);
}

TEST(ToolpathPicture, ReachesItsBoundWhateverTheMixOfMoves)
{
    // Moves that no merging joins: each rapid/feed switch starts a segment
    // of its own, hundreds of thousands of them over a few places.
    unsigned seed = 7;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(range));
    };
    const struct {
        const char* name;
        std::function<std::string(int)> line;
        std::size_t kept;  // at most, at the end
    } cases[] = {
        {"the same square, rapid and feed by turns",
         [](int i) {
             static const char* const kSquare[] = {"G0X0.Y0.", "G1X10.Y0.", "G0X10.Y10.", "G1X0.Y10."};
             return std::string(kSquare[i % 4]);
         },
         4},
        {"random points, rapid and feed by turns",
         [&](int i) { return std::string(i % 2 ? "G1" : "G0") + Word('X', next(5000)) + Word('Y', next(5000)); },
         CToolpathPicture::kMaxItems},
        {"random arcs about random centres",
         [&](int i) {
             return std::string(i % 2 ? "G2" : "G3") + Word('X', next(500)) + Word('Y', next(500)) +
                    Word('I', next(200) - 100) + Word('J', next(200) - 100);
         },
         CToolpathPicture::kMaxItems},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CToolpathPicture picture;
        CToolpathReader reader;
        reader.Begin(false);
        std::size_t most = 0;
        for (int i = 0; i < 300000; ++i) {
            picture.Add(PictureLayer::Source, reader.ReadLine(c.line(i) + "\n"));
            most = std::max(most, picture.Items(PictureLayer::Source).size());
        }
        picture.Finish();
        EXPECT_LE(most, CToolpathPicture::kMaxItems + 1);
        EXPECT_LE(picture.Items(PictureLayer::Source).size(), c.kept);
        EXPECT_GT(picture.Items(PictureLayer::Source).size(), 0u);
    }
}

TEST(ToolpathPicture, LeavesOutNumbersItCannotDrawAndCountsTheirLines)
{
    const std::string huge = "1" + std::string(160, '0') + ".";      // squares beyond a double
    const std::string largest = "1" + std::string(308, '0') + ".";   // sums beyond a double
    const struct {
        const char* name;
        std::vector<std::string> program;
        long long unread;
        long long firstUnread;
    } cases[] = {
        {"a radius of 1e160", {"G0X0.Y0.", "G2X1.Y0.R" + huge, "G1X5.Y5."}, 1, 2},
        {"a centre of 1e308", {"G0X0.Y0.", "G2X0.Y0.I" + largest, "G1X5.Y5."}, 1, 2},
        {"centre offsets of 1e308", {"G0X0.Y0.", "G2X1.Y0.I" + largest + "J" + largest}, 1, 2},
        {"an end beyond any travel, then a move from it", {"G0X0.Y0.", "G1X" + huge, "X5.Y5.", "X#1"}, 2, 2},
        {"a radius of a million", {"G0X0.Y0.", "G2X1.Y0.R1000000.", "G1X5.Y5."}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Drawn drawn;
        drawn.Read(c.program);
        EXPECT_EQ(drawn.picture.UnreadLines(PictureLayer::Source), c.unread);
        EXPECT_EQ(drawn.picture.FirstUnreadLine(PictureLayer::Source), c.firstUnread);
        EXPECT_LE(std::max(drawn.picture.Bounds().maxX, drawn.picture.Bounds().maxY), 1e7);

        PictureLegend legend;
        legend.sourceName = "part.nc";
        legend.mode = FindMirrorMode(3);
        drawn.picture.ReflectSource(*legend.mode);
        const std::string svg = SvgPictureText(drawn.picture, legend);
        for (const char ch : svg)
            ASSERT_TRUE(static_cast<unsigned char>(ch) >= 0x20 || ch == '\n') << "a control byte in the picture";
        int width = 0, height = 0;
        ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("<svg"), "<svg %*s %*s width=\"%d\" height=\"%d\"", &width,
                              &height),
                  2);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_EQ(svg.find("nan"), std::string::npos);
        EXPECT_EQ(svg.find("inf"), std::string::npos);
    }
}

namespace {

// A program of many thousand lines: arcs, feed moves, drilling, a changed
// plane, lines it cannot read, in the program's own pattern.
std::string LongProgram()
{
    std::string text = "G90 G17 G54\n(LONG)\n";
    for (int i = 0; i < 6000; ++i) {
        const double x = (i % 97) * 1.25, y = (i % 89) * 0.75;
        text += "G1 X" + std::to_string(x) + " Y" + std::to_string(y) + " F500\n";
        text += "G2 X" + std::to_string(x + 2) + " Y" + std::to_string(y) + " I1. J0.\n";
        if (i % 500 == 0)
            text += "G81 X" + std::to_string(y) + " Y" + std::to_string(x) + " Z-3. R1.\nG80\nG1 X#1 Y2.\n";
        if (i % 1500 == 0)
            text += "G18\nG2 X1. Z2. I0.5 K1.\nG17 G55\n";
    }
    return text;
}

bool SameItem(const PictureItem& a, const PictureItem& b)
{
    return a.type == b.type && a.rapid == b.rapid && a.clockwise == b.clockwise && a.large == b.large &&
           a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1 && a.cx == b.cx && a.cy == b.cy &&
           a.r == b.r;
}

// Everything the two pictures hold is the same.
void ExpectSamePicture(const CToolpathPicture& got, const CToolpathPicture& want)
{
    for (const PictureLayer layer : {PictureLayer::Source, PictureLayer::Mirror}) {
        SCOPED_TRACE(layer == PictureLayer::Source ? "source" : "mirror");
        const auto& items = got.Items(layer);
        ASSERT_EQ(items.size(), want.Items(layer).size());
        for (std::size_t i = 0; i < items.size(); ++i)
            EXPECT_TRUE(SameItem(items[i], want.Items(layer)[i])) << i;
        ASSERT_EQ(got.Holes(layer).size(), want.Holes(layer).size());
        for (std::size_t i = 0; i < got.Holes(layer).size(); ++i)
            EXPECT_TRUE(got.Holes(layer)[i].x == want.Holes(layer)[i].x &&
                        got.Holes(layer)[i].y == want.Holes(layer)[i].y) << i;
        EXPECT_EQ(got.UnreadLines(layer), want.UnreadLines(layer));
        EXPECT_EQ(got.MotionLines(layer), want.MotionLines(layer));
        EXPECT_EQ(got.OffsetMarks(layer).size(), want.OffsetMarks(layer).size());
        EXPECT_EQ(got.Last(layer).x, want.Last(layer).x);
    }
    EXPECT_EQ(got.MergeLength(), want.MergeLength());
    EXPECT_EQ(got.Bounds().minX, want.Bounds().minX);
    EXPECT_EQ(got.Bounds().maxY, want.Bounds().maxY);
    EXPECT_EQ(got.ProgramUnits(), want.ProgramUnits());
}

}  // namespace

// Built on two threads with a mode: the same picture as one thread draws,
// over many hand-overs of lines; the end told once, after Done.
TEST(PictureBuild, DrawsOnItsThreadWhatTheRunsDrawAndCountsTheBytesRead)
{
    ScratchFolder folder("picture_build");
    WriteBytes(folder / "long.nc", LongProgram());
    for (const std::string& path : {std::string(NCM_EXAMPLES_DIR) + "/pocket.nc",
                                    std::string(NCM_EXAMPLES_DIR) + "/bracket.up", folder / "long.nc"}) {
        for (const MirrorMode* mode : {static_cast<const MirrorMode*>(nullptr), FindMirrorMode(2)}) {
            SCOPED_TRACE(path + (mode ? " with a mode" : " alone"));
            CToolpathPicture expected;
            if (mode) {
                CMirrorPairReader pair(nullptr, &expected);
                CNcMirror engine;
                engine.SetDiagnosticStream(nullptr);
                ASSERT_GE(engine.MirrorToSink(path.c_str(), &pair, mode->number), 0);
                expected.Finish();
            } else {
                ASSERT_TRUE(ReadProgramPicture(path.c_str(), expected));
            }

            CPictureBuild build;
            std::atomic<int> told{0};
            std::atomic<bool> doneWhenTold{false};
            build.OnDone([&] {
                doneWhenTold = build.Done();
                ++told;
            });
            ASSERT_TRUE(build.Start(path, mode));
            for (int wait = 0; wait < 10000 && told == 0; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ASSERT_TRUE(build.Done());
            build.Stop();
            EXPECT_EQ(told, 1);
            EXPECT_TRUE(doneWhenTold);
            EXPECT_TRUE(build.Read());
            EXPECT_EQ(build.BytesRead(), ReadBytes(path).size());
            ExpectSamePicture(build.Picture(), expected);
        }
    }
}
