// What the picture tells beyond the path: the start and end, arrows along
// the feed moves (bounded in number), holes numbered, work offsets where
// they change, the red band over a picture that lacks much of its path,
// labels off the path, and a window's zoom about a point.
#include "MirrorModes.h"
#include "PictureDrawing.h"
#include "ToolpathPicture.h"
#include "ToolpathReader.h"
#include "ToolpathTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

CToolpathPicture Picture(const std::vector<std::string>& lines)
{
    CToolpathPicture picture;
    CToolpathReader reader;
    reader.Begin(false);
    for (const std::string& line : lines)
        picture.Add(PictureLayer::Source, reader.ReadLine(line + "\n"));
    picture.Finish();
    return picture;
}

// What a drawing did: arrows, texts with where they went, feed segments.
struct Segment {
    double x0, y0, x1, y1;
};
struct Label {
    std::string text;
    double x, y;
    TextAnchor anchor;
    bool inside;  // in the drawing area (clipped), not the legend
};
class CRecordingCanvas final : public CPictureCanvas {
public:
    void BeginPath(Pen pen) override { m_bFeed = pen == Pen::SourceFeed || pen == Pen::MirrorFeed; }
    void MoveTo(double x, double y) override { m_x = x, m_y = y; }
    void LineTo(double x, double y) override { Piece(x, y); }
    void ArcTo(double x, double y, double, double, double, bool, bool) override { Piece(x, y); }
    void EndPath() override {}
    void Circle(Pen, double, double, double) override {}
    void Disc(Pen, double, double, double) override {}
    void Box(Pen pen, double, double, double, double) override { banners += pen == Pen::Banner; }
    void Arrow(Pen, double x, double y, double dx, double dy) override
    {
        if (m_bInside)
            arrows.push_back({x - dx, y - dy, x, y});
    }
    void Text(Pen, double x, double y, const std::string& utf8, TextAnchor anchor, bool) override
    {
        labels.push_back({utf8, x, y, anchor, m_bInside});
    }
    void Clip(double, double, double, double) override { m_bInside = true; }
    void Unclip() override { m_bInside = false; }

    bool Says(const std::string& text, bool inside = false) const
    {
        return std::any_of(labels.begin(), labels.end(),
                           [&](const Label& l) { return l.text == text && (l.inside || !inside); });
    }

    std::vector<Segment> arrows, feeds;
    std::vector<Label> labels;
    int banners = 0;

private:
    void Piece(double x, double y)
    {
        if (m_bFeed)
            feeds.push_back({m_x, m_y, x, y});
        m_x = x;
        m_y = y;
    }
    bool m_bFeed = false;
    bool m_bInside = false;
    double m_x = 0, m_y = 0;
};

CRecordingCanvas Draw(const CToolpathPicture& picture, const MirrorMode* mode = nullptr, int size = 1000)
{
    PictureLegend legend;
    legend.mode = mode;
    CRecordingCanvas canvas;
    DrawPicture(picture, legend, LayOutPicture(picture, legend, size, size * 4 / 5), canvas);
    return canvas;
}

}  // namespace

TEST(PictureMarks, StartEndAndWorkOffsetsWhereTheyChange)
{
    const CToolpathPicture picture = Picture({"G90 G54 G0 X5 Y5", "G1 X10", "G55", "G0 X20 Y0", "G55 G1 X30",
                                              "G54.1 P2", "G0 X40", "G56", "G0 X50", "G1 X60 Y7"});
    EXPECT_TRUE(picture.HasEnds(PictureLayer::Source));
    EXPECT_EQ(picture.First(PictureLayer::Source).x, 5);
    EXPECT_EQ(picture.Last(PictureLayer::Source).x, 60);
    EXPECT_EQ(picture.Last(PictureLayer::Source).y, 7);
    // Each at the end of the first move after it, a repeated one not again.
    std::string marks;
    for (const PictureOffsetMark& m : picture.OffsetMarks(PictureLayer::Source))
        marks += std::to_string(m.offset) + "/" + std::to_string(m.number) + "@" + std::to_string(int(m.x)) + " ";
    EXPECT_EQ(marks, "54/0@5 55/0@20 541/2@40 56/0@50 ");
    const CRecordingCanvas drawn = Draw(picture);
    for (const char* name : {"G54", "G55", "G54.1 P2", "G56"})
        EXPECT_TRUE(drawn.Says(name, true)) << name;
    EXPECT_TRUE(drawn.Says("Системы координат: G54, G55, G54.1 P2, G56 (имя - у первого хода после смены)"));
}

