// Builds large, realistic NC part programs for the benchmarks: what a CAM
// post-processor writes for 3D surfacing, pocketing with cutter compensation
// and drilling, in free format or in the fixed-width format. A third style,
// noise, writes lines of random NC-like characters for comparing two builds
// of the engine byte for byte.
//
// The output depends only on the options: the same seed and size give the
// same bytes on every platform (integer arithmetic, our own random numbers).
#pragma once

#include <cstdint>
#include <string>

enum class ProgramStyle {
    Free,        // 'N1234 G01 X12.345 Y-6.789 Z-1.25 F1200'
    Fixed,       // 'N0123G01X+012345Y-006789Z-001250F1200': no '.' anywhere
    Noise,       // random NC-like lines, any length, any characters
    NoiseFixed,  // random lines that still scan as fixed width
    Cam,         // CAM output: a motion word on every line ('G1 X51.167 Z-6.405'), arcs with I/J, 3-6 decimals
    Lathe,       // a turning program: X and Z only, no Y anywhere ('N10 G1 X42.5 Z-30.25')
};

struct ProgramOptions {
    ProgramStyle style = ProgramStyle::Free;
    std::uint64_t seed = 1;
    std::uint64_t targetBytes = 10u << 20;  // the program ends with its first line past this size
    bool crlf = false;                      // "\r\n" line ends instead of "\n"
};

// Receives the program in large pieces.
class CProgramSink {
public:
    virtual ~CProgramSink() = default;
    // False stops the generator (a write error).
    virtual bool Write(const char* data, std::size_t size) = 0;
};

// Small, fast and fully specified random numbers (splitmix64), so that a
// seed means the same program everywhere.
class CBenchRandom {
public:
    explicit CBenchRandom(std::uint64_t seed) : m_nState(seed) {}
    std::uint64_t Next();
    // Uniform in [lo, hi], both included.
    long long Range(long long lo, long long hi);
    bool Chance(int percent) { return Range(0, 99) < percent; }

private:
    std::uint64_t m_nState;
};

// Writes the whole program to `sink`; the number of bytes written, or -1
// when the sink refused a write.
long long GenerateProgram(const ProgramOptions& options, CProgramSink& sink);

// Parses a size such as "100M", "1G", "512K" or "12345" (bytes); -1 on error.
long long ParseByteSize(const std::string& text);

// "free", "fixed", "noise", "noise-fixed", "cam", "lathe"; false for an unknown name.
bool ParseProgramStyle(const std::string& text, ProgramStyle& style);
