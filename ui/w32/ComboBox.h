// A combo box control of a dialog: the few list messages the dialogs send,
// as calls. It holds only the control's handle; the control belongs to its
// dialog.
#pragma once

#include <windows.h>

#include <string>

class CComboBox {
public:
    explicit CComboBox(HWND control) : m_hWnd(control) {}

    // Removes every entry and empties the edit part.
    void ResetContent() const { Send(CB_RESETCONTENT); }
    // Adds `text` at the end (in order, when the list is sorted).
    void AddString(const std::wstring& text) const { Send(CB_ADDSTRING, 0, Text(text)); }
    // Puts `text` at `position` (-1: the end), never sorted.
    void InsertString(int position, const std::wstring& text) const
    {
        Send(CB_INSERTSTRING, static_cast<WPARAM>(position), Text(text));
    }
    // Scrolls the list so that entry `position` is its first visible one.
    void SetTopIndex(int position) const { Send(CB_SETTOPINDEX, static_cast<WPARAM>(position)); }
    // The selected entry's position, or CB_ERR when none is selected.
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    // Selects entry `position` and shows its text in the edit part.
    void SetCurSel(int position) const { Send(CB_SETCURSEL, static_cast<WPARAM>(position)); }
    // The position of the entry that is exactly `text` (in any case), looking
    // after `after` (-1: from the start); CB_ERR when there is none.
    int FindStringExact(int after, const std::wstring& text) const
    {
        return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), Text(text)));
    }

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    static LPARAM Text(const std::wstring& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

    HWND m_hWnd;
};
