#include "GdiCanvas.h"

#include "w32/TextCodec.h"

#include <algorithm>
#include <cmath>

namespace {

// GDI takes whole pixels in 27 bits: a point far outside any window is held there.
constexpr double kFarthestPixel = 1 << 26;
int Round(double v)
{
    return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, -kFarthestPixel, kFarthestPixel))) : 0;
}

COLORREF ColourOf(unsigned rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

HFONT MakeFont(bool bold)
{
    return ::CreateFontW(-13, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                         L"Tahoma");
}

}  // namespace

CGdiCanvas::CGdiCanvas(HDC dc) : m_hDC(dc), m_font(MakeFont(false)), m_boldFont(MakeFont(true))
{
    m_hOldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    m_hOldFont = ::SelectObject(dc, m_font.Get());
    m_hOldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    m_nOldArcDirection = ::GetArcDirection(dc);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColourOf(PenStyleOf(Pen::Text).rgb));
}

CGdiCanvas::~CGdiCanvas()
{
    Unclip();
    // The objects go back before their handles are deleted.
    ::SelectObject(m_hDC, m_hOldPen);
    ::SelectObject(m_hDC, m_hOldFont);
    ::SelectObject(m_hDC, m_hOldBrush);
    ::SetArcDirection(m_hDC, m_nOldArcDirection);
}

HPEN CGdiCanvas::PenOf(Pen pen)
{
    CGdiObject<HPEN>& cached = m_pens[static_cast<int>(pen)];
    if (!cached.Get()) {
        const PenStyle style = PenStyleOf(pen);
        LOGBRUSH brush{BS_SOLID, ColourOf(style.rgb), 0};
        static const DWORD kDashes[] = {6, 4};
        static const DWORD kDashDot[] = {12, 3, 2, 3};
        const DWORD* pattern = style.dashed ? kDashes : style.dashDot ? kDashDot : nullptr;
        const DWORD count = style.dashed ? 2 : style.dashDot ? 4 : 0;
        const DWORD kind = PS_GEOMETRIC | PS_ENDCAP_ROUND | PS_JOIN_ROUND | (pattern ? PS_USERSTYLE : PS_SOLID);
        const DWORD width = static_cast<DWORD>(std::max(1L, std::lround(style.width)));
        cached.Reset(::ExtCreatePen(kind, width, &brush, count, pattern));
    }
    return cached.Get();
}

void CGdiCanvas::BeginPath(Pen pen)
{
    ::SelectObject(m_hDC, PenOf(pen));
    ::BeginPath(m_hDC);
}

void CGdiCanvas::MoveTo(double x, double y) { ::MoveToEx(m_hDC, Round(x), Round(y), nullptr); }

void CGdiCanvas::LineTo(double x, double y) { ::LineTo(m_hDC, Round(x), Round(y)); }

void CGdiCanvas::ArcTo(double x, double y, double cx, double cy, double r, bool clockwise, bool)
{
    // GDI draws from the current point to the arc's start, then along the
    // arc in the direction set, both on the screen (y down).
    POINT from;
    ::GetCurrentPositionEx(m_hDC, &from);
    ::SetArcDirection(m_hDC, clockwise ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
    ::ArcTo(m_hDC, Round(cx - r), Round(cy - r), Round(cx + r), Round(cy + r), from.x, from.y, Round(x), Round(y));
}

void CGdiCanvas::EndPath()
{
    ::EndPath(m_hDC);
    ::StrokePath(m_hDC);
}

void CGdiCanvas::Circle(Pen pen, double cx, double cy, double r)
{
    ::SelectObject(m_hDC, PenOf(pen));
    ::Ellipse(m_hDC, Round(cx - r), Round(cy - r), Round(cx + r) + 1, Round(cy + r) + 1);
}

HBRUSH CGdiCanvas::BrushOf(Pen pen)
{
    CGdiObject<HBRUSH>& cached = m_brushes[static_cast<int>(pen)];
    if (!cached.Get())
        cached.Reset(::CreateSolidBrush(ColourOf(PenStyleOf(pen).rgb)));
    return cached.Get();
}

void CGdiCanvas::Disc(Pen pen, double cx, double cy, double r)
{
    CSelectObject brush(m_hDC, BrushOf(pen));
    CSelectObject outline(m_hDC, ::GetStockObject(NULL_PEN));
    // Without an outline GDI leaves out the right and bottom edge: one more pixel.
    ::Ellipse(m_hDC, Round(cx - r), Round(cy - r), Round(cx + r) + 2, Round(cy + r) + 2);
}

void CGdiCanvas::Box(Pen pen, double left, double top, double right, double bottom)
{
    const RECT box{Round(left), Round(top), Round(right), Round(bottom)};
    ::FillRect(m_hDC, &box, BrushOf(pen));
}

void CGdiCanvas::Arrow(Pen pen, double x, double y, double dx, double dy)
{
    const double bx = x - dx * kArrowLength, by = y - dy * kArrowLength;
    const POINT corners[3] = {{Round(x), Round(y)},
                              {Round(bx - dy * kArrowHalfWidth), Round(by + dx * kArrowHalfWidth)},
                              {Round(bx + dy * kArrowHalfWidth), Round(by - dx * kArrowHalfWidth)}};
    CSelectObject brush(m_hDC, BrushOf(pen));
    CSelectObject outline(m_hDC, ::GetStockObject(NULL_PEN));
    ::Polygon(m_hDC, corners, 3);
}

void CGdiCanvas::Clip(double left, double top, double right, double bottom)
{
    Unclip();
    m_nSavedDC = ::SaveDC(m_hDC);
    ::IntersectClipRect(m_hDC, Round(left), Round(top), Round(right) + 1, Round(bottom) + 1);
}

void CGdiCanvas::Unclip()
{
    if (m_nSavedDC != 0)
        ::RestoreDC(m_hDC, m_nSavedDC);
    m_nSavedDC = 0;
}

void CGdiCanvas::Text(Pen pen, double x, double y, const std::string& utf8, TextAnchor anchor, bool bold)
{
    ::SelectObject(m_hDC, bold ? m_boldFont.Get() : m_font.Get());
    ::SetTextColor(m_hDC, ColourOf(PenStyleOf(pen).rgb));
    const UINT align = anchor == TextAnchor::Start ? TA_LEFT : anchor == TextAnchor::Middle ? TA_CENTER : TA_RIGHT;
    ::SetTextAlign(m_hDC, align | TA_BASELINE);
    const std::wstring text = Utf8ToWide(utf8);
    ::TextOutW(m_hDC, Round(x), Round(y), text.c_str(), static_cast<int>(text.size()));
}
