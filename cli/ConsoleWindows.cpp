#include "Console.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The console handle behind a standard stream, or null when the stream goes
// to a file, a pipe or the NUL device.
HANDLE ConsoleHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
}

std::wstring Widen(const std::string& text, UINT codePage)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string ToUtf8(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr,
                            nullptr);
    return text;
}

}  // namespace

// Nothing to set up: the console's code page is handled per write.
CConsole::CConsole() = default;

bool CConsole::InputIsTerminal() const { return ConsoleHandle(STD_INPUT_HANDLE) != nullptr; }

bool CConsole::ErrorIsTerminal() const { return ConsoleHandle(STD_ERROR_HANDLE) != nullptr; }

int CConsole::ErrorWidth() const
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    HANDLE handle = ConsoleHandle(STD_ERROR_HANDLE);
    if (handle && GetConsoleScreenBufferInfo(handle, &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0)
            return width;
    }
    return 80;
}

void CConsole::Write(ConsoleStream stream, const std::string& utf8)
{
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    HANDLE console = ConsoleHandle(stream == ConsoleStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (!console) {
        // Files and pipes get the UTF-8 bytes, as on every other platform.
        const bool written = std::fwrite(utf8.data(), 1, utf8.size(), file) == utf8.size();
        if ((std::fflush(file) != 0 || !written) && stream == ConsoleStream::Error)
            m_bErrorsLost = true;
        return;
    }
    // A console shows UTF-16 right whatever its code page is.
    std::fflush(file);
    const std::wstring wide = Widen(utf8, CP_UTF8);
    std::size_t done = 0;
    while (done < wide.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(wide.size() - done < 8192 ? wide.size() - done : 8192);
        if (!WriteConsoleW(console, wide.data() + done, chunk, &written, nullptr) || written == 0) {
            m_bErrorsLost = m_bErrorsLost || stream == ConsoleStream::Error;
            break;
        }
        done += written;
    }
}

bool CConsole::ReadLine(std::string& utf8)
{
    utf8.clear();
    HANDLE console = ConsoleHandle(STD_INPUT_HANDLE);
    bool any = false;
    if (console) {
        std::wstring line;
        wchar_t buffer[256];
        for (;;) {
            DWORD read = 0;
            if (!ReadConsoleW(console, buffer, 256, &read, nullptr) || read == 0)
                break;
            any = true;
            line.append(buffer, read);
            if (line.back() == L'\n')
                break;
        }
        while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
            line.pop_back();
        utf8 = ToUtf8(line);
        return any;
    }
    return ReadInputLine(utf8);
}

// Command-line paths come in the ANSI code page (1251 on a Russian Windows).
std::string CConsole::DisplayPath(const std::string& path) const { return ToUtf8(Widen(path, CP_ACP)); }
