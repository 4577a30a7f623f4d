#include "Console.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

CConsole::CConsole()
{
    // A file-size limit (ulimit -f) would otherwise kill the process part-way
    // through a write, leaving the temporary output behind and the results of
    // the files already done unprinted. Ignored, the write fails with an
    // error and the engine reports the file as not written and removes its
    // temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    // A standard stream the caller closed must not be taken by a file of
    // ours (results written into a program): it gets /dev/null, read-only,
    // so that writes to it fail as they would have.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int opened = ::open("/dev/null", O_RDONLY);
            if (opened >= 0 && opened != fd) {
                ::dup2(opened, fd);
                ::close(opened);
            }
        }
}

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
    const bool written = std::fwrite(utf8.data(), 1, utf8.size(), file) == utf8.size();
    if ((std::fflush(file) != 0 || !written) && stream == ConsoleStream::Error)
        m_bErrorsLost = true;
}

bool CConsole::ReadLine(std::string& utf8) { return ReadInputLine(utf8); }

std::string CConsole::DisplayPath(const std::string& path) const { return path; }