TEST(PictureMarks, ArrowsAlongTheFeedMovesSpacedAndBounded)
{
    // One straight feed move across the view: an arrow per spacing, in its direction.
    const CRecordingCanvas line = Draw(Picture({"G0 X100 Y0", "G1 X0 Y0"}));
    ASSERT_FALSE(line.arrows.empty());
    EXPECT_NEAR(static_cast<double>(line.arrows.size()), 900 / kArrowSpacing, 2);
    for (const Segment& a : line.arrows)
        EXPECT_LT(a.x1, a.x0) << "the arrow points from X100 to X0";
    // Rapid moves get none; a long path on a large view no more than the bound.
    EXPECT_TRUE(Draw(Picture({"G0 X100 Y0", "G0 X0 Y0"})).arrows.empty());
    std::vector<std::string> rows = {"G0 X0 Y0", "G1"};
    for (int i = 0; i < 100; ++i)
        for (const char* x : {"X0", "X100"})
            rows.push_back(x + std::string(" Y") + std::to_string(i));
    const std::size_t arrows = Draw(Picture(rows), nullptr, 8000).arrows.size();
    EXPECT_LE(arrows, static_cast<std::size_t>(kMaxArrows));
    EXPECT_GE(arrows, static_cast<std::size_t>(kMaxArrows) / 2);
    // A full circle clockwise: arrows going round clockwise on the picture.
    const CRecordingCanvas circle = Draw(Picture({"G0 X10 Y0", "G2 X10 Y0 I-10 J0"}));
    ASSERT_GE(circle.arrows.size(), 4u);
    const Segment& a = circle.arrows.front();
    EXPECT_GT(a.y1, a.y0) << "at the top, clockwise on the screen runs right";
}

TEST(PictureMarks, HolesNumberedInOrderUpToFifty)
{
    std::vector<std::string> holes = {"G0 X0 Y0", "G81 X0 Y0 Z-5 R2"};
    for (int i = 1; i < 50; ++i)
        holes.push_back("X" + std::to_string(i * 10));
    const CRecordingCanvas fifty = Draw(Picture(holes));
    EXPECT_TRUE(fifty.Says("1", true));
    EXPECT_TRUE(fifty.Says("50", true));
    holes.push_back("X1000");
    const CRecordingCanvas many = Draw(Picture(holes));
    EXPECT_FALSE(many.Says("1", true));
    EXPECT_FALSE(many.Says("51", true));
}

TEST(PictureMarks, TheRedBandOverMoreThanOneLineInTwentyNotRead)
{
    for (const int unread : {1, 2}) {
        std::vector<std::string> program = {"G0 X0 Y0", "G1"};
        for (int i = 0; i < 19; ++i)
            program.push_back("X" + std::to_string(i) + " Y" + std::to_string(i % 3));
        for (int i = 0; i < unread; ++i)
            program.push_back("X#1");
        const CToolpathPicture picture = Picture(program);
        const CRecordingCanvas drawn = Draw(picture);
        const long long lines = 20 + unread;
        EXPECT_EQ(picture.MotionLines(PictureLayer::Source), lines);
        EXPECT_EQ(drawn.banners, unread == 2 ? 1 : 0) << unread;
        EXPECT_EQ(drawn.Says("траектория прочитана не полностью: 2 из 22 строк не прочитаны"), unread == 2);
    }
}

TEST(PictureMarks, TheAxisNameGoesWhereItCoversNoPath)
{
    // A path along the axis Ox just above it, over the whole width: the
    // name's first spot (above the axis, at the right) is taken.
    const CToolpathPicture picture = Picture({"G0 X-50 Y1", "G1 X50 Y1", "G1 X50 Y30", "G0 X-50 Y-30"});
    const MirrorMode& mode = *FindMirrorMode(1);
    const CRecordingCanvas drawn = Draw(picture, &mode);
    const std::string name = MirrorAxisLabel(mode, "", "");
    const auto label = std::find_if(drawn.labels.begin(), drawn.labels.end(), [&](const Label& l) { return l.text == name; });
    ASSERT_NE(label, drawn.labels.end());
    // Its box, as the drawing estimates it, meets no feed segment.
    double chars = 0;
    for (const char c : name)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const double w = 7.5 * chars;
    const double left = label->anchor == TextAnchor::Start ? label->x : label->anchor == TextAnchor::End ? label->x - w : label->x - w / 2;
    for (const Segment& s : drawn.feeds)
        for (int i = 0; i <= 20; ++i) {
            const double x = s.x0 + (s.x1 - s.x0) * i / 20, y = s.y0 + (s.y1 - s.y0) * i / 20;
            EXPECT_FALSE(x >= left && x <= left + w && y >= label->y - 11 && y <= label->y + 3)
                << "the name covers the path at " << x << " " << y;
        }
}

TEST(PictureMarks, AViewZoomsAboutAPointPansAndFitsAgain)
{
    PictureFrame fitted;
    fitted.scale = 2;
    fitted.originX = 300;
    fitted.originY = 200;
    PictureView view;
    const auto programX = [&](double px) { const PictureFrame f = view.Apply(fitted); return (px - f.originX) / f.scale; };
    const double before = programX(123);
    view.ZoomAbout(123, 45, 2.5);
    EXPECT_NEAR(programX(123), before, 1e-9) << "the point under the cursor stays";
    EXPECT_NEAR(view.Apply(fitted).scale, 5, 1e-12);
    view.Pan(50, 0);
    EXPECT_NEAR(programX(173), before, 1e-9);
    for (int i = 0; i < 100; ++i)
        view.ZoomAbout(0, 0, 10);
    EXPECT_EQ(view.zoom, PictureView::kMaxZoom);
    view.Fit();
    EXPECT_EQ(view.Apply(fitted).originX, 300);
    EXPECT_EQ(view.Apply(fitted).scale, 2);
}
