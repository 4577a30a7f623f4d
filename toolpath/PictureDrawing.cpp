#include "PictureDrawing.h"

#include "MirrorModes.h"
#include "NumberText.h"
#include "ToolpathTexts.h"

#include <algorithm>
#include <cmath>

namespace {

// Margins of the drawing area, in pixels: room for the tick labels and the
// name of the mirror's axis.
constexpr double kLeft = 64, kRight = 24, kTop = 28, kBottom = 36;
constexpr double kLegendLine = 18, kLegendPad = 12;
constexpr double kViewPad = 0.04;  // part of the drawing's extent left free around it
constexpr int kFileWidth = 1000;
constexpr double kMinFileArea = 300, kMaxFileArea = 760;
constexpr int kMaxTicks = 20;
constexpr double kTick = 5, kHoleRadius = 3, kCrossArm = 24;
constexpr std::size_t kPiecesPerPath = 2000;
constexpr double kCharWidth = 7;  // a legend character, for laying out one row
// An arc of a larger radius, in pixels, that lies within the view is its
// chord to a fraction of a pixel: drawn as one, its far centre never
// reaches a canvas.
constexpr double kFlatArcRadius = 1e7;

PenStyle Style(unsigned rgb, double width, bool dashed = false, bool dashDot = false)
{
    return PenStyle{rgb, width, dashed, dashDot};
}

int LegendLines(const CToolpathPicture& picture, const PictureLegend& legend)
{
    int lines = 2 + (legend.mode ? 1 : 0);
    for (const PictureLayer layer : {PictureLayer::Source, PictureLayer::Mirror})
        lines += picture.UnreadLines(layer) > 0 ? 1 : 0;
    return lines;
}

double LegendHeight(const CToolpathPicture& picture, const PictureLegend& legend)
{
    return LegendLines(picture, legend) * kLegendLine + kLegendPad;
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

std::size_t CodePoints(const std::string& utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

void DrawFrame(const PictureFrame& f, CPictureCanvas& canvas)
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
        canvas.Text(px, f.bottom + kTick + 13, TickLabel(x, decimals), TextAnchor::Middle, false);
    }
    canvas.Text(f.right, f.bottom - 6, "X", TextAnchor::End, true);

    const double yMin = (f.originY - f.bottom) / f.scale, yMax = (f.originY - f.top) / f.scale;
    step = TickStep(yMax - yMin, 5, decimals);
    for (double k = std::ceil(yMin / step), n = 0; k * step <= yMax && n < kMaxTicks; ++k, ++n) {
        const double y = k * step;
        const double py = f.PixelY(y);
        canvas.BeginPath(Pen::Frame);
        canvas.MoveTo(f.left - kTick, py);
        canvas.LineTo(f.left, py);
        canvas.EndPath();
        canvas.Text(f.left - kTick - 3, py + 4, TickLabel(y, decimals), TextAnchor::End, false);
    }
    canvas.Text(f.left + 6, f.top + 12, "Y", TextAnchor::Start, true);
}

void DrawMirrorAxis(const PictureFrame& f, const PictureLegend& legend, CPictureCanvas& canvas)
{
    // The mirror's line or point: the axes, or the position given.
    const MirrorMode& mode = *legend.mode;
    const double ox = f.PixelX(legend.positionX), oy = f.PixelY(legend.positionY);
    const std::string label = MirrorAxisLabel(mode, legend.atX, legend.atY);
    const bool centre = mode.negatesX && mode.negatesY;
    canvas.BeginPath(centre ? Pen::MirrorCentre : Pen::MirrorAxis);
    if (centre) {
        canvas.MoveTo(ox - kCrossArm, oy);
        canvas.LineTo(ox + kCrossArm, oy);
        canvas.MoveTo(ox, oy - kCrossArm);
        canvas.LineTo(ox, oy + kCrossArm);
        canvas.EndPath();
        canvas.Text(ox + kCrossArm / 2 + 2, oy - kCrossArm / 2 - 2, label, TextAnchor::Start, false);
    } else if (mode.negatesY) {
        canvas.MoveTo(f.left, oy);
        canvas.LineTo(f.right, oy);
        canvas.EndPath();
        canvas.Text(f.right - 4, oy - 6, label, TextAnchor::End, false);
    } else {
        canvas.MoveTo(ox, f.top);
        canvas.LineTo(ox, f.bottom);
        canvas.EndPath();
        canvas.Text(ox + 4, f.top - 8, label, TextAnchor::Start, false);
    }
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

// A short stroke of `pen` as the legend's sample at (x, y).
void Sample(CPictureCanvas& canvas, Pen pen, double x, double y)
{
    canvas.BeginPath(pen);
    canvas.MoveTo(x, y);
    canvas.LineTo(x + 40, y);
    canvas.EndPath();
}

void DrawLegend(const CToolpathPicture& picture, const PictureLegend& legend, const PictureLayout& layout,
                CPictureCanvas& canvas)
{
    const double x = 16, textX = 64;
    double y = layout.legendTop + kLegendPad / 2 + kLegendLine / 2;
    Sample(canvas, Pen::SourceFeed, x, y);
    canvas.Text(textX, y + 4, SourceLegend(legend.sourceName), TextAnchor::Start, false);
    if (legend.mode) {
        y += kLegendLine;
        Sample(canvas, Pen::MirrorFeed, x, y);
        canvas.Text(textX, y + 4, MirrorLegend(legend.mirrorName, *legend.mode, legend.atX, legend.atY),
                    TextAnchor::Start, false);
    }

    // The kinds of moves in one row.
    y += kLegendLine;
    double at = x;
    const struct {
        Pen pen;
        const char* text;
        bool hole;
    } kinds[] = {{Pen::SourceRapid, kRapidLegend, false},
                 {Pen::SourceFeed, kFeedLegend, false},
                 {Pen::SourceHole, kHoleLegend, true},
                 {Pen::MirrorAxis, kAxisLegend, false}};
    for (const auto& kind : kinds) {
        if (kind.pen == Pen::MirrorAxis && !legend.mode)
            continue;
        if (kind.hole)
            canvas.Circle(kind.pen, at + 20, y, kHoleRadius);
        else
            Sample(canvas, kind.pen, at, y);
        canvas.Text(at + 48, y + 4, kind.text, TextAnchor::Start, false);
        at += 48 + kCharWidth * static_cast<double>(CodePoints(kind.text)) + 24;
    }

    for (const PictureLayer layer : {PictureLayer::Source, PictureLayer::Mirror}) {
        if (picture.UnreadLines(layer) == 0)
            continue;
        y += kLegendLine;
        canvas.Text(x, y + 4,
                    UnreadLegend(layer == PictureLayer::Mirror, picture.UnreadLines(layer),
                                 picture.FirstUnreadLine(layer)),
                    TextAnchor::Start, false);
    }
}

}  // namespace

PenStyle PenStyleOf(Pen pen)
{
    constexpr unsigned kGrey = 0x9A9A9A, kStrong = 0xD01C1C, kAxis = 0x1F7A3A, kDark = 0x303030;
    switch (pen) {
    case Pen::SourceFeed: return Style(kGrey, 3);
    case Pen::SourceRapid: return Style(kGrey, 1, true);
    case Pen::MirrorFeed: return Style(kStrong, 1.5);
    case Pen::MirrorRapid: return Style(kStrong, 1, true);
    case Pen::SourceHole: return Style(kGrey, 1.5);
    case Pen::MirrorHole: return Style(kStrong, 1.5);
    case Pen::MirrorAxis: return Style(kAxis, 1.5, false, true);
    case Pen::MirrorCentre: return Style(kAxis, 2);
    case Pen::Frame: return Style(kDark, 1);
    case Pen::Text: return Style(kDark, 1);
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
    f.top = kTop;
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
    height = static_cast<int>(std::ceil(kTop + areaHeight + kBottom + LegendHeight(picture, legend)));
}

void DrawPicture(const CToolpathPicture& picture, const PictureLegend& legend, const PictureLayout& layout,
                 CPictureCanvas& canvas)
{
    DrawFrame(layout.frame, canvas);
    DrawLayer(picture, PictureLayer::Source, layout.frame, canvas);
    if (legend.mode) {
        DrawLayer(picture, PictureLayer::Mirror, layout.frame, canvas);
        // Over the paths, so that paths through the origin do not hide it.
        DrawMirrorAxis(layout.frame, legend, canvas);
    }
    DrawLegend(picture, legend, layout, canvas);
}
