// The toolpath picture laid out and drawn on a canvas: the view fitted to
// what is drawn with a margin, Y up, the X and Y axes of the picture with a
// few labelled ticks, the mirror's axis (or a cross at the origin) with its
// name, the source path wide in light grey and the mirrored path thin in a
// strong colour over it, arrows along the feed moves, the start and end of
// each path, holes numbered in order, the names of work offsets where they
// change, labels placed off the path, a red band over the top when much of
// the path could not be read, and a legend with the file names and the
// mode below.
#pragma once

#include "PictureCanvas.h"
#include "ToolpathPicture.h"

#include <string>

struct MirrorMode;

struct PictureLegend {
    std::string sourceName;
    std::string mirrorName;
    const MirrorMode* mode = nullptr;  // null: the source alone
    std::string atX, atY;              // the mirror's position as decimal text; empty: the axis
    double positionX = 0, positionY = 0;
};

// Program coordinates to pixels of the picture, y up.
struct PictureFrame {
    double scale = 1;
    double originX = 0, originY = 0;  // the pixel of the program's origin
    double left = 0, top = 0, right = 0, bottom = 0;  // the drawing area, in pixels

    double PixelX(double x) const { return originX + scale * x; }
    double PixelY(double y) const { return originY - scale * y; }
};

struct PictureLayout {
    int width = 0, height = 0;
    double legendTop = 0;  // the legend's band runs from here to the bottom
    PictureFrame frame;
};

// A window's view of the layout's frame: zoomed by `zoom` about the
// window's pixel (0, 0), then shifted by (shiftX, shiftY) pixels.
struct PictureView {
    static constexpr double kMinZoom = 0.125, kMaxZoom = 4096;
    double zoom = 1;
    double shiftX = 0, shiftY = 0;

    // Zoomed by `factor` (within the limits) about the pixel (x, y), which
    // keeps showing the same point.
    void ZoomAbout(double x, double y, double factor);
    void Pan(double dx, double dy)
    {
        shiftX += dx;
        shiftY += dy;
    }
    // The whole picture again.
    void Fit() { *this = PictureView(); }
    PictureFrame Apply(const PictureFrame& fitted) const;
};

// The layout of a picture of `width` x `height` pixels.
PictureLayout LayOutPicture(const CToolpathPicture& picture, const PictureLegend& legend, int width, int height);

// The size of a picture file: 1000 pixels wide, as high as the drawing's
// proportions ask (within limits).
void PictureFileSize(const CToolpathPicture& picture, const PictureLegend& legend, int& width, int& height);

void DrawPicture(const CToolpathPicture& picture, const PictureLegend& legend, const PictureLayout& layout,
                 CPictureCanvas& canvas);

// Arrows along the feed moves: one per this many pixels of path, at most
// kMaxArrows of a layer (sparser on a longer path).
constexpr double kArrowSpacing = 120;
constexpr int kMaxArrows = 400;
// Holes are numbered when a layer has at most this many.
constexpr std::size_t kMaxNumberedHoles = 50;
// More than 1/20 of the lines with X, Y, I or J not read: the red band.
bool LacksMuchOfItsPath(const CToolpathPicture& picture, PictureLayer layer);
