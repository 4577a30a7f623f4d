#include "PreviewWnd.h"

#include "GdiCanvas.h"
#include "ToolpathTexts.h"
#include "w32/BufferedPaint.h"
#include "w32/TextCodec.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

const wchar_t* const kPreviewWindowClass = L"NcMirrorPreview";

namespace {

constexpr UINT_PTR kProgressTimer = 1;
// Posted by the build's thread as it ends: the picture is shown at once,
// not at the progress timer's next tick.
constexpr UINT kBuiltMessage = WM_APP + 1;
constexpr UINT kProgressPeriod = 100;  // ms
constexpr int kProgressWidth = 480, kProgressHeight = 24;
constexpr int kStatusHeight = 22;
constexpr double kWheelStep = 1.25;  // the zoom of one notch of the wheel

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

CPreviewWnd::CPreviewWnd(const std::string& path, unsigned long long bytes, const PictureLegend& legend)
    : m_strPath(path), m_nBytes(bytes), m_legend(legend)
{
}

PreviewEnd CPreviewWnd::DoModal(HWND owner, HICON icon)
{
    const std::wstring title = L"Просмотр: " + Utf8ToWide(m_legend.sourceName);
    if (!CreateOwned(kPreviewWindowClass, icon, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FirstPlace(owner),
                     owner))
        return PreviewEnd::Stopped;
    m_hProgress = ::CreateWindowExW(0, L"STATIC", Utf8ToWide(PreviewProgressText(0)).c_str(),
                                    WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, kProgressWidth, kProgressHeight,
                                    m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPreviewProgressId)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_hProgress, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    PlaceProgress();
    m_hStatus = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, 0,
                                  m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPreviewStatusId)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(m_hStatus, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    PlaceStatus();
    ::SetTimer(m_hWnd, kProgressTimer, kProgressPeriod, nullptr);
    const HWND window = m_hWnd;
    m_build.OnDone([window] { ::PostMessageW(window, kBuiltMessage, 0, 0); });
    m_build.Start(m_strPath, m_legend.mode, m_legend.atX, m_legend.atY);
    RunModal();
    return m_end;
}

void CPreviewWnd::PlaceProgress()
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::SetWindowPos(m_hProgress, nullptr, (client.right - kProgressWidth) / 2, (client.bottom - kProgressHeight) / 2,
                   kProgressWidth, kProgressHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPreviewWnd::PlaceStatus()
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::SetWindowPos(m_hStatus, nullptr, 0, client.bottom - kStatusHeight, client.right, kStatusHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int CPreviewWnd::PictureHeight() const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    return std::max(1, static_cast<int>(client.bottom) - kStatusHeight);
}

PictureLayout CPreviewWnd::Layout() const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    PictureLayout layout = LayOutPicture(m_build.Picture(), m_legend, client.right, PictureHeight());
    layout.frame = m_view.Apply(layout.frame);
    return layout;
}

void CPreviewWnd::Redraw()
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPreviewWnd::ShowCursorAt(int x, int y)
{
    if (Building() || m_end != PreviewEnd::Shown)
        return;
    const PictureFrame f = Layout().frame;
    const bool inside = x >= f.left && x <= f.right && y >= f.top && y <= f.bottom;
    ::SetWindowTextW(m_hStatus, Utf8ToWide(PreviewStatusText(inside, (x - f.originX) / f.scale,
                                                             (f.originY - y) / f.scale, f.scale))
                                    .c_str());
}

void CPreviewWnd::OnWheel(WPARAM wParam, LPARAM lParam)
{
    if (Building() || m_end != PreviewEnd::Shown)
        return;
    // The wheel's point is on the screen.
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &at);
    const double notches = GET_WHEEL_DELTA_WPARAM(wParam) / static_cast<double>(WHEEL_DELTA);
    m_view.ZoomAbout(at.x, at.y, std::pow(kWheelStep, notches));
    ShowCursorAt(at.x, at.y);
    Redraw();
}

void CPreviewWnd::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    // Dragging while the button is held down (it may have been let go
    // outside the window).
    if (m_bDragging && (wParam & MK_LBUTTON)) {
        m_view.Pan(x - m_dragFrom.x, y - m_dragFrom.y);
        m_dragFrom = POINT{x, y};
        Redraw();
    }
    ShowCursorAt(x, y);
}

void CPreviewWnd::OnTimer()
{
    if (!Building())
        return;
    if (!m_build.Done()) {
        // Read and drawn at once: never more than 99 % until then.
        const unsigned long long read = m_build.BytesRead();
        const int percent = m_nBytes == 0 ? 0 : static_cast<int>(std::min<unsigned long long>(99, read * 100 / m_nBytes));
        if (percent != m_nShownPercent) {
            m_nShownPercent = percent;
            ::SetWindowTextW(m_hProgress, Utf8ToWide(PreviewProgressText(percent)).c_str());
        }
        return;
    }
    ::KillTimer(m_hWnd, kProgressTimer);
    ::DestroyWindow(m_hProgress);
    m_hProgress = nullptr;
    if (!m_build.Read()) {
        m_end = PreviewEnd::CannotRead;
        Close();
        return;
    }
    m_end = PreviewEnd::Shown;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPreviewWnd::End()
{
    if (Building()) {
        ::KillTimer(m_hWnd, kProgressTimer);
        m_build.Stop();
        m_end = PreviewEnd::Stopped;
    }
    Close();
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
    case WM_TIMER:
        if (wParam != kProgressTimer)
            return false;
        OnTimer();
        return true;
    case kBuiltMessage:
        OnTimer();
        return true;
    case WM_SIZE:
        if (Building())
            PlaceProgress();
        PlaceStatus();
        return false;
    case WM_MOUSEWHEEL:
        OnWheel(wParam, lParam);
        return true;
    case WM_LBUTTONDOWN:
        m_bDragging = true;
        m_dragFrom = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::SetCapture(m_hWnd);
        return true;
    case WM_LBUTTONUP:
        if (m_bDragging)
            ::ReleaseCapture();
        return true;
    case WM_CAPTURECHANGED:
        m_bDragging = false;
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return true;
    case WM_SETCURSOR:
        if (!Building() || LOWORD(lParam) != HTCLIENT)
            return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        result = TRUE;
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_HOME || wParam == 'F') {
            m_view.Fit();
            Redraw();
            return true;
        }
        if (wParam != VK_ESCAPE)
            return false;
        End();
        return true;
    case WM_CLOSE:
        End();
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
    if (Building() || m_end != PreviewEnd::Shown)
        return;
    CGdiCanvas canvas(paint.Dc());
    DrawPicture(m_build.Picture(), m_legend, Layout(), canvas);
}
