#include "TextFit.h"

#include <string>
#include <vector>

namespace {

enum class TextKind { None, Wrapped, Boxed, Framed };

TextKind KindOf(HWND control)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(control, cls, 16);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    if (::lstrcmpiW(cls, L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ? TextKind::Wrapped : TextKind::None;
    }
    if (::lstrcmpiW(cls, L"Button") != 0)
        return TextKind::None;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE: return TextKind::Boxed;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_GROUPBOX: return TextKind::Framed;
    default: return TextKind::None;
    }
}

std::wstring TextOf(HWND control)
{
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

bool Fits(HWND control)
{
    const SIZE room = TextRoomOf(control);
    RECT client;
    ::GetClientRect(control, &client);
    return room.cx <= client.right && room.cy <= client.bottom;
}

std::vector<HWND> TextControlsOf(HWND dialog)
{
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (KindOf(child) != TextKind::None)
            controls.push_back(child);
    return controls;
}

bool AllFit(const std::vector<HWND>& controls)
{
    for (HWND control : controls)
        if (!Fits(control))
            return false;
    return true;
}

}  // namespace

SIZE TextRoomOf(HWND control)
{
    const TextKind kind = KindOf(control);
    const std::wstring text = TextOf(control);
    if (kind == TextKind::None || text.empty())
        return SIZE{0, 0};
    HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT client;
    ::GetClientRect(control, &client);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (kind == TextKind::Wrapped ? DT_WORDBREAK : DT_SINGLELINE);
    if (kind == TextKind::Wrapped && (style & SS_NOPREFIX))
        format |= DT_NOPREFIX;
    RECT room{0, 0, kind == TextKind::Wrapped ? client.right : 0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &room, format);
    SIZE size{room.right - room.left, room.bottom - room.top};
    if (kind == TextKind::Boxed) {
        // The box, and the gap of half a digit the system leaves after it.
        SIZE digit{};
        ::GetTextExtentPoint32W(dc, L"0", 1, &digit);
        size.cx += ::GetSystemMetrics(SM_CXMENUCHECK) + digit.cx / 2;
    } else if (kind == TextKind::Framed) {
        size.cx += 2 * ::GetSystemMetrics(SM_CXEDGE) + 4;
        size.cy = 0;  // a frame's height is its own affair
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size;
}

HFONT FitDialogTexts(HWND dialog)
{
    const std::vector<HWND> controls = TextControlsOf(dialog);
    if (AllFit(controls))
        return nullptr;
    LOGFONTW font{};
    const HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!dialogFont || !::GetObjectW(dialogFont, sizeof font, &font))
        return nullptr;
    const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    HFONT smaller = nullptr;
    for (LONG h = height - 1; h * 5 >= height * 4; --h) {
        font.lfHeight = font.lfHeight < 0 ? -h : h;
        font.lfWidth = 0;
        HFONT next = ::CreateFontIndirectW(&font);
        if (!next)
            break;
        for (HWND control : controls)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(next), FALSE);
        if (smaller)
            ::DeleteObject(smaller);
        smaller = next;
        if (AllFit(controls))
            break;
    }
    ::InvalidateRect(dialog, nullptr, TRUE);
    return smaller;
}

UINT TextRoomMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"NcMirror.TextRoom");
    return message;
}
