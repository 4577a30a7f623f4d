// Modal dialogs from dialog resources. A derived dialog reacts to commands
// and messages through a message map (MessageMap.h) and exchanges control
// texts with its members in DoDataExchange.
#pragma once

#include "ComboBox.h"

#include <windows.h>

#include <string>

class CDataExchange;

class CDialog {
public:
    // `parent` null: the application's main window owns the dialog.
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog until EndDialog; its result, or -1 when it cannot be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // Copies control texts into members (`save` TRUE) or members into
    // controls; FALSE when a value is refused.
    BOOL UpdateData(BOOL save = TRUE);

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::wstring& text) const;
    bool IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    // Lets control `id` take input (or greys it out).
    void EnableDlgItem(int id, bool enable) const { ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE); }
    bool IsDlgItemEnabled(int id) const { return ::IsWindowEnabled(GetDlgItem(id)) != FALSE; }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
    }
    // Control `id` as a combo box.
    CComboBox ComboBox(int id) const { return CComboBox(GetDlgItem(id)); }

    // Adds a separator and then item `text` with `command` at the end of the
    // window's system menu; nothing when the window has none.
    void AppendSystemMenuItem(UINT command, const std::wstring& text) const;
    // Sets the window's big icon (Alt+Tab) or its small one (caption, task bar).
    void SetIcon(HICON icon, bool big) const;
    // Paints what WM_PAINT asks for at once, if anything.
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    // For WM_PAINT of a minimised window: erases the icon's background and
    // draws `icon` centred in the client area; false, painting nothing, when
    // the window is not minimised.
    bool PaintMinimizedIcon(HICON icon) const;

    HWND m_hWnd;

protected:
    virtual BOOL OnInitDialog();   // TRUE: focus goes to the first tab stop / default control
    virtual void OnOK();           // exchanges data, then ends with IDOK
    virtual void OnCancel();       // ends with IDCANCEL
    virtual void DoDataExchange(CDataExchange* pDX);

    // Hooks for the message map: true when the dialog handled the command or
    // message (for messages `result` is then the answer).
    virtual bool OnCommand(UINT id, UINT code);
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Dialogs open centred on their owner (on its monitor's work area without
    // one), whole on that monitor.
    void CenterOnOwner() const;

    UINT m_nTemplateId;
    HWND m_hParent;
    HFONT m_hFittedFont;  // a smaller font that makes the texts fit, while the dialog runs
};

// Direction and state of one data exchange.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members
};

// Exchanges the text of control `id` with `value`.
void DDX_Text(CDataExchange* pDX, int id, std::wstring& value);
