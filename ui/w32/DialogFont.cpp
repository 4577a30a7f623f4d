#include "DialogFont.h"

#include <cstddef>
#include <cstring>

namespace {

// Reads the template front to back; every read is checked against its size.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Word(WORD& value) { return Read(&value, sizeof value); }
    bool Dword(DWORD& value) { return Read(&value, sizeof value); }
    bool Byte(BYTE& value) { return Read(&value, sizeof value); }
    bool Skip(std::size_t bytes)
    {
        if (m_size - m_pos < bytes)
            return false;
        m_pos += bytes;
        return true;
    }
    // A NUL-terminated UTF-16 string.
    bool SkipString()
    {
        WORD c = 0;
        do {
            if (!Word(c))
                return false;
        } while (c != 0);
        return true;
    }
    // A string or an ordinal (0xFFFF and one word).
    bool SkipNameOrOrdinal()
    {
        WORD first = 0;
        if (!Word(first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF)
            return Skip(sizeof(WORD));
        return SkipString();
    }

private:
    bool Read(void* out, std::size_t bytes)
    {
        if (m_size - m_pos < bytes)
            return false;
        std::memcpy(out, m_data + m_pos, bytes);
        m_pos += bytes;
        return true;
    }

    const BYTE* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace

BYTE TemplateFontCharset(HINSTANCE instance, UINT id)
{
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return DEFAULT_CHARSET;
    TemplateReader reader(static_cast<const BYTE*>(data), ::SizeofResource(instance, found));
    WORD version = 0, signature = 0, items = 0, pointSize = 0, weight = 0;
    DWORD helpId = 0, exStyle = 0, style = 0;
    BYTE italic = 0, charset = DEFAULT_CHARSET;
    const bool extended = reader.Word(version) && reader.Word(signature) && version == 1 && signature == 0xFFFF;
    if (!extended || !reader.Dword(helpId) || !reader.Dword(exStyle) || !reader.Dword(style) || !(style & DS_SETFONT))
        return DEFAULT_CHARSET;
    if (!reader.Word(items) || !reader.Skip(4 * sizeof(WORD)) || !reader.SkipNameOrOrdinal() ||
        !reader.SkipNameOrOrdinal() || !reader.SkipString() || !reader.Word(pointSize) || !reader.Word(weight) ||
        !reader.Byte(italic) || !reader.Byte(charset))
        return DEFAULT_CHARSET;
    return charset;
}

void CDialogFont::Apply(HWND dialog, BYTE charset)
{
    if (charset == DEFAULT_CHARSET)
        return;
    HFONT current = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW font;
    if (!current || ::GetObjectW(current, sizeof font, &font) != sizeof font || font.lfCharSet == charset)
        return;
    font.lfCharSet = charset;
    HFONT replacement = ::CreateFontIndirectW(&font);
    if (!replacement)
        return;
    Reset();
    m_hFont = replacement;
    ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
}

void CDialogFont::Reset()
{
    if (m_hFont) {
        ::DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
}
