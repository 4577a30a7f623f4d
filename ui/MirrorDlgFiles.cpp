// The main dialog: folder, filter and file selection, and Notepad.
#include "MirrorDlg.h"

#include "MirrorMessageBox.h"
#include "resource.h"
#include "w32/DroppedFiles.h"
#include "w32/FileDialog.h"
#include "w32/FolderListing.h"
#include "w32/SystemProgram.h"
#include "w32/TextCodec.h"
#include "w32/WinApp.h"

#include <iterator>
#include <string>
#include <vector>

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

}  // namespace

void CMirrorDlg::ListFiles(const std::wstring& pattern)
{
    const CComboBox list = ComboBox(IDC_FILE_LIST);
    list.ResetContent();
    for (const std::wstring& name : ListFolderFiles(pattern))
        list.AddString(name);
}

void CMirrorDlg::InitFileSelection()
{
    const std::wstring folder = GetCurrentFolder();
    ListFiles(folder + L"\\*.*");
    SetDlgItemText(IDC_FOLDER, folder);
    const CComboBox filter = ComboBox(IDC_FILTER);
    int position = 0;
    for (const FilterEntry& entry : kFilterEntries)
        filter.InsertString(position++, entry.shown);
    filter.SetTopIndex(0);
}

void CMirrorDlg::OnSelchangeFilter()
{
    const std::wstring folder = GetDlgItemText(IDC_FOLDER);
    const int selected = ComboBox(IDC_FILTER).GetCurSel();
    const bool known = selected >= 1 && selected < static_cast<int>(std::size(kFilterEntries));
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
        DefaultBeep();
        return;
    }
    SelectProgram(dialog.GetPathName());
}

bool CMirrorDlg::OnDropFiles(WPARAM wParam, LPARAM, LRESULT& result)
{
    // The first of the files dropped; a folder is no program.
    const std::vector<std::wstring> dropped = TakeDroppedFiles(wParam);
    if (dropped.empty() || IsFolder(dropped.front()))
        DefaultBeep();
    else
        SelectProgram(dropped.front());
    result = 0;
    return true;
}

void CMirrorDlg::SelectProgram(const std::wstring& path)
{
    m_strPathName = path;
    const std::size_t slash = path.rfind(L'\\');
    m_strFileName = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = m_strFileName.rfind(L'.');
    m_strFileExt = dot == std::wstring::npos ? std::wstring() : m_strFileName.substr(dot + 1);

    const std::wstring newFolder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    SetDlgItemText(IDC_FOLDER, newFolder);
    ListFiles(newFolder + L"\\*." + m_strFileExt);
    SetDlgItemText(IDC_FILE_LIST, m_strFileName);
}

void CMirrorDlg::OnNotepad()
{
    const std::wstring path = GetDlgItemText(IDC_FOLDER) + L"\\" + GetDlgItemText(IDC_FILE_LIST);
    // The system's Notepad, never a notepad.exe beside the program or in the
    // current folder. The wide command line keeps any file name intact,
    // whatever the system's code page.
    if (!StartSystemProgram(L"notepad.exe", L"\"" + path + L"\""))
        ShowMirrorMessage(MirrorMessage::EditorNotStarted, WideToUtf8(path));
}
