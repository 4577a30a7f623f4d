#include "PictureDrawing.h"

#include "MirrorModes.h"
#include "NumberText.h"
#include "ToolpathTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Margins of the drawing area, in pixels: room for the tick labels and the
// name of the mirror's axis; the red band goes above the top margin.
constexpr double kLeft = 64, kRight = 24, kTop = 28, kBottom = 36, kBanner = 26;
constexpr double kLegendLine = 18, kLegendPad = 12;
constexpr double kViewPad = 0.04;  // part of the drawing's extent left free around it
constexpr int kFileWidth = 1000;
constexpr double kMinFileArea = 300, kMaxFileArea = 760;
constexpr int kMaxTicks = 20;
constexpr double kTick = 5, kHoleRadius = 3, kCrossArm = 24, kStartRadius = 5, kEndHalf = 4.5;
constexpr std::size_t kPiecesPerPath = 2000;
constexpr double kCharWidth = 7.6;  // a legend character, for laying out one row
constexpr double kLabelCharWidth = 7.5, kLabelAscent = 11, kLabelDescent = 3;  // a label's box
// An arc's chords tested against a label's box.
constexpr int kArcChords = 24;
constexpr std::size_t kHoleWeight = 4;  // a hole or a start or end mark counts as this many lines under a label
// An arc of a larger radius, in pixels, that lies within the view is its
// chord to a fraction of a pixel: drawn as one, its far centre never
// reaches a canvas.
constexpr double kFlatArcRadius = 1e7;
constexpr double kPi = 3.14159265358979323846;

PenStyle Style(unsigned rgb, double width, bool dashed = false, bool dashDot = false)
{
    return PenStyle{rgb, width, dashed, dashDot};
}

bool Lacks(long long unread, long long lines) { return unread > 0 && unread * 20 > lines; }

