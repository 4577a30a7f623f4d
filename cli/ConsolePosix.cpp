#include "Console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

// A file-size limit (ulimit -f) would otherwise kill the process part-way
// through a write, leaving the temporary output behind and the results of the
// files already done unprinted. Ignored, the write fails with an error and
// the engine reports the file as not written and removes its temporary file.
CConsole::CConsole() { std::signal(SIGXFSZ, SIG_IGN); }

bool CConsole::InputIsTerminal() const { return isatty(STDIN_FILENO) == 1; }

bool CConsole::ErrorIsTerminal() const { return isatty(STDERR_FILENO) == 1; }

int CConsole::ErrorWidth() const
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void CConsole::Write(ConsoleStream stream, const std::string& utf8)
{
    std::FILE* file = stream == ConsoleStream::Output ? stdout : stderr;
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    if (stream == ConsoleStream::Error)
        std::fflush(file);
}

bool CConsole::ReadLine(std::string& utf8) { return ReadInputLine(utf8); }

std::string CConsole::DisplayPath(const std::string& path) const { return path; }
