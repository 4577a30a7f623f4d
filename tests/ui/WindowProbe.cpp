#include "WindowProbe.h"

namespace {

constexpr UINT kMessageTimeoutMs = 5000;

struct DialogSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window) && ClassOf(window) == L"#32770")
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
}

std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return L"<no answer>";
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

LONG ExStyleOf(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

std::vector<HWND> DialogsOf(DWORD pid)
{
    DialogSearch search{pid, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForNewDialog(DWORD pid, const std::vector<HWND>& known, DWORD timeoutMs)
{
    HWND result = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : DialogsOf(pid)) {
                bool old = false;
                for (HWND k : known)
                    old = old || k == window;
                if (!old) {
                    result = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return result;
}

HWND WaitForWindowOfClass(DWORD pid, const std::wstring& className, DWORD timeoutMs)
{
    struct Search {
        DWORD pid;
        const std::wstring* className;
        HWND found;
    } search{pid, &className, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(
                [](HWND window, LPARAM param) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(param);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    if (owner == s->pid && IsWindowVisible(window) && ClassOf(window) == *s->className) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

HICON MessageBoxIcon(HWND box)
{
    // The static control of icon style; its identifier differs between
    // Windows (0x14) and Wine.
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) != L"Static" || (StyleOf(child) & SS_TYPEMASK) != SS_ICON)
            continue;
        DWORD_PTR icon = 0;
        SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &icon);
        return reinterpret_cast<HICON>(icon);
    }
    return nullptr;
}

void Answer(HWND box, int command) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0); }

void Click(HWND button)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
}

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostCommand(HWND window, UINT id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

void SetText(HWND window, const std::wstring& text)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        kMessageTimeoutMs, &ignored);
}

std::vector<std::wstring> ComboItems(HWND combo)
{
    std::vector<std::wstring> items;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &count))
        return items;
    for (WPARAM i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length);
        std::wstring text(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                            kMessageTimeoutMs, &copied);
        text.resize(static_cast<LONG_PTR>(copied) > 0 ? copied : 0);
        items.push_back(text);
    }
    return items;
}

LRESULT ComboSelection(HWND combo)
{
    DWORD_PTR selected = 0;
    SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &selected);
    return static_cast<LRESULT>(selected);
}
