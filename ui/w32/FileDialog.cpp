#include "FileDialog.h"

#include "Dialog.h"
#include "WinApp.h"

#include <algorithm>

namespace {

// Room for the longest path the system accepts (\\?\ form included).
constexpr std::size_t kFileBufferSize = 32768;

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defaultExt, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, HWND parent)
    : m_ofn(), m_bOpenFileDialog(openFileDialog), m_fileBuffer(kFileBufferSize, L'\0')
{
    if (defaultExt)
        m_strDefaultExt = defaultExt;
    if (filter) {
        m_strFilter = filter;
        std::replace(m_strFilter.begin(), m_strFilter.end(), L'|', L'\0');
    }
    if (fileName) {
        const std::wstring name(fileName);
        std::copy_n(name.begin(), std::min(name.size(), m_fileBuffer.size() - 1), m_fileBuffer.begin());
    }
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = parent;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    CWinApp* app = AfxGetApp();
    if (!m_ofn.hwndOwner && app && app->m_pMainWnd)
        m_ofn.hwndOwner = app->m_pMainWnd->m_hWnd;
    m_ofn.hInstance = app ? app->m_hInstance : nullptr;
    m_ofn.lpstrFilter = m_strFilter.empty() ? nullptr : m_strFilter.c_str();
    m_ofn.nFilterIndex = m_strFilter.empty() ? 0 : 1;
    m_ofn.lpstrDefExt = m_strDefaultExt.empty() ? nullptr : m_strDefaultExt.c_str();
    m_ofn.lpstrInitialDir = m_strInitialDir.empty() ? nullptr : m_strInitialDir.c_str();
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

std::wstring CFileDialog::GetPathName() const { return std::wstring(m_fileBuffer.data()); }

std::wstring CFileDialog::GetFileName() const
{
    const std::wstring path = GetPathName();
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring CFileDialog::GetFileExt() const
{
    const std::wstring name = GetFileName();
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
}
