// The progress line of a long batch: "file i of n: name" on standard error,
// drawn over itself, shown only once the batch has run about a second and
// only when standard error is a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

class CConsole;

class CProgress {
public:
    CProgress(CConsole& console, bool enabled, std::size_t total);
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // Called as file `index` (from 1) starts; `name` is UTF-8.
    void Begin(std::size_t index, const std::string& name);
    // Removes the line, if one is shown, so that other text can follow.
    void Clear();

private:
    CConsole& m_console;
    bool m_bEnabled;
    std::size_t m_nTotal;
    std::size_t m_nShownColumns;  // columns of the line on screen; 0 when none
    std::chrono::steady_clock::time_point m_start;
};

// Fits `text` (UTF-8) into `columns` characters, dropping the start of it
// behind "..." when it is longer. Counts one column per character.
std::string FitToColumns(const std::string& text, std::size_t columns);
