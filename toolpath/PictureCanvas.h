// Where a toolpath picture is drawn: an SVG file or a window. The picture
// (PictureDrawing.h) says what to draw in pixels, y down; a canvas draws it
// with the pen's look from PenStyleOf, so that every canvas looks the same.
#pragma once

#include <string>

enum class Pen {
    SourceFeed,   // the source program's feed moves: grey, solid
    SourceRapid,  // its rapid moves: grey, dashed and thin
    MirrorFeed,   // the mirrored program's feed moves: the strong colour, solid
    MirrorRapid,  // its rapid moves: dashed and thin
    SourceHole,   // hole positions: small circles
    MirrorHole,
    MirrorAxis,   // the mirror's axis: dash-dot
    MirrorCentre, // the cross of a mirror about the origin: solid
    Frame,        // the X and Y axes of the picture, their ticks
    Text,         // labels and legend
    SourceMark,   // the source's arrows, start and end marks, hole numbers, offset names: filled
    MirrorMark,   // the same of the mirrored program
    Banner,       // the band over a picture that lacks much of its path: filled
    BannerText,   // white: the words on it, the middle of a start mark
};
constexpr int kPenCount = static_cast<int>(Pen::BannerText) + 1;

struct PenStyle {
    unsigned rgb;    // 0xRRGGBB
    double width;    // pixels
    bool dashed;     // dashes of 6 px with gaps of 4 px
    bool dashDot;    // a long dash, a gap, a dot, a gap
};

PenStyle PenStyleOf(Pen pen);

enum class TextAnchor { Start, Middle, End };

class CPictureCanvas {
public:
    virtual ~CPictureCanvas() = default;

    // A path of straight and circular pieces, drawn with one pen.
    virtual void BeginPath(Pen pen) = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    // A circular piece from the current point to (x, y) about (cx, cy):
    // `clockwise` as seen on the picture, `large` when it spans more than
    // half a circle.
    virtual void ArcTo(double x, double y, double cx, double cy, double r, bool clockwise, bool large) = 0;
    virtual void EndPath() = 0;

    virtual void Circle(Pen pen, double cx, double cy, double r) = 0;
    // Filled with the pen's colour: a circle, and a rectangle.
    virtual void Disc(Pen pen, double cx, double cy, double r) = 0;
    virtual void Box(Pen pen, double left, double top, double right, double bottom) = 0;
    // An arrowhead of the pen's colour with its tip at (x, y), pointing
    // along the unit vector (dx, dy).
    virtual void Arrow(Pen pen, double x, double y, double dx, double dy) = 0;
    // UTF-8 text in the pen's colour whose baseline starts, centres or ends at (x, y).
    virtual void Text(Pen pen, double x, double y, const std::string& utf8, TextAnchor anchor, bool bold) = 0;
    // What follows is drawn within this rectangle only (a zoomed view
    // reaches beyond its area), until Unclip.
    virtual void Clip(double left, double top, double right, double bottom) = 0;
    virtual void Unclip() = 0;
};

// The arrowhead's length and half its width, in pixels.
constexpr double kArrowLength = 10, kArrowHalfWidth = 4;
