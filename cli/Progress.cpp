#include "Progress.h"

#include "Console.h"

namespace {

const std::chrono::milliseconds kQuietTime(1000);

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t CountCharacters(const std::string& text)
{
    std::size_t count = 0;
    for (char c : text)
        if (!IsContinuationByte(c))
            ++count;
    return count;
}

}  // namespace

std::string FitToColumns(const std::string& text, std::size_t columns)
{
    const std::size_t length = CountCharacters(text);
    if (length <= columns)
        return text;
    const std::string ellipsis = "...";
    if (columns <= ellipsis.size())
        return ellipsis.substr(0, columns);
    // Keep the last characters: the end of a path says most about it.
    std::size_t drop = length - (columns - ellipsis.size());
    std::size_t start = 0;
    while (start < text.size() && (drop > 0 || IsContinuationByte(text[start]))) {
        ++start;
        if (start < text.size() && !IsContinuationByte(text[start]))
            --drop;
    }
    return ellipsis + text.substr(start);
}

CProgress::CProgress(CConsole& console, bool enabled, std::size_t total)
    : m_console(console), m_bEnabled(enabled), m_nTotal(total), m_nShownColumns(0),
      m_start(std::chrono::steady_clock::now())
{
}

CProgress::~CProgress() { Clear(); }

void CProgress::Begin(std::size_t index, const std::string& name)
{
    if (!m_bEnabled || std::chrono::steady_clock::now() - m_start < kQuietTime)
        return;
    const int width = m_console.ErrorWidth();
    // One column stays free so that the cursor never wraps to the next row.
    const std::size_t columns = width > 1 ? static_cast<std::size_t>(width - 1) : 1;
    const std::string head = "file " + std::to_string(index) + " of " + std::to_string(m_nTotal) + ": ";
    std::string line = FitToColumns(head + name, columns);
    const std::size_t shown = CountCharacters(line);
    if (shown < m_nShownColumns)
        line += std::string(m_nShownColumns - shown, ' ');
    m_console.Write(ConsoleStream::Error, "\r" + line);
    m_nShownColumns = shown;
}

void CProgress::Clear()
{
    if (m_nShownColumns == 0)
        return;
    m_console.Write(ConsoleStream::Error, "\r" + std::string(m_nShownColumns, ' ') + "\r");
    m_nShownColumns = 0;
}
