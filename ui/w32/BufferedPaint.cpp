#include "BufferedPaint.h"

CBufferedPaintDC::CBufferedPaintDC(HWND window) : m_hWnd(window)
{
    m_hDC = ::BeginPaint(window, &m_paint);
    ::GetClientRect(window, &m_client);
    if (!m_hDC || m_client.right <= 0 || m_client.bottom <= 0)
        return;
    // Without room for the bitmap the drawing goes straight to the window.
    m_hMemDC = ::CreateCompatibleDC(m_hDC);
    m_hBitmap = m_hMemDC ? ::CreateCompatibleBitmap(m_hDC, m_client.right, m_client.bottom) : nullptr;
    if (!m_hBitmap) {
        if (m_hMemDC)
            ::DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
        return;
    }
    m_hOldBitmap = ::SelectObject(m_hMemDC, m_hBitmap);
}

CBufferedPaintDC::~CBufferedPaintDC()
{
    if (m_hMemDC) {
        ::BitBlt(m_hDC, 0, 0, m_client.right, m_client.bottom, m_hMemDC, 0, 0, SRCCOPY);
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hMemDC);
    }
    ::EndPaint(m_hWnd, &m_paint);
}
