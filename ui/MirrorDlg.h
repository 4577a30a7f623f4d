// The main dialog. Its handlers live in five files by concern:
// MirrorDlg.cpp (start-up and window), MirrorDlgFiles.cpp (folder, filter
// and file selection, dropped files, Notepad), MirrorDlgRun.cpp (the mirror
// command), MirrorDlgPosition.cpp (the mirror line's position),
// MirrorDlgPreview.cpp (the preview of the tool path).
#pragma once

#include "w32/Dialog.h"
#include "w32/MessageMap.h"

#include <string>

class CNcMirror;
struct MirrorMode;

class CMirrorDlg : public CDialog {
public:
    CMirrorDlg();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;  // empty: Enter and OK never close the dialog
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Start-up and window
    bool OnSysCommand(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPaint(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnQueryDragIcon(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnAboutAuthors();
    void OnExit();

    // Folder, filter and file selection
    void InitFileSelection();
    // Empties the file list and fills it with the files matching `pattern`
    // (a folder, a backslash and a wildcard name).
    void ListFiles(const std::wstring& pattern);
    void OnSelchangeFilter();
    void OnBrowse();
    // A program file dropped from Explorer, taken as if chosen by OnBrowse.
    bool OnDropFiles(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Shows the folder of `path` with its files of the same extension, and
    // the file's name as the chosen one.
    void SelectProgram(const std::wstring& path);
    void OnNotepad();

    // Mirror command
    void OnRunMirror();
    // The mode of the checked button, or null when none is checked.
    const MirrorMode* CheckedMode() const;
    // The selected program: its name, and its path for the engine (the ANSI
    // code page) and for messages (UTF-8); false, after the message the run
    // command shows, when there is none that can be opened.
    bool SelectedSource(std::wstring& name, std::string& narrow, std::string& utf8) const;

    // The mirror position: the fields of the lines the checked mode mirrors
    // about (X= for the line x = A, Y= for y = B), and their centre button.
    void OnModeChanged();
    void OnCentre();
    // Hands the engine the texts of the enabled position fields, blanks
    // trimmed, in `x` and `y` (a disabled field counts as empty); false,
    // after the message, when one is not a number.
    bool ReadPosition(CNcMirror& engine, std::string& x, std::string& y) const;

    // Preview of the tool path and its mirror image
    void OnPreview();
    // Selects the file list's entry of this name, when there is one.
    void SelectInFileList(const std::wstring& name);

    static const CommandMapEntry<CMirrorDlg> kCommandMap[];
    static const MessageMapEntry<CMirrorDlg> kMessageMap[];

    // The last choice made in the file-open dialog.
    std::wstring m_strPathName;
    std::wstring m_strFileName;
    std::wstring m_strFileExt;
    std::wstring m_strFolder;  // exchanged with IDC_FOLDER
    HICON m_hIcon;
};
