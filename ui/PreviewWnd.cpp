#include "PreviewWnd.h"

#include "GdiCanvas.h"
#include "w32/BufferedPaint.h"
#include "w32/TextCodec.h"

#include <algorithm>

const wchar_t* const kPreviewWindowClass = L"NcMirrorPreview";

namespace {

// The window's first size: most of the work area, centred on the owner.
RECT FirstPlace(HWND owner)
{
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = (work.right - work.left) * 9 / 10, height = (work.bottom - work.top) * 9 / 10;
    RECT ownerRect = work;
    if (owner)
        ::GetWindowRect(owner, &ownerRect);
    int x = (ownerRect.left + ownerRect.right - width) / 2, y = (ownerRect.top + ownerRect.bottom - height) / 2;
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    return RECT{x, y, x + width, y + height};
}

}  // namespace

CPreviewWnd::CPreviewWnd(const CToolpathPicture& picture, const PictureLegend& legend)
    : m_picture(picture), m_legend(legend)
{
}

void CPreviewWnd::DoModal(HWND owner, HICON icon)
{
    const std::wstring title = L"Просмотр: " + Utf8ToWide(m_legend.sourceName);
    if (CreateOwned(kPreviewWindowClass, icon, title, WS_OVERLAPPEDWINDOW, FirstPlace(owner), owner))
        RunModal();
}

bool CPreviewWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_ERASEBKGND:
        result = 1;  // the paint covers the whole window
        return true;
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE)
            return false;
        Close();
        return true;
    case WM_CLOSE:
        Close();
        return true;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{400, 320};
        return true;
    default:
        return false;
    }
}

void CPreviewWnd::OnPaint()
{
    CBufferedPaintDC paint(m_hWnd);
    const RECT all{0, 0, paint.Width(), paint.Height()};
    ::FillRect(paint.Dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    CGdiCanvas canvas(paint.Dc());
    DrawPicture(m_picture, m_legend, LayOutPicture(m_picture, m_legend, paint.Width(), paint.Height()), canvas);
}
