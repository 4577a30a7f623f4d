#include "ProgramGenerator.h"

#include "ProgramText.h"

std::uint64_t CBenchRandom::Next()
{
    // splitmix64
    std::uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

long long CBenchRandom::Range(long long lo, long long hi)
{
    if (hi <= lo)
        return lo;
    const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<long long>(Next() % span);
}

long long GenerateProgram(const ProgramOptions& options, CProgramSink& sink)
{
    CProgramText text(options, sink);
    // Free and fixed width draw the same random numbers, so one seed gives
    // the same toolpath in both number formats.
    CBenchRandom random(options.seed);
    switch (options.style) {
    case ProgramStyle::Free:
    case ProgramStyle::Fixed: WriteToolpaths(text, random); break;
    case ProgramStyle::Noise: WriteNoise(text, random, false); break;
    case ProgramStyle::NoiseFixed: WriteNoise(text, random, true); break;
    case ProgramStyle::Cam: WriteCamOutput(text, random); break;
    case ProgramStyle::Lathe: WriteLatheProgram(text, random); break;
    }
    if (!text.Finish())
        return -1;
    return text.Written();
}

long long ParseByteSize(const std::string& text)
{
    if (text.empty())
        return -1;
    unsigned long long value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > (1ull << 50))
            return -1;
    }
    if (i == 0)
        return -1;
    const std::string unit = text.substr(i);
    if (unit.empty())
        return static_cast<long long>(value);
    if (unit == "K" || unit == "k")
        return static_cast<long long>(value << 10);
    if (unit == "M" || unit == "m")
        return static_cast<long long>(value << 20);
    if (unit == "G" || unit == "g")
        return static_cast<long long>(value << 30);
    return -1;
}

bool ParseProgramStyle(const std::string& text, ProgramStyle& style)
{
    if (text == "free")
        style = ProgramStyle::Free;
    else if (text == "fixed")
        style = ProgramStyle::Fixed;
    else if (text == "noise")
        style = ProgramStyle::Noise;
    else if (text == "noise-fixed")
        style = ProgramStyle::NoiseFixed;
    else if (text == "cam")
        style = ProgramStyle::Cam;
    else if (text == "lathe")
        style = ProgramStyle::Lathe;
    else
        return false;
    return true;
}
