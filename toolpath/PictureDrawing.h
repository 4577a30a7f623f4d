// The toolpath picture laid out and drawn on a canvas: the view fitted to
// what is drawn with a margin, Y up, the X and Y axes of the picture with a
// few labelled ticks, the mirror's axis (or a cross at the origin) with its
// name, the source path in grey and the mirrored path in a strong colour,
// and a legend with the file names and the mode below.
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

// The layout of a picture of `width` x `height` pixels.
PictureLayout LayOutPicture(const CToolpathPicture& picture, const PictureLegend& legend, int width, int height);

// The size of a picture file: 1000 pixels wide, as high as the drawing's
// proportions ask (within limits).
void PictureFileSize(const CToolpathPicture& picture, const PictureLegend& legend, int& width, int& height);

void DrawPicture(const CToolpathPicture& picture, const PictureLegend& legend, const PictureLayout& layout,
                 CPictureCanvas& canvas);
