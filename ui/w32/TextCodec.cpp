#include "TextCodec.h"

#include <climits>

NarrowingRules NarrowingRulesOf(UINT codePage)
{
    // UTF-8 has every character; it only refuses half a surrogate pair.
    if (codePage == CP_UTF8)
        return {WC_ERR_INVALID_CHARS, false};
    if (codePage == CP_UTF7 || codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
        (codePage >= 57002 && codePage <= 57011))
        return {0, false};
    return {WC_NO_BEST_FIT_CHARS, true};
}

std::wstring CodePageToWide(UINT codePage, std::string_view text)
{
    if (text.empty() || text.size() > INT_MAX)
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

bool WideToCodePage(UINT codePage, std::wstring_view text, std::string& out)
{
    out.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const int size = static_cast<int>(text.size());
    const NarrowingRules rules = NarrowingRulesOf(codePage);
    const DWORD flags = rules.flags;
    BOOL lossy = FALSE;
    BOOL* usedDefault = rules.reportsDefaultUse ? &lossy : nullptr;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefault);
    if (length <= 0 || lossy)
        return false;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr, usedDefault);
    // A round trip catches what the default-character flag misses, e.g. a
    // character that the code page can only spell through a decomposition.
    if (lossy || CodePageToWide(codePage, narrow) != text)
        return false;
    out = std::move(narrow);
    return true;
}

std::wstring Utf8ToWide(std::string_view text) { return CodePageToWide(CP_UTF8, text); }

std::string WideToUtf8(std::wstring_view text)
{
    // Half a surrogate pair becomes the replacement character.
    if (text.empty() || text.size() > INT_MAX)
        return std::string();
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring AnsiToWide(std::string_view text) { return CodePageToWide(::GetACP(), text); }

bool WideToAnsi(std::wstring_view text, std::string& out) { return WideToCodePage(::GetACP(), text, out); }
