// Top-level windows of our own window classes: a window over its owner that
// runs modally until it closes. A derived window handles its messages in
// OnMessage.
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window, of class `className` (registered on first use,
    // with `icon`), at `rect` in screen coordinates, owned by `owner`.
    bool CreateOwned(const wchar_t* className, HICON icon, const std::wstring& title, DWORD style, const RECT& rect,
                     HWND owner);

    // Shows the window and runs its messages until it is closed; the owner
    // takes no input meanwhile and is active again afterwards.
    void RunModal();

    // Ends the window: the owner first takes input again, so that it, and
    // no other program, becomes active.
    void Close();

    HWND m_hWnd = nullptr;

protected:
    // True when handled, with `result` the answer; false: default handling.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hOwner = nullptr;
};
