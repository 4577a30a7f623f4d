#include "ProgramText.h"

namespace {

const std::size_t kFlushSize = 1u << 20;

// Appends the decimal digits of `value` (not negative), at least `digits` of them.
void AppendDigits(std::string& out, unsigned long long value, int digits)
{
    char tmp[24];
    int n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < digits && n < static_cast<int>(sizeof tmp))
        tmp[n++] = '0';
    while (n > 0)
        out += tmp[--n];
}

unsigned long long Magnitude(long long value)
{
    return value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
}

}  // namespace

CProgramText::CProgramText(const ProgramOptions& options, CProgramSink& sink)
    : m_sink(sink),
      m_nTarget(options.targetBytes),
      m_bFixed(options.style == ProgramStyle::Fixed || options.style == ProgramStyle::NoiseFixed),
      m_bCrlf(options.crlf)
{
    m_strBuffer.reserve(kFlushSize + 4096);
}

void CProgramText::Block()
{
    if (m_bFixed) {
        m_nBlock = m_nBlock % 9999 + 1;
        m_strBuffer += 'N';
        AppendDigits(m_strBuffer, static_cast<unsigned long long>(m_nBlock), 4);
    } else {
        m_nBlock = m_nBlock % 99998 + 2;
        m_strBuffer += 'N';
        AppendDigits(m_strBuffer, static_cast<unsigned long long>(m_nBlock), 1);
    }
}

void CProgramText::Separator()
{
    if (!m_bFixed && m_strBuffer.size() > m_nLineStart && m_strBuffer.back() != ' ')
        m_strBuffer += ' ';
}

void CProgramText::Code(char letter, long long value, int digits)
{
    Separator();
    m_strBuffer += letter;
    if (value < 0)
        m_strBuffer += '-';
    AppendDigits(m_strBuffer, Magnitude(value), digits);
}

void CProgramText::Coordinate(char letter, long long microns)
{
    FineCoordinate(letter, microns * 10);
}

void CProgramText::FineCoordinate(char letter, long long tenthMicrons)
{
    Separator();
    m_strBuffer += letter;
    const bool negative = tenthMicrons < 0;
    unsigned long long magnitude = Magnitude(tenthMicrons);
    if (m_bFixed) {
        // Sign and six digits of micrometres, clamped to the format's range.
        magnitude = (magnitude + 5) / 10;
        if (magnitude > 999999)
            magnitude = 999999;
        m_strBuffer += negative && magnitude != 0 ? '-' : '+';
        AppendDigits(m_strBuffer, magnitude, 6);
        return;
    }
    if (negative)
        m_strBuffer += '-';
    AppendDigits(m_strBuffer, magnitude / 10000, 1);
    m_strBuffer += '.';
    unsigned long long fraction = magnitude % 10000;
    int decimals = 4;
    while (decimals > 0 && fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    if (decimals > 0)
        AppendDigits(m_strBuffer, fraction, decimals);
}

void CProgramText::Decimal(char letter, long long scaled, int decimals)
{
    Separator();
    m_strBuffer += letter;
    if (scaled < 0)
        m_strBuffer += '-';
    unsigned long long power = 1;
    for (int i = 0; i < decimals; ++i)
        power *= 10;
    AppendDigits(m_strBuffer, Magnitude(scaled) / power, 1);
    m_strBuffer += '.';
    AppendDigits(m_strBuffer, Magnitude(scaled) % power, decimals);
}

void CProgramText::EndLine(bool addLineEnd)
{
    if (addLineEnd) {
        if (m_bCrlf)
            m_strBuffer += '\r';
        m_strBuffer += '\n';
    }
    if (m_strBuffer.size() >= kFlushSize)
        Flush();
    m_nLineStart = m_strBuffer.size();
}

void CProgramText::Flush()
{
    if (!m_strBuffer.empty() && !m_bFailed && !m_sink.Write(m_strBuffer.data(), m_strBuffer.size()))
        m_bFailed = true;
    m_nWritten += m_strBuffer.size();
    m_strBuffer.clear();
    m_nLineStart = 0;
}

bool CProgramText::Finish()
{
    Flush();
    return !m_bFailed;
}
