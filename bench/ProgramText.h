// Assembles the lines of a generated program: block numbers, words printed
// in free or fixed-width style, line ends, and large writes to the sink.
#pragma once

#include "ProgramGenerator.h"

#include <string>

class CProgramText {
public:
    CProgramText(const ProgramOptions& options, CProgramSink& sink);

    bool Fixed() const { return m_bFixed; }
    // True once the program has reached its target size.
    bool Full() const { return m_nWritten + m_strBuffer.size() >= m_nTarget; }
    bool Failed() const { return m_bFailed; }
    long long Written() const { return static_cast<long long>(m_nWritten + m_strBuffer.size()); }

    // Starts a block with its number: 'N1234 ' in free format (steps of 2),
    // 'N0123' in fixed-width format.
    void Block();
    // Appends raw text, blanks and all.
    void Text(const char* text) { m_strBuffer += text; }
    void Char(char c) { m_strBuffer += c; }
    // Appends a word whose value is an integer: 'G01', 'M06', 'F1200', 'H3'.
    // `digits` is the least number of digits ('G1' with 2 gives 'G01').
    void Code(char letter, long long value, int digits = 1);
    // Appends a coordinate in micrometres. Free format: 'X12.345', 'X12.3',
    // 'X12.' (three decimals at most, trailing zeros dropped). Fixed width:
    // 'X+012345' (sign and six digits). A blank goes before the word in free
    // format unless it starts the line's text.
    void Coordinate(char letter, long long microns);
    // Like Coordinate, with up to four decimals in free format (tenths of a
    // micrometre); in fixed width the last digit is rounded off.
    void FineCoordinate(char letter, long long tenthMicrons);
    // Appends a free-format word with exactly `decimals` decimals of
    // `scaled` (its value times 10^decimals): 'X51.167000'.
    void Decimal(char letter, long long scaled, int decimals);
    // Ends the line and hands full buffers to the sink. Without
    // `addLineEnd` the caller has written the line's end itself (or none).
    void EndLine(bool addLineEnd = true);
    // Writes what is left; false when a write failed.
    bool Finish();

private:
    void Separator();
    void Flush();

    std::string m_strBuffer;
    CProgramSink& m_sink;
    unsigned long long m_nWritten = 0;
    unsigned long long m_nTarget;
    long long m_nBlock = 0;
    std::size_t m_nLineStart = 0;
    bool m_bFixed;
    bool m_bCrlf;
    bool m_bFailed = false;
};

// The two kinds of content; each writes lines until the text is full.
void WriteToolpaths(CProgramText& text, CBenchRandom& random);
void WriteNoise(CProgramText& text, CBenchRandom& random, bool fixedWidth);
void WriteCamOutput(CProgramText& text, CBenchRandom& random);
void WriteLatheProgram(CProgramText& text, CBenchRandom& random);
