// The toolpath picture drawn with GDI into a device context: each pen of
// the picture a geometric pen of its colour, width and dashes, arcs as GDI
// arcs, texts in a font with the Cyrillic character set.
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
    void Text(double x, double y, const std::string& utf8, TextAnchor anchor, bool bold) override;

private:
    HPEN PenOf(Pen pen);

    HDC m_hDC;
    CGdiObject<HPEN> m_pens[static_cast<int>(Pen::Text) + 1];
    CGdiObject<HFONT> m_font;
    CGdiObject<HFONT> m_boldFont;
    HGDIOBJ m_hOldPen;
    HGDIOBJ m_hOldFont;
    HGDIOBJ m_hOldBrush;
    int m_nOldArcDirection;
};
