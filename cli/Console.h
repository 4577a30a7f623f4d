// The terminal side of ncmirror: which standard streams are terminals, UTF-8
// text out (correct in a Windows console too), one answer line in, and paths
// turned into text the user can read. One implementation per platform.
#pragma once

#include <string>

enum class ConsoleStream { Output, Error };

class CConsole {
public:
    // Sets up the process for console work (see the platform file).
    CConsole();
    CConsole(const CConsole&) = delete;
    CConsole& operator=(const CConsole&) = delete;

    bool InputIsTerminal() const;
    bool ErrorIsTerminal() const;

    // Width of the terminal behind standard error in columns; 80 when unknown.
    int ErrorWidth() const;

    // Writes UTF-8 text as it is and flushes it, so that each line is out
    // before the next file is worked on. Nothing is added or translated
    // except that a Windows console receives it as UTF-16.
    void Write(ConsoleStream stream, const std::string& utf8);

    // True once a write to standard error failed (closed, full): messages and
    // findings were lost, which the exit status must tell.
    bool ErrorsLost() const { return m_bErrorsLost; }

    // Reads one line from standard input as UTF-8, without its line end;
    // false at the end of the input when nothing was read.
    bool ReadLine(std::string& utf8);

    // A path as given on the command line (the platform's narrow encoding)
    // turned into UTF-8 for messages.
    std::string DisplayPath(const std::string& path) const;

private:
    bool m_bErrorsLost = false;
};

// One line of bytes from standard input, without its "\n" or "\r\n"; false at
// the end of the input when nothing was read. Both platforms read a redirected
// input with it.
bool ReadInputLine(std::string& bytes);
