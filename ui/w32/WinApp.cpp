#include "WinApp.h"

#include "Dialog.h"

#include <winsock2.h>

namespace {

CWinApp* g_pApp = nullptr;  // set by the application object's constructor

}  // namespace

CWinApp::CWinApp() : m_hInstance(nullptr), m_pMainWnd(nullptr), m_bSocketsStarted(false)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance()
{
    if (m_bSocketsStarted) {
        WSACleanup();
        m_bSocketsStarted = false;
    }
    return 0;
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIconW(m_hInstance, MAKEINTRESOURCEW(id)); }

std::wstring CWinApp::LoadString(UINT id) const
{
    // With a zero length LoadStringW hands out a pointer to the resource text itself.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(m_hInstance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

CWinApp* AfxGetApp() { return g_pApp; }

BOOL AfxSocketInit()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_bSocketsStarted)
        return TRUE;
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return FALSE;
    if (app)
        app->m_bSocketsStarted = true;
    else
        WSACleanup();
    return TRUE;
}

int AfxMessageBox(const std::wstring& text, UINT type)
{
    CWinApp* app = AfxGetApp();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    const wchar_t* title = app ? app->m_strAppName.c_str() : L"";
    return ::MessageBoxW(owner, text.c_str(), title, type);
}

int AfxMessageBox(UINT stringId, UINT type)
{
    CWinApp* app = AfxGetApp();
    return AfxMessageBox(app ? app->LoadString(stringId) : std::wstring(), type);
}
