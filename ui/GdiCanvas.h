// The toolpath picture drawn with GDI into a device context: each pen of
// the picture a geometric pen of its colour, width and dashes (and a brush
// of its colour for what is filled), arcs as GDI arcs, arrows as
// triangles, texts in a font with the Cyrillic character set.
#pragma once

#include "PictureCanvas.h"
#include "w32/GdiObject.h"

#include <windows.h>

class CGdiCanvas final : public CPictureCanvas {
public:
    explicit CGdiCanvas(HDC dc);
    ~CGdiCanvas() override;
    CGdiCanvas(const CGdiCanvas&) = delete;
    CGdiCanvas& operator=(const CGdiCanvas&) = delete;

    void BeginPath(Pen pen) override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void ArcTo(double x, double y, double cx, double cy, double r, bool clockwise, bool large) override;
    void EndPath() override;
    void Circle(Pen pen, double cx, double cy, double r) override;
    void Disc(Pen pen, double cx, double cy, double r) override;
    void Box(Pen pen, double left, double top, double right, double bottom) override;
    void Arrow(Pen pen, double x, double y, double dx, double dy) override;
    void Text(Pen pen, double x, double y, const std::string& utf8, TextAnchor anchor, bool bold) override;
    void Clip(double left, double top, double right, double bottom) override;
    void Unclip() override;

private:
    HPEN PenOf(Pen pen);
    HBRUSH BrushOf(Pen pen);

    HDC m_hDC;
    CGdiObject<HPEN> m_pens[kPenCount];
    CGdiObject<HBRUSH> m_brushes[kPenCount];
    int m_nSavedDC = 0;  // the state before a clip
    CGdiObject<HFONT> m_font;
    CGdiObject<HFONT> m_boldFont;
    HGDIOBJ m_hOldPen;
    HGDIOBJ m_hOldFont;
    HGDIOBJ m_hOldBrush;
    int m_nOldArcDirection;
};
