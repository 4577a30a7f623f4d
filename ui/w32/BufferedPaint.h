// Double-buffered painting: what WM_PAINT draws goes to an off-screen bitmap
// of the client area's size, copied to the window in one piece when the
// object ends, so that a redraw never flickers.
#pragma once

#include <windows.h>

class CBufferedPaintDC {
public:
    explicit CBufferedPaintDC(HWND window);
    ~CBufferedPaintDC();
    CBufferedPaintDC(const CBufferedPaintDC&) = delete;
    CBufferedPaintDC& operator=(const CBufferedPaintDC&) = delete;

    // Where to draw: the whole client area, in client coordinates.
    HDC Dc() const { return m_hMemDC ? m_hMemDC : m_hDC; }
    int Width() const { return m_client.right; }
    int Height() const { return m_client.bottom; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint{};
    HDC m_hDC = nullptr;
    HDC m_hMemDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    RECT m_client{};
};