std::size_t CodePoints(const std::string& utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

bool Banner(const CToolpathPicture& picture)
{
    return LacksMuchOfItsPath(picture, PictureLayer::Source) || LacksMuchOfItsPath(picture, PictureLayer::Mirror);
}

double TopMargin(const CToolpathPicture& picture) { return kTop + (Banner(picture) ? kBanner : 0); }

// The names of the work offsets the paths select, in order, each once.
std::string OffsetNames(const CToolpathPicture& picture)
{
    constexpr std::size_t kMaxNames = 12;
    std::vector<std::string> names;
    for (const PictureLayer layer : {PictureLayer::Source, PictureLayer::Mirror})
        for (const PictureOffsetMark& mark : picture.OffsetMarks(layer)) {
            const std::string name = WorkOffsetName(mark.offset, mark.number);
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += i == kMaxNames ? ", ..." : i > kMaxNames ? "" : (i ? ", " : "") + names[i];
    return text;
}

// A ring: seen also on the end's square where a path ends where it began.
void StartMark(CPictureCanvas& canvas, Pen pen, double x, double y)
{
    canvas.Disc(pen, x, y, kStartRadius);
    canvas.Disc(Pen::BannerText, x, y, kStartRadius / 2);
}

// The legend, row by row: drawn on `canvas` from `top` on, or only counted
// when it is null. Its number of rows.
int Legend(const CToolpathPicture& picture, const PictureLegend& legend, CPictureCanvas* canvas, double top)
{
    const double x = 16, textX = 64;
    int rows = 0;
    double y = top + kLegendPad / 2 + kLegendLine / 2;
    auto row = [&] { y = top + kLegendPad / 2 + kLegendLine / 2 + kLegendLine * rows++; };
    auto sample = [&](Pen pen, double at) {
        canvas->BeginPath(pen);
        canvas->MoveTo(at, y);
        canvas->LineTo(at + 40, y);
        canvas->EndPath();
    };
    auto text = [&](double at, const std::string& words) {
        canvas->Text(Pen::Text, at, y + 4, words, TextAnchor::Start, false);
    };

    row();
    if (canvas) {
        sample(Pen::SourceFeed, x);
        text(textX, SourceLegend(legend.sourceName));
    }
    if (legend.mode) {
        row();
        if (canvas) {
            sample(Pen::MirrorFeed, x);
            text(textX, MirrorLegend(legend.mirrorName, *legend.mode, legend.atX, legend.atY));
        }
    }

    // The kinds of moves and marks, two rows of samples.
    enum class Look { Line, Hole, Start, End, Arrow };
    const struct {
        Pen pen;
        Look look;
        const char* text;
        int row;
    } kinds[] = {{Pen::SourceRapid, Look::Line, kRapidLegend, 0},  {Pen::SourceFeed, Look::Arrow, kFeedLegend, 0},
                 {Pen::SourceHole, Look::Hole, kHoleLegend, 1},    {Pen::SourceMark, Look::Start, kStartLegend, 1},
                 {Pen::SourceMark, Look::End, kEndLegend, 1},      {Pen::MirrorAxis, Look::Line, kAxisLegend, 1}};
    for (int kindRow = 0; kindRow < 2; ++kindRow) {
        row();
        double at = x;
        for (const auto& kind : kinds) {
            if (kind.row != kindRow || (kind.pen == Pen::MirrorAxis && !legend.mode) || !canvas)
                continue;
            switch (kind.look) {
            case Look::Line: sample(kind.pen, at); break;
            case Look::Arrow:
                sample(kind.pen, at);
                canvas->Arrow(Pen::SourceMark, at + 20 + kArrowLength / 2, y, 1, 0);
                break;
            case Look::Hole:
                canvas->Circle(kind.pen, at + 20, y, kHoleRadius);
                canvas->Text(Pen::SourceMark, at + 25, y - 3, "1", TextAnchor::Start, false);
                break;
            case Look::Start: StartMark(*canvas, kind.pen, at + 20, y); break;
            case Look::End: canvas->Box(kind.pen, at + 20 - kEndHalf, y - kEndHalf, at + 20 + kEndHalf, y + kEndHalf); break;
            }
            text(at + 48, kind.text);
            at += 48 + kCharWidth * static_cast<double>(CodePoints(kind.text)) + 24;
        }
    }

    if (legend.mode) {
        row();
        if (canvas)
            text(x, kOverlapLegend);
    }
    if (picture.ProgramUnits()) {
        row();
        if (canvas)
            text(x, kProgramUnitsLegend);
    }
    const std::string offsets = OffsetNames(picture);
    if (!offsets.empty()) {
        row();
        if (canvas)
            text(x, OffsetLegend(offsets));
    }
    for (const PictureLayer layer : {PictureLayer::Source, PictureLayer::Mirror}) {
        if (picture.UnreadLines(layer) == 0)
            continue;
        row();
        if (canvas)
            text(x, UnreadLegend(layer == PictureLayer::Mirror, picture.UnreadLines(layer),
                                 picture.FirstUnreadLine(layer)));
    }
    return rows;
}

double LegendHeight(const CToolpathPicture& picture, const PictureLegend& legend)
{
    return Legend(picture, legend, nullptr, 0) * kLegendLine + kLegendPad;
}

// The drawing's extent with its margin; never empty.
void PaddedBounds(const CToolpathPicture& picture, double& minX, double& minY, double& maxX, double& maxY)
{
    const PictureBounds& b = picture.Bounds();
    double w = b.maxX - b.minX, h = b.maxY - b.minY;
    // A program that draws nothing (or one point) is shown on a view of one
    // unit.
    const double extent = std::max({w, h, 1.0});
    // A side shorter than a tenth of the other (a straight move) gets room too.
    const double least = std::max(extent / 10, 1.0);
    const double padX = std::max(w, least) * kViewPad + (w < least ? (least - w) / 2 : 0);
    const double padY = std::max(h, least) * kViewPad + (h < least ? (least - h) / 2 : 0);
    minX = b.minX - padX;
    maxX = b.maxX + padX;
    minY = b.minY - padY;
    maxY = b.maxY + padY;
}

// A round step for about `count` ticks over `range`: 1, 2 or 5 times a power of ten.
double TickStep(double range, int count, int& decimals)
{
    const double raw = range / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (const double m : {2.0, 5.0, 10.0})
        if (step < raw)
            step = power * m;
    decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    return step;
}

std::string TickLabel(double value, int decimals)
{
    std::string text;
    AppendFixed(text, std::fabs(value) < 1e-12 ? 0.0 : value, decimals);
    return text;
}

// A box in pixels.
struct Box {
    double left, top, right, bottom;
    bool Meets(const Box& o) const { return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom; }
};

// Where a label may go: its baseline's anchor point.
struct Spot {
    double x, y;
    TextAnchor anchor;
};

Box LabelBox(const Spot& spot, const std::string& text)
{
    const double w = kLabelCharWidth * static_cast<double>(CodePoints(text));
    const double left = spot.anchor == TextAnchor::Start ? spot.x : spot.anchor == TextAnchor::Middle ? spot.x - w / 2
                                                                                                      : spot.x - w;
    return Box{left, spot.y - kLabelAscent, left + w, spot.y + kLabelDescent};
}

// True when the segment crosses the box (its parameter clipped to it).
bool SegmentMeets(double x0, double y0, double x1, double y1, const Box& b)
{
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - b.left, b.right - x0, y0 - b.top, b.bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

// What is drawn of the paths, tested against label boxes: each item at
// most once per box, an arc by its box first and then by a few chords.
class CPathCover {
public:
    CPathCover(const CToolpathPicture& picture, bool mirror, const PictureFrame& f)
        : m_picture(picture), m_bMirror(mirror), m_frame(f)
    {
    }

    // How many drawn items the box meets, counting no further than `most`.
    std::size_t Crossings(const Box& box, std::size_t most) const
    {
        std::size_t count = 0;
        for (const PictureLayer layer : {PictureLayer::Source, PictureLayer::Mirror}) {
            if (layer == PictureLayer::Mirror && !m_bMirror)
                continue;
            for (const PictureItem& item : m_picture.Items(layer))
                if (ItemMeets(item, box) && ++count >= most)
                    return count;
            // The start and end marks.
            for (const PicturePoint p : {m_picture.First(layer), m_picture.Last(layer)}) {
                const double x = m_frame.PixelX(p.x), y = m_frame.PixelY(p.y), side = kStartRadius + 1;
                if (m_picture.HasEnds(layer) && box.Meets(Box{x - side, y - side, x + side, y + side}) &&
                    (count += kHoleWeight) >= most)
                    return count;
            }
            // A hole with its numbers beside it.
            for (const PicturePoint& hole : m_picture.Holes(layer)) {
                const double x = m_frame.PixelX(hole.x), y = m_frame.PixelY(hole.y), side = kHoleRadius + 16;
                // Worse to cover than a line: the number would be lost.
                if (box.Meets(Box{x - side, y - side, x + side, y + side}) && (count += kHoleWeight) >= most)
                    return count;
            }
        }
        return count;
    }

private:
    bool ItemMeets(const PictureItem& item, const Box& box) const
    {
        const PictureFrame& f = m_frame;
        if (item.type == PictureItem::Type::Line)
            return SegmentMeets(f.PixelX(item.x0), f.PixelY(item.y0), f.PixelX(item.x1), f.PixelY(item.y1), box);
        const double cx = f.PixelX(item.cx), cy = f.PixelY(item.cy), r = item.r * f.scale;
        if (!box.Meets(Box{cx - r, cy - r, cx + r, cy + r}))
            return false;
        const double from = std::atan2(item.y0 - item.cy, item.x0 - item.cx);
        const double sweep = (item.clockwise ? -1 : 1) * ArcSweep(item);
        double px = cx + r * std::cos(from), py = cy - r * std::sin(from);
        for (int i = 1; i <= kArcChords; ++i) {
            const double a = from + sweep * i / kArcChords;
            const double x = cx + r * std::cos(a), y = cy - r * std::sin(a);
            if (SegmentMeets(px, py, x, y, box))
                return true;
            px = x;
            py = y;
        }
        return false;
    }

    const CToolpathPicture& m_picture;
    bool m_bMirror;
    PictureFrame m_frame;
};

// The labels placed so far, and the path: a label goes to the first spot
// where it covers neither (else to the first spot).
class CLabelPlaces {
public:
    explicit CLabelPlaces(const CPathCover& cover) : m_cover(cover) {}

    Spot Place(std::initializer_list<Spot> spots, const std::string& text)
    {
        // The first spot that meets nothing; where every one meets
        // something, the one that meets least (the earlier on a tie).
        const Spot* chosen = spots.begin();
        std::size_t least = SIZE_MAX;
        for (const Spot& spot : spots) {
            const Box box = LabelBox(spot, text);
            const bool free = std::none_of(m_placed.begin(), m_placed.end(), [&](const Box& b) { return b.Meets(box); });
            const std::size_t crossings = free ? m_cover.Crossings(box, least) : SIZE_MAX;
            if (crossings < least) {
                least = crossings;
                chosen = &spot;
            }
            if (least == 0)
                break;
        }
        m_placed.push_back(LabelBox(*chosen, text));
        return *chosen;
    }

private:
    const CPathCover& m_cover;
    std::vector<Box> m_placed;
};

void DrawFrame(const PictureFrame& f, CPictureCanvas& canvas, CLabelPlaces& places)
{
    canvas.BeginPath(Pen::Frame);
    canvas.MoveTo(f.left, f.top);
    canvas.LineTo(f.left, f.bottom);
    canvas.LineTo(f.right, f.bottom);
    canvas.EndPath();

    int decimals = 0;
    const double xMin = (f.left - f.originX) / f.scale, xMax = (f.right - f.originX) / f.scale;
    double step = TickStep(xMax - xMin, 8, decimals);
    for (double k = std::ceil(xMin / step), n = 0; k * step <= xMax && n < kMaxTicks; ++k, ++n) {
        const double x = k * step;
        const double px = f.PixelX(x);
        canvas.BeginPath(Pen::Frame);
        canvas.MoveTo(px, f.bottom);
        canvas.LineTo(px, f.bottom + kTick);
        canvas.EndPath();
        canvas.Text(Pen::Text, px, f.bottom + kTick + 13, TickLabel(x, decimals), TextAnchor::Middle, false);
    }
    // The axes' names beside their ends, inside the area only where the
    // path leaves room.
    Spot at = places.Place({{f.right, f.bottom - 6, TextAnchor::End},
                            {f.right, f.bottom - 22, TextAnchor::End},
                            {f.right - 40, f.bottom - 6, TextAnchor::End}},
                           "X");
    canvas.Text(Pen::Text, at.x, at.y, "X", at.anchor, true);

    const double yMin = (f.originY - f.bottom) / f.scale, yMax = (f.originY - f.top) / f.scale;
    step = TickStep(yMax - yMin, 5, decimals);
    for (double k = std::ceil(yMin / step), n = 0; k * step <= yMax && n < kMaxTicks; ++k, ++n) {
        const double y = k * step;
        const double py = f.PixelY(y);
        canvas.BeginPath(Pen::Frame);
        canvas.MoveTo(f.left - kTick, py);
        canvas.LineTo(f.left, py);
        canvas.EndPath();
        canvas.Text(Pen::Text, f.left - kTick - 3, py + 4, TickLabel(y, decimals), TextAnchor::End, false);
    }
    at = places.Place({{f.left + 6, f.top + 12, TextAnchor::Start},
                       {f.left + 22, f.top + 12, TextAnchor::Start},
                       {f.left + 6, f.top + 28, TextAnchor::Start}},
                      "Y");
    canvas.Text(Pen::Text, at.x, at.y, "Y", at.anchor, true);
}

// The mirror's line or point (the axes, or the position given), in pixels.
struct MirrorPlace {
    bool centre, horizontal;
    double x, y;
};

MirrorPlace PlaceOfMirror(const PictureFrame& f, const PictureLegend& legend)
{
    const MirrorMode& mode = *legend.mode;
    return MirrorPlace{mode.negatesX && mode.negatesY, mode.negatesY && !mode.negatesX,
                       f.PixelX(legend.positionX), f.PixelY(legend.positionY)};
}

// The axis or the cross at the centre; drawn within the area.
void DrawMirrorAxis(const PictureFrame& f, const PictureLegend& legend, CPictureCanvas& canvas)
{
    const MirrorPlace m = PlaceOfMirror(f, legend);
    canvas.BeginPath(m.centre ? Pen::MirrorCentre : Pen::MirrorAxis);
    if (m.centre) {
        canvas.MoveTo(m.x - kCrossArm, m.y);
        canvas.LineTo(m.x + kCrossArm, m.y);
        canvas.MoveTo(m.x, m.y - kCrossArm);
        canvas.LineTo(m.x, m.y + kCrossArm);
    } else if (m.horizontal) {
        canvas.MoveTo(f.left, m.y);
        canvas.LineTo(f.right, m.y);
    } else {
        canvas.MoveTo(m.x, f.top);
        canvas.LineTo(m.x, f.bottom);
    }
    canvas.EndPath();
}

// The axis's or centre's name where it is in view, at the first of a few
// spots beside it that covers no path.
void DrawMirrorName(const PictureFrame& f, const PictureLegend& legend, CPictureCanvas& canvas,
                    CLabelPlaces& places)
{
    const MirrorPlace m = PlaceOfMirror(f, legend);
    const bool inX = m.x >= f.left && m.x <= f.right, inY = m.y >= f.top && m.y <= f.bottom;
    if (!(m.centre ? inX && inY : m.horizontal ? inY : inX))
        return;
    const std::string name = MirrorAxisLabel(*legend.mode, legend.atX, legend.atY);
    Spot at{};
    if (m.centre) {
        const double near = kCrossArm / 2 + 2, far = kCrossArm + 4;
        at = places.Place({{m.x + near, m.y - near, TextAnchor::Start},
                           {m.x - near, m.y - near, TextAnchor::End},
                           {m.x + near, m.y + near + kLabelAscent, TextAnchor::Start},
                           {m.x - near, m.y + near + kLabelAscent, TextAnchor::End},
                           {m.x + far, m.y - far, TextAnchor::Start},
                           {m.x - far, m.y + far + kLabelAscent, TextAnchor::End}},
                          name);
    } else if (m.horizontal) {
        const double middle = (f.left + f.right) / 2, quarter = (f.right - f.left) / 4, below = m.y + 6 + kLabelAscent;
        at = places.Place({{f.right - 4, m.y - 6, TextAnchor::End},
                           {f.right - 4, below, TextAnchor::End},
                           {f.left + 4, m.y - 6, TextAnchor::Start},
                           {f.left + 4, below, TextAnchor::Start},
                           {middle, m.y - 6, TextAnchor::Middle},
                           {middle, below, TextAnchor::Middle},
                           {middle + quarter, m.y - 6, TextAnchor::Middle},
                           {middle - quarter, m.y - 6, TextAnchor::Middle},
                           {middle + quarter, below, TextAnchor::Middle},
                           {middle - quarter, below, TextAnchor::Middle}},
                          name);
    } else {
        const double middle = (f.top + f.bottom) / 2, quarter = (f.bottom - f.top) / 4;
        at = places.Place({{m.x + 4, f.top - 8, TextAnchor::Start},
                           {m.x - 4, f.top - 8, TextAnchor::End},
                           {m.x + 4, f.bottom - 6, TextAnchor::Start},
                           {m.x - 4, f.bottom - 6, TextAnchor::End},
                           {m.x + 4, middle, TextAnchor::Start},
                           {m.x - 4, middle, TextAnchor::End},
                           {m.x + 4, middle - quarter, TextAnchor::Start},
                           {m.x + 4, middle + quarter, TextAnchor::Start}},
                          name);
    }
    canvas.Text(Pen::Text, at.x, at.y, name, at.anchor, false);
}

void DrawLayer(const CToolpathPicture& picture, PictureLayer layer, const PictureFrame& f, CPictureCanvas& canvas)
{
    const bool mirror = layer == PictureLayer::Mirror;
    const Pen feed = mirror ? Pen::MirrorFeed : Pen::SourceFeed;
    const Pen rapid = mirror ? Pen::MirrorRapid : Pen::SourceRapid;
    bool open = false;
    Pen pen = feed;
    double lastX = 0, lastY = 0;
    std::size_t pieces = 0;
    for (const PictureItem& item : picture.Items(layer)) {
        if (item.type == PictureItem::Type::Circle) {
            if (open)
                canvas.EndPath();
            open = false;
            canvas.Circle(feed, f.PixelX(item.cx), f.PixelY(item.cy), item.r * f.scale);
            continue;
        }
        const Pen itemPen = item.type == PictureItem::Type::Line && item.rapid ? rapid : feed;
        const bool joins = open && itemPen == pen && item.x0 == lastX && item.y0 == lastY && pieces < kPiecesPerPath;
        if (!joins) {
            if (open)
                canvas.EndPath();
            canvas.BeginPath(itemPen);
            canvas.MoveTo(f.PixelX(item.x0), f.PixelY(item.y0));
            open = true;
            pen = itemPen;
            pieces = 0;
        }
        if (item.type == PictureItem::Type::Line || item.r * f.scale > kFlatArcRadius)
            canvas.LineTo(f.PixelX(item.x1), f.PixelY(item.y1));
        else
            canvas.ArcTo(f.PixelX(item.x1), f.PixelY(item.y1), f.PixelX(item.cx), f.PixelY(item.cy),
                         item.r * f.scale, item.clockwise, item.large);
        ++pieces;
        lastX = item.x1;
        lastY = item.y1;
    }
    if (open)
        canvas.EndPath();
    for (const PicturePoint& hole : picture.Holes(layer))
        canvas.Circle(mirror ? Pen::MirrorHole : Pen::SourceHole, f.PixelX(hole.x), f.PixelY(hole.y), kHoleRadius);
}

bool IsFeed(const PictureItem& item) { return item.type != PictureItem::Type::Line || !item.rapid; }

// An item's length in pixels.
double PixelLength(const PictureItem& item, const PictureFrame& f)
{
    if (item.type == PictureItem::Type::Line)
        return f.scale * std::hypot(item.x1 - item.x0, item.y1 - item.y0);
    return f.scale * item.r * ArcSweep(item);
}

// Arrows along a layer's feed moves in their direction, the first half a
// spacing from the start of the path; only those inside the area drawn.
void DrawArrows(const CToolpathPicture& picture, PictureLayer layer, const PictureFrame& f, CPictureCanvas& canvas)
{
    const Pen pen = layer == PictureLayer::Mirror ? Pen::MirrorMark : Pen::SourceMark;
    double total = 0;
    for (const PictureItem& item : picture.Items(layer))
        if (IsFeed(item))
            total += PixelLength(item, f);
    if (!(total > 0) || !std::isfinite(total))
        return;
    const double spacing = std::max(kArrowSpacing, total / kMaxArrows);
    double next = spacing / 2;
    int arrows = 0;
    // Passes over the same path (a helix, a finishing pass) get no second
    // arrow next to one drawn: at most kMaxArrows are compared.
    std::vector<PicturePoint> drawn;
    const auto near = [&](double x, double y) {
        return std::any_of(drawn.begin(), drawn.end(),
                           [&](const PicturePoint& p) { return std::hypot(p.x - x, p.y - y) < kArrowSpacing / 3; });
    };
    for (const PictureItem& item : picture.Items(layer)) {
        if (!IsFeed(item))
            continue;
        const double length = PixelLength(item, f);
        for (; next <= length && arrows < kMaxArrows; next += spacing, ++arrows) {
            double x = 0, y = 0, dx = 0, dy = 0;  // in program units, y up
            if (item.type == PictureItem::Type::Line) {
                const double t = next / length;
                x = item.x0 + t * (item.x1 - item.x0);
                y = item.y0 + t * (item.y1 - item.y0);
                dx = item.x1 - item.x0;
                dy = item.y1 - item.y0;
            } else {
                const double sign = item.clockwise ? -1 : 1;
                const double a = std::atan2(item.y0 - item.cy, item.x0 - item.cx) + sign * next / (f.scale * item.r);
                x = item.cx + item.r * std::cos(a);
                y = item.cy + item.r * std::sin(a);
                dx = -sign * std::sin(a);
                dy = sign * std::cos(a);
            }
            const double d = std::hypot(dx, dy);
            if (!(d > 0))
                continue;
            // On the screen y runs down; the arrow's middle on the path.
            const double ux = dx / d, uy = -dy / d;
            const double px = f.PixelX(x) + ux * kArrowLength / 2, py = f.PixelY(y) + uy * kArrowLength / 2;
            if (px >= f.left && px <= f.right && py >= f.top && py <= f.bottom && !near(px, py)) {
                canvas.Arrow(pen, px, py, ux, uy);
                drawn.push_back(PicturePoint{px, py});
            }
        }
        next -= length;
    }
}

// The start and end of a layer's path, its holes' numbers and its offsets' names.
void DrawMarks(const CToolpathPicture& picture, PictureLayer layer, const PictureFrame& f, CPictureCanvas& canvas)
{
    const Pen pen = layer == PictureLayer::Mirror ? Pen::MirrorMark : Pen::SourceMark;
    const std::vector<PicturePoint>& holes = picture.Holes(layer);
    // The source's numbers above right of a hole, the mirror's below left:
    // both read where the holes coincide.
    const bool mirror = layer == PictureLayer::Mirror;
    const double dx = mirror ? -kHoleRadius - 1 : kHoleRadius + 1;
    const double dy = mirror ? kHoleRadius + kLabelAscent : -kHoleRadius - 1;
    if (holes.size() <= kMaxNumberedHoles)
        for (std::size_t i = 0; i < holes.size(); ++i)
            canvas.Text(pen, f.PixelX(holes[i].x) + dx, f.PixelY(holes[i].y) + dy, std::to_string(i + 1),
                        mirror ? TextAnchor::End : TextAnchor::Start, false);
    for (const PictureOffsetMark& mark : picture.OffsetMarks(layer)) {
        const double x = f.PixelX(mark.x), y = f.PixelY(mark.y);
        canvas.Box(pen, x - 3, y - 3, x + 3, y + 3);
        canvas.Text(pen, x + 6, y + 16, WorkOffsetName(mark.offset, mark.number), TextAnchor::Start, true);
    }
    if (picture.HasEnds(layer)) {
        const PicturePoint last = picture.Last(layer), first = picture.First(layer);
        const double ex = f.PixelX(last.x), ey = f.PixelY(last.y);
        canvas.Box(pen, ex - kEndHalf, ey - kEndHalf, ex + kEndHalf, ey + kEndHalf);
        StartMark(canvas, pen, f.PixelX(first.x), f.PixelY(first.y));
    }
}

// The red band over the picture: how many of the lines with moves the
// picture lacks.
void DrawBanner(const CToolpathPicture& picture, int width, CPictureCanvas& canvas)
{
    const bool mirror = !LacksMuchOfItsPath(picture, PictureLayer::Source);
    const PictureLayer layer = mirror ? PictureLayer::Mirror : PictureLayer::Source;
    canvas.Box(Pen::Banner, 0, 2, width, kBanner);
    canvas.Text(Pen::BannerText, width / 2.0, kBanner - 8,
                BannerText(mirror, picture.UnreadMotionLines(layer), picture.MotionLines(layer)),
                TextAnchor::Middle, true);
}

}  // namespace

bool LacksMuchOfItsPath(const CToolpathPicture& picture, PictureLayer layer)
{
    return Lacks(picture.UnreadMotionLines(layer), picture.MotionLines(layer));
}

void PictureView::ZoomAbout(double x, double y, double factor)
{
    if (!std::isfinite(factor) || factor <= 0)
        return;
    const double zoomed = std::clamp(zoom * factor, kMinZoom, kMaxZoom);
    const double k = zoomed / zoom;
    // The pixel (x, y) shows the point it showed before.
    shiftX = x - k * (x - shiftX);
    shiftY = y - k * (y - shiftY);
    zoom = zoomed;
}

PictureFrame PictureView::Apply(const PictureFrame& fitted) const
{
    PictureFrame f = fitted;
    f.scale = fitted.scale * zoom;
    f.originX = fitted.originX * zoom + shiftX;
    f.originY = fitted.originY * zoom + shiftY;
    return f;
}

PenStyle PenStyleOf(Pen pen)
{
    constexpr unsigned kGrey = 0x9A9A9A, kLight = 0xC4C4C4, kStrong = 0xD01C1C, kAxis = 0x1F7A3A, kDark = 0x303030;
    constexpr unsigned kGreyMark = 0x5A5A5A, kStrongMark = 0x9C1010, kWhite = 0xFFFFFF;
    switch (pen) {
    // The source wide and light, the mirror thin and strong over it: where
    // the two coincide, both stay visible.
    case Pen::SourceFeed: return Style(kLight, 5);
    case Pen::SourceRapid: return Style(kGrey, 1, true);
    case Pen::MirrorFeed: return Style(kStrong, 1.5);
    case Pen::MirrorRapid: return Style(kStrong, 1, true);
    case Pen::SourceHole: return Style(kGrey, 1.5);
    case Pen::MirrorHole: return Style(kStrong, 1.5);
    case Pen::MirrorAxis: return Style(kAxis, 1.5, false, true);
    case Pen::MirrorCentre: return Style(kAxis, 2);
    case Pen::Frame: return Style(kDark, 1);
    case Pen::Text: return Style(kDark, 1);
    case Pen::SourceMark: return Style(kGreyMark, 1);
    case Pen::MirrorMark: return Style(kStrongMark, 1);
    case Pen::Banner: return Style(kStrong, 1);
    case Pen::BannerText: return Style(kWhite, 1);
    }
    return Style(kDark, 1);
}

PictureLayout LayOutPicture(const CToolpathPicture& picture, const PictureLegend& legend, int width, int height)
{
    PictureLayout layout;
    layout.width = width;
    layout.height = height;
    layout.legendTop = height - LegendHeight(picture, legend);
    PictureFrame& f = layout.frame;
    f.left = kLeft;
    f.top = TopMargin(picture);
    f.right = std::max(f.left + 1, width - kRight);
    f.bottom = std::max(f.top + 1, layout.legendTop - kBottom);

    double minX, minY, maxX, maxY;
    PaddedBounds(picture, minX, minY, maxX, maxY);
    f.scale = std::min((f.right - f.left) / (maxX - minX), (f.bottom - f.top) / (maxY - minY));
    // Centred in the area.
    f.originX = (f.left + f.right) / 2 - f.scale * (minX + maxX) / 2;
    f.originY = (f.top + f.bottom) / 2 + f.scale * (minY + maxY) / 2;
    return layout;
}

void PictureFileSize(const CToolpathPicture& picture, const PictureLegend& legend, int& width, int& height)
{
    double minX, minY, maxX, maxY;
    PaddedBounds(picture, minX, minY, maxX, maxY);
    const double areaWidth = kFileWidth - kLeft - kRight;
    const double fitted = areaWidth * (maxY - minY) / (maxX - minX);
    const double areaHeight = std::isfinite(fitted) ? std::clamp(fitted, kMinFileArea, kMaxFileArea) : kMinFileArea;
    width = kFileWidth;
    height = static_cast<int>(std::ceil(TopMargin(picture) + areaHeight + kBottom + LegendHeight(picture, legend)));
}

void DrawPicture(const CToolpathPicture& picture, const PictureLegend& legend, const PictureLayout& layout,
                 CPictureCanvas& canvas)
{
    const PictureFrame& f = layout.frame;
    const CPathCover cover(picture, legend.mode != nullptr, f);
    CLabelPlaces places(cover);
    DrawFrame(f, canvas, places);
    // A zoomed view reaches beyond the area: what lies outside is not drawn.
    canvas.Clip(f.left, f.top, f.right, f.bottom);
    std::vector<PictureLayer> layers = {PictureLayer::Source};
    if (legend.mode)
        layers.push_back(PictureLayer::Mirror);
    for (const PictureLayer layer : layers)
        DrawLayer(picture, layer, f, canvas);
    for (const PictureLayer layer : layers) {
        DrawArrows(picture, layer, f, canvas);
        DrawMarks(picture, layer, f, canvas);
    }
    // Over the paths, so that paths through the origin do not hide it.
    if (legend.mode)
        DrawMirrorAxis(f, legend, canvas);
    canvas.Unclip();
    if (legend.mode)
        DrawMirrorName(f, legend, canvas, places);
    Legend(picture, legend, &canvas, layout.legendTop);
    if (Banner(picture))
        DrawBanner(picture, layout.width, canvas);
}
