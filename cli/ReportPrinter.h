// The one writer to the terminal in a batch: the files' reports (result
// lines, errors with their reasons, findings, notes), the overwrite
// questions and the progress line. Used from the main thread only.
#pragma once

#include "Console.h"
#include "FileReport.h"
#include "Progress.h"

#include <cstddef>
#include <string>
#include <vector>

class CReportPrinter {
public:
    // Result lines go to `resultStream`; `quiet` drops them and the notes.
    CReportPrinter(CConsole& console, ConsoleStream resultStream, bool quiet, std::size_t files);
    CReportPrinter(const CReportPrinter&) = delete;
    CReportPrinter& operator=(const CReportPrinter&) = delete;

    ConsoleStream ResultStream() const { return m_resultStream; }

    // The progress line names file `index` (from 1), once per file.
    void ShowProgress(std::size_t index, const std::string& shownFile);
    void ClearProgress() { m_progress.Clear(); }

    void Print(const std::vector<Notice>& notices);
    // Shows `question` and reads the answer line; false at the end of the
    // input, with the line ended.
    bool Ask(const std::string& question, std::string& answer);

private:
    void Print(const Notice& notice);
    // Every write goes here: the progress line is wiped first, and what
    // standard output holds goes out before anything on standard error, so
    // that both streams keep their order on one terminal or file.
    void Write(ConsoleStream stream, const std::string& text);

    CConsole& m_console;
    ConsoleStream m_resultStream;
    bool m_bQuiet;
    CProgress m_progress;
    std::size_t m_nShownIndex = 0;  // the file the progress line was last drawn for
};
