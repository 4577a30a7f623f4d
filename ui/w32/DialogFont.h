// The character set a dialog template asks of its font. Windows honours it
// when it creates the dialog; where the font in use has another one (Wine
// takes the system's), the dialog gets the font again with the right set.
#pragma once

#include <windows.h>

// The character set of the font in dialog template `id` (an extended
// template with DS_SETFONT), or DEFAULT_CHARSET when it names none.
BYTE TemplateFontCharset(HINSTANCE instance, UINT id);

// Owns a font made for one dialog.
class CDialogFont {
public:
    CDialogFont() = default;
    ~CDialogFont() { Reset(); }
    CDialogFont(const CDialogFont&) = delete;
    CDialogFont& operator=(const CDialogFont&) = delete;

    // Gives `dialog` and its controls their font again in `charset` when the
    // font they have is in another set.
    void Apply(HWND dialog, BYTE charset);
    void Reset();

private:
    HFONT m_hFont = nullptr;
};
