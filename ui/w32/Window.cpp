#include "Window.h"

CWnd::~CWnd()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CWnd::CreateOwned(const wchar_t* className, HICON icon, const std::wstring& title, DWORD style,
                       const RECT& rect, HWND owner)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = className;  // no background brush: the window paints all of itself
        if (!::RegisterClassExW(&wc))
            return false;
    }
    m_hOwner = owner;
    m_hWnd = ::CreateWindowExW(0, className, title.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, owner, nullptr, instance, this);
    return m_hWnd != nullptr;
}

void CWnd::RunModal()
{
    if (!m_hWnd)
        return;
    if (m_hOwner)
        ::EnableWindow(m_hOwner, FALSE);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);
    MSG msg;
    while (m_hWnd) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: leave the quit message to the outer loop.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            Close();
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (m_hOwner) {
        ::EnableWindow(m_hOwner, TRUE);
        ::SetActiveWindow(m_hOwner);
    }
}

void CWnd::Close()
{
    if (m_hOwner)
        ::EnableWindow(m_hOwner, TRUE);
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!window)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->m_hWnd = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (window->OnMessage(message, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
