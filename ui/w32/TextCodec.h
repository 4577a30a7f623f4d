// Text conversion between the encodings a Windows program meets: UTF-8 (our
// sources and shared texts), UTF-16 (what the W functions take) and the
// system's ANSI code page (what narrow file functions take).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Converts to the ANSI code page. False, with `out` emptied, when a character
// has no exact counterpart there (Windows would put a look-alike or '?' in
// its place, which can name another file).
bool WideToAnsi(std::wstring_view text, std::string& out);
std::wstring AnsiToWide(std::string_view text);

// How WideCharToMultiByte may be asked about characters it cannot convert
// exactly in `codePage`: the flags it accepts there, and whether it takes
// the "default character used" pointer. UTF-8, UTF-7 and a few others take
// neither (the call fails outright), so every conversion would fail under a
// system whose ANSI code page is UTF-8.
struct NarrowingRules {
    DWORD flags;
    bool reportsDefaultUse;
};
NarrowingRules NarrowingRulesOf(UINT codePage);

// The same for any code page, the ANSI code page UTF-8 (65001) included.
bool WideToCodePage(UINT codePage, std::wstring_view text, std::string& out);
std::wstring CodePageToWide(UINT codePage, std::string_view text);
