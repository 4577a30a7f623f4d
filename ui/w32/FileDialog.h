// The common file-open (or save-as) dialog.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog {
public:
    // `filter`: description and pattern pairs, each followed by '|', ending in
    // "||", e.g. L"Text (*.txt)|*.txt|All (*.*)|*.*||".
    CFileDialog(BOOL openFileDialog, const wchar_t* defaultExt = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                HWND parent = nullptr);

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();

    std::wstring GetPathName() const;   // full path of the chosen file
    std::wstring GetFileName() const;   // its name with extension
    std::wstring GetFileExt() const;    // its extension without the point

    // Initial folder of the dialog; empty: the system's choice.
    void SetInitialDir(const std::wstring& folder) { m_strInitialDir = folder; }

    OPENFILENAMEW m_ofn;

private:
    BOOL m_bOpenFileDialog;
    std::wstring m_strFilter;       // pairs separated by NULs, as the system wants them
    std::wstring m_strDefaultExt;
    std::wstring m_strInitialDir;
    std::vector<wchar_t> m_fileBuffer;
};
