#include "ReportPrinter.h"

#include "MirrorMessages.h"

#include <cstdio>

CReportPrinter::CReportPrinter(CConsole& console, ConsoleStream resultStream, bool quiet, std::size_t files)
    : m_console(console), m_resultStream(resultStream), m_bQuiet(quiet),
      m_progress(console, !quiet && console.ErrorIsTerminal(), files)
{
}

void CReportPrinter::ShowProgress(std::size_t index, const std::string& shownFile)
{
    if (index == m_nShownIndex)
        return;
    m_nShownIndex = index;
    m_progress.Begin(index, shownFile);
}

void CReportPrinter::Print(const std::vector<Notice>& notices)
{
    for (const Notice& notice : notices)
        Print(notice);
}

void CReportPrinter::Print(const Notice& notice)
{
    switch (notice.kind) {
    case NoticeKind::Result:
        if (!m_bQuiet)
            Write(m_resultStream, notice.text + "\n");
        break;
    case NoticeKind::Error: {
        std::string text = "ncmirror: " + notice.text + "\n";
        const std::string reason = MirrorFailureText(notice.failure);
        if (!reason.empty())
            text += "ncmirror: " + reason + "\n";
        Write(ConsoleStream::Error, text);
        break;
    }
    case NoticeKind::Findings: Write(ConsoleStream::Error, notice.text + "\n"); break;
    case NoticeKind::Note:
        if (!m_bQuiet)
            Write(ConsoleStream::Error, notice.text + "\n");
        break;
    }
}

bool CReportPrinter::Ask(const std::string& question, std::string& answer)
{
    Write(ConsoleStream::Error, question);
    if (m_console.ReadLine(answer))
        return true;
    Write(ConsoleStream::Error, "\n");
    return false;
}

void CReportPrinter::Write(ConsoleStream stream, const std::string& text)
{
    m_progress.Clear();
    if (stream == ConsoleStream::Error)
        std::fflush(stdout);
    m_console.Write(stream, text);
}
