// The main dialog: folder, filter and file selection, and Notepad.
#include "MirrorDlg.h"

#include "resource.h"
#include "w32/FileDialog.h"
#include "w32/SystemProgram.h"
#include "w32/WinApp.h"

#include <iterator>
#include <string>

namespace {

// Entries of the extension filter, in list order, with the pattern each one
// appends to the folder. Position 0 and no selection list every file.
struct FilterEntry {
    const wchar_t* shown;
    const wchar_t* pattern;
};

const FilterEntry kFilterEntries[] = {
    {L"*.*", L"\\*.*"},   {L"*.up", L"\\*.up"},   {L"*.upa", L"\\*.upa"},
    {L"*.dat", L"\\*.dat"}, {L"*.ptp", L"\\*.ptp"}, {L"*.txt", L"\\*.txt"},
};

// Description and pattern pairs of the file-open dialog; the first is in
// effect when it opens. UTF-16, so the Russian words show on any Windows.
const wchar_t kOpenFilter[] =
    L"Up файлы (*.up)|*.up|Upa файлы (*.upa)|*.upa|Dat файлы (*.dat)|*.dat|"
    L"Ptp файлы (*.ptp)|*.ptp|Txt файлы (*.txt)|*.txt|Все файлы (*.*)|*.*||";

std::wstring CurrentDirectory()
{
    std::wstring folder;
    DWORD size = MAX_PATH;
    for (;;) {
        folder.assign(size, L'\0');
        const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
        if (length == 0)
            return std::wstring();
        if (length < size) {
            folder.resize(length);
            return folder;
        }
        size = length;  // the room needed, terminating NUL included
    }
}

}  // namespace

void CMirrorDlg::ListFiles(const std::wstring& pattern)
{
    // Ordinary, read-only and archive files; no folders, and nothing hidden
    // or belonging to the system, as the platform's directory listing does.
    // Listed here rather than by DlgDirListComboBox, which changes the
    // process's current directory and refuses patterns beyond MAX_PATH.
    SendDlgItemMessage(IDC_FILE_LIST, CB_RESETCONTENT);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(found.dwFileAttributes & kSkipped))
            SendDlgItemMessage(IDC_FILE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

void CMirrorDlg::InitFileSelection()
{
    const std::wstring folder = CurrentDirectory();
    ListFiles(folder + L"\\*.*");
    SetDlgItemText(IDC_FOLDER, folder);
    int position = 0;
    for (const FilterEntry& entry : kFilterEntries)
        SendDlgItemMessage(IDC_FILTER, CB_INSERTSTRING, position++, reinterpret_cast<LPARAM>(entry.shown));
    SendDlgItemMessage(IDC_FILTER, CB_SETTOPINDEX, 0);
}

void CMirrorDlg::OnSelchangeFilter()
{
    const std::wstring folder = GetDlgItemText(IDC_FOLDER);
    const LRESULT selected = SendDlgItemMessage(IDC_FILTER, CB_GETCURSEL);
    const bool known = selected >= 1 && selected < static_cast<LRESULT>(std::size(kFilterEntries));
    ListFiles(folder + kFilterEntries[known ? selected : 0].pattern);
    SetDlgItemText(IDC_FILE_LIST, std::wstring());
}

void CMirrorDlg::OnBrowse()
{
    const std::wstring folder = GetDlgItemText(IDC_FOLDER);
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                       kOpenFilter, m_hWnd);
    dialog.SetInitialDir(folder);
    if (dialog.DoModal() != IDOK) {
        ::MessageBeep(0);
        return;
    }
    m_strFileName = dialog.GetFileName();
    m_strFileExt = dialog.GetFileExt();
    m_strPathName = dialog.GetPathName();

    const std::size_t slash = m_strPathName.rfind(L'\\');
    const std::wstring newFolder = slash == std::wstring::npos ? std::wstring() : m_strPathName.substr(0, slash);
    SetDlgItemText(IDC_FOLDER, newFolder);
    ListFiles(newFolder + L"\\*." + m_strFileExt);
    SetDlgItemText(IDC_FILE_LIST, m_strFileName);
}

void CMirrorDlg::OnNotepad()
{
    const std::wstring name = GetDlgItemText(IDC_FILE_LIST);
    const std::wstring folder = GetDlgItemText(IDC_FOLDER);
    // The system's Notepad, never a notepad.exe beside the program or in the
    // current folder. The wide command line keeps any file name intact,
    // whatever the system's code page.
    if (!StartSystemProgram(L"notepad.exe", L"\"" + folder + L"\\" + name + L"\""))
        AfxMessageBox(L"WinExec failed", MB_ICONSTOP | MB_OK);
}
