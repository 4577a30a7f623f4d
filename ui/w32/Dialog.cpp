#include "Dialog.h"

#include "DialogFont.h"
#include "TextFit.h"
#include "WinApp.h"

#include <vector>

CDialog::CDialog(UINT templateId, HWND parent)
    : m_hWnd(nullptr), m_nTemplateId(templateId), m_hParent(parent), m_hFittedFont(nullptr)
{
}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal()
{
    CWinApp* app = AfxGetApp();
    HWND parent = m_hParent;
    if (!parent && app && app->m_pMainWnd && app->m_pMainWnd != this)
        parent = app->m_pMainWnd->m_hWnd;
    HINSTANCE instance = app ? app->m_hInstance : ::GetModuleHandleW(nullptr);
    const std::vector<BYTE> patched = TemplateForCharset(instance, m_nTemplateId);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const INT_PTR result =
        patched.empty()
            ? ::DialogBoxParamW(instance, MAKEINTRESOURCEW(m_nTemplateId), parent, DialogProc, self)
            : ::DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(patched.data()), parent,
                                        DialogProc, self);
    m_hWnd = nullptr;
    if (m_hFittedFont)
        ::DeleteObject(m_hFittedFont);
    m_hFittedFont = nullptr;
    return result;
}

void CDialog::CenterOnOwner() const
{
    RECT window;
    if (!::GetWindowRect(m_hWnd, &window))
        return;
    // The owner's monitor, not the primary one: a dialog opens where its
    // owner is.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const RECT work = monitor.rcWork;
    RECT area = work;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Keep the caption reachable on a small screen.
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::UpdateData(BOOL save)
{
    CDataExchange exchange(this, save);
    DoDataExchange(&exchange);
    return TRUE;
}

std::wstring CDialog::GetDlgItemText(int id) const
{
    HWND control = GetDlgItem(id);
    if (!control)
        return std::wstring();
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void CDialog::SetDlgItemText(int id, const std::wstring& text) const { ::SetDlgItemTextW(m_hWnd, id, text.c_str()); }

void CDialog::AppendSystemMenuItem(UINT command, const std::wstring& text) const
{
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu)
        return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, command, text.c_str());
}

void CDialog::SetIcon(HICON icon, bool big) const
{
    ::SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool CDialog::PaintMinimizedIcon(HICON icon) const
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
    ::DrawIcon(dc, x, y, icon);
    ::EndPaint(m_hWnd, &paint);
    return true;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnCommand(UINT, UINT) { return false; }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    return dialog ? dialog->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        CenterOnOwner();
        const BOOL result = OnInitDialog();
        m_hFittedFont = FitDialogTexts(m_hWnd);
        return result;
    }
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (OnCommand(id, code))
            return TRUE;
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    default:
        if (message == TextRoomMessage() && message != 0) {
            const HWND control = reinterpret_cast<HWND>(lParam);
            const SIZE room = ::IsChild(m_hWnd, control) ? TextRoomOf(control) : SIZE{0, 0};
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, MAKELONG(room.cx, room.cy));
            return TRUE;
        }
        break;
    }
    LRESULT result = 0;
    if (!OnMessage(message, wParam, lParam, result))
        return FALSE;  // the system's default handling
    switch (message) {
    // These few answer through the dialog procedure's own result.
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

void DDX_Text(CDataExchange* pDX, int id, std::wstring& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    else
        pDX->m_pDlgWnd->SetDlgItemText(id, value);
}
