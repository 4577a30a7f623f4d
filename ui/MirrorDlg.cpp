// The main dialog: start-up, message map, system menu, icon and about box.
#include "MirrorDlg.h"

#include "AboutDlg.h"
#include "resource.h"
#include "w32/WinApp.h"

const CommandMapEntry<CMirrorDlg> CMirrorDlg::kCommandMap[] = {
    {IDC_BROWSE, BN_CLICKED, &CMirrorDlg::OnBrowse},
    {ID_FILE_OPEN_PROGRAM, 0, &CMirrorDlg::OnBrowse},
    {IDC_FILTER, CBN_SELCHANGE, &CMirrorDlg::OnSelchangeFilter},
    {ID_FILE_NOTEPAD, 0, &CMirrorDlg::OnNotepad},
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
    CDialog::OnInitDialog();

    if (HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        const std::wstring about = AfxGetApp()->LoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    InitFileSelection();

    ::UpdateWindow(m_hWnd);
    return TRUE;
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
    if (!::IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    result = 0;
    return true;
}

bool CMirrorDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result)
{
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
}
