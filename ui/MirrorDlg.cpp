// The main dialog: start-up, message map, system menu, icon and about box.
#include "MirrorDlg.h"

#include "AboutDlg.h"
#include "resource.h"
#include "w32/DroppedFiles.h"
#include "w32/WinApp.h"

const CommandMapEntry<CMirrorDlg> CMirrorDlg::kCommandMap[] = {
    {IDC_BROWSE, BN_CLICKED, &CMirrorDlg::OnBrowse},
    {ID_FILE_OPEN_PROGRAM, 0, &CMirrorDlg::OnBrowse},
    {IDC_FILTER, CBN_SELCHANGE, &CMirrorDlg::OnSelchangeFilter},
    {ID_FILE_NOTEPAD, 0, &CMirrorDlg::OnNotepad},
    {IDC_AXIS_X, BN_CLICKED, &CMirrorDlg::OnModeChanged},
    {IDC_AXIS_Y, BN_CLICKED, &CMirrorDlg::OnModeChanged},
    {IDC_ORIGIN, BN_CLICKED, &CMirrorDlg::OnModeChanged},
    {IDC_CENTRE, BN_CLICKED, &CMirrorDlg::OnCentre},
    {IDC_RUN_MIRROR, BN_CLICKED, &CMirrorDlg::OnRunMirror},
    {IDC_PREVIEW, BN_CLICKED, &CMirrorDlg::OnPreview},
    {ID_FILE_PREVIEW, 0, &CMirrorDlg::OnPreview},
    {ID_HELP_AUTHORS, 0, &CMirrorDlg::OnAboutAuthors},
    {ID_FILE_EXIT, 0, &CMirrorDlg::OnExit},
    // ID_HELP_ALGORITHM has no handler: the item does nothing.
};

const MessageMapEntry<CMirrorDlg> CMirrorDlg::kMessageMap[] = {
    {WM_SYSCOMMAND, &CMirrorDlg::OnSysCommand},
    {WM_PAINT, &CMirrorDlg::OnPaint},
    {WM_QUERYDRAGICON, &CMirrorDlg::OnQueryDragIcon},
    {WM_DROPFILES, &CMirrorDlg::OnDropFiles},
};

CMirrorDlg::CMirrorDlg() : CDialog(IDD_MAIN), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)) {}

bool CMirrorDlg::OnCommand(UINT id, UINT code) { return DispatchMapCommand(this, kCommandMap, id, code); }

bool CMirrorDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return DispatchMapMessage(this, kMessageMap, message, wParam, lParam, result);
}

void CMirrorDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FOLDER, m_strFolder);
}

BOOL CMirrorDlg::OnInitDialog()
{
    // The start-up steps, in order, and what each does on today's Windows.
    CDialog::OnInitDialog();  // data exchange: the folder field gets m_strFolder, still empty
    // "Об авторах ..." under a separator in the caption's system menu (also Alt+Space).
    const std::wstring about = AfxGetApp()->LoadString(IDS_ABOUTBOX);
    if (!about.empty())
        AppendSystemMenuItem(IDM_ABOUTBOX, about);
    SetIcon(m_hIcon, true);   // the big icon: Alt+Tab; a dialog has no icon of its own
    SetIcon(m_hIcon, false);  // the small icon: the caption and the task bar button
    InitFileSelection();      // the current folder, its files and the filter list
    AcceptDroppedFiles(m_hWnd);  // a program dragged from Explorer is chosen as by the button
    UpdateWindow();           // nothing to paint: the dialog shows only after this returns
    return TRUE;              // the system puts the focus on the first tab stop
}

void CMirrorDlg::OnOK() {}

void CMirrorDlg::OnExit() { CDialog::OnCancel(); }

void CMirrorDlg::OnAboutAuthors()
{
    CAboutDlg about;
    about.DoModal();
}

bool CMirrorDlg::OnSysCommand(WPARAM wParam, LPARAM, LRESULT& result)
{
    if ((wParam & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    OnAboutAuthors();
    result = 0;
    return true;
}

bool CMirrorDlg::OnPaint(WPARAM, LPARAM, LRESULT& result)
{
    // The icon drawn in place of a minimised window: kept for the look of old
    // Windows; today's Windows shows a task bar button and paints no such icon.
    if (!PaintMinimizedIcon(m_hIcon))
        return false;
    result = 0;
    return true;
}

bool CMirrorDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result)
{
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
}
