#include "DialogFont.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace {

// Reads an extended dialog template front to back; every read is checked
// against its size.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t Pos() const { return m_pos; }
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
    bool String(std::wstring& text)
    {
        text.clear();
        for (WORD c = 0;;) {
            if (!Word(c))
                return false;
            if (c == 0)
                return true;
            text += static_cast<wchar_t>(c);
        }
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
        std::wstring ignored;
        m_pos -= sizeof(WORD);
        return String(ignored);
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

// Where the font of an extended template with DS_SETFONT is, and what it is.
struct TemplateFont {
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::wstring face;
    std::size_t faceStart = 0;  // byte offset of the face name
    std::size_t faceEnd = 0;    // just past its NUL
};

bool ReadTemplateFont(const BYTE* data, std::size_t size, TemplateFont& font)
{
    TemplateReader reader(data, size);
    WORD version = 0, signature = 0, items = 0;
    DWORD helpId = 0, exStyle = 0, style = 0;
    if (!reader.Word(version) || !reader.Word(signature) || version != 1 || signature != 0xFFFF)
        return false;
    if (!reader.Dword(helpId) || !reader.Dword(exStyle) || !reader.Dword(style) || !(style & DS_SETFONT))
        return false;
    std::wstring caption;
    if (!reader.Word(items) || !reader.Skip(4 * sizeof(WORD)) || !reader.SkipNameOrOrdinal() ||
        !reader.SkipNameOrOrdinal() || !reader.String(caption) || !reader.Word(font.pointSize) ||
        !reader.Word(font.weight) || !reader.Byte(font.italic) || !reader.Byte(font.charset))
        return false;
    font.faceStart = reader.Pos();
    if (!reader.String(font.face))
        return false;
    font.faceEnd = reader.Pos();
    return true;
}

// True when the system has `face` itself in `charset`, not a stand-in the
// font mapper would choose.
bool SystemHasFace(const TemplateFont& font, const wchar_t* face)
{
    LOGFONTW wanted{};
    wanted.lfHeight = -MulDiv(font.pointSize, 96, 72);
    wanted.lfWeight = font.weight;
    wanted.lfItalic = font.italic;
    wanted.lfCharSet = font.charset;
    ::lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    HFONT created = ::CreateFontIndirectW(&wanted);
    HDC dc = ::CreateCompatibleDC(nullptr);
    bool has = false;
    if (created && dc) {
        HGDIOBJ old = ::SelectObject(dc, created);
        wchar_t got[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, got);
        has = ::GetTextCharset(dc) == font.charset && ::lstrcmpiW(got, face) == 0;
        ::SelectObject(dc, old);
    }
    if (dc)
        ::DeleteDC(dc);
    if (created)
        ::DeleteObject(created);
    return has;
}

}  // namespace

std::vector<BYTE> TemplateForCharset(HINSTANCE instance, UINT id)
{
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return {};
    const std::size_t size = ::SizeofResource(instance, found);
    TemplateFont font;
    if (!ReadTemplateFont(data, size, font) || font.charset == DEFAULT_CHARSET || SystemHasFace(font, font.face.c_str()))
        return {};

    const wchar_t* replacement = nullptr;
    for (const wchar_t* face : {L"Microsoft Sans Serif", L"Tahoma"}) {
        if (SystemHasFace(font, face)) {
            replacement = face;
            break;
        }
    }
    if (!replacement)
        return {};  // nothing better than the system's own choice

    // The controls start at the first DWORD boundary after the face name;
    // copied from such a boundary they keep their own alignment.
    const auto align = [](std::size_t n) { return (n + 3) & ~static_cast<std::size_t>(3); };
    const std::size_t itemsStart = align(font.faceEnd);
    if (itemsStart > size)
        return {};
    std::vector<BYTE> copy(data, data + font.faceStart);
    const std::size_t faceBytes = (std::wcslen(replacement) + 1) * sizeof(wchar_t);
    const auto* faceData = reinterpret_cast<const BYTE*>(replacement);
    copy.insert(copy.end(), faceData, faceData + faceBytes);
    copy.resize(align(copy.size()), 0);
    copy.insert(copy.end(), data + itemsStart, data + size);
    return copy;
}
