// Micro-benchmarks of the per-line work of the mirror: the format scan of a
// line, the rewriting of whole lines in each mode, and the pieces of it
// (reprinting one number, swapping G codes). The lines are a slice of a
// generated program, so the mix is that of real CAM output.
#include "FormatMarks.h"
#include "MirrorModes.h"
#include "LineOperations.h"
#include "LineSweep.h"
#include "ProgramGenerator.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

class CStringSink : public CProgramSink {
public:
    bool Write(const char* data, std::size_t size) override
    {
        m_strText.append(data, size);
        return true;
    }
    std::string m_strText;
};

struct SampleLines {
    std::vector<std::string> lines;
    std::size_t bytes = 0;
};

// About 1 MB of a generated program, split into lines with their ends.
const SampleLines& Sample(ProgramStyle style)
{
    static SampleLines samples[2];
    SampleLines& sample = samples[style == ProgramStyle::Fixed ? 1 : 0];
    if (sample.lines.empty()) {
        ProgramOptions options;
        options.style = style;
        options.targetBytes = 1u << 20;
        options.seed = 7;
        CStringSink sink;
        GenerateProgram(options, sink);
        std::size_t start = 0;
        while (start < sink.m_strText.size()) {
            std::size_t end = sink.m_strText.find('\n', start);
            end = end == std::string::npos ? sink.m_strText.size() : end + 1;
            sample.lines.push_back(sink.m_strText.substr(start, end - start));
            start = end;
        }
        sample.bytes = sink.m_strText.size();
    }
    return sample;
}

void CountWork(benchmark::State& state, const SampleLines& sample)
{
    state.SetItemsProcessed(static_cast<long long>(state.iterations() * sample.lines.size()));
    state.SetBytesProcessed(static_cast<long long>(state.iterations() * sample.bytes));
}

void FormatScanLine(benchmark::State& state, ProgramStyle style)
{
    const SampleLines& sample = Sample(style);
    for (auto _ : state) {
        int marks = 0;
        for (const std::string& line : sample.lines)
            marks += FreeFormatMarks(line);
        benchmark::DoNotOptimize(marks);
    }
    CountWork(state, sample);
}

void SweepLines(benchmark::State& state, ProgramStyle style, int mode)
{
    const SampleLines& sample = Sample(style);
    CLineSweep sweep;
    sweep.Begin(style == ProgramStyle::Fixed);
    const MirrorMode& mirrorMode = *FindMirrorMode(mode);
    std::string work;
    for (auto _ : state) {
        long long count = 0;
        for (const std::string& line : sample.lines) {
            work.assign(line);
            count += sweep.MirrorLine(work, mirrorMode);
        }
        benchmark::DoNotOptimize(count);
        benchmark::DoNotOptimize(work.data());
    }
    CountWork(state, sample);
}

void NegateValue(benchmark::State& state, int formatCount, const char* text)
{
    std::string value;
    for (auto _ : state) {
        value.assign(text);
        benchmark::DoNotOptimize(ScaleValue(-1.0f, value, formatCount == 0));
        benchmark::DoNotOptimize(value.data());
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()));
}

void SwapCodes(benchmark::State& state, const char* text, int type)
{
    std::string line;
    for (auto _ : state) {
        line.assign(text);
        benchmark::DoNotOptimize(SwapMotionCodes(line, type));
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()));
}

}  // namespace

BENCHMARK_CAPTURE(FormatScanLine, free, ProgramStyle::Free);
BENCHMARK_CAPTURE(FormatScanLine, fixed, ProgramStyle::Fixed);

BENCHMARK_CAPTURE(SweepLines, free_mode1, ProgramStyle::Free, 1);
BENCHMARK_CAPTURE(SweepLines, free_mode2, ProgramStyle::Free, 2);
BENCHMARK_CAPTURE(SweepLines, free_mode3, ProgramStyle::Free, 3);
BENCHMARK_CAPTURE(SweepLines, fixed_mode1, ProgramStyle::Fixed, 1);
BENCHMARK_CAPTURE(SweepLines, fixed_mode2, ProgramStyle::Fixed, 2);
BENCHMARK_CAPTURE(SweepLines, fixed_mode3, ProgramStyle::Fixed, 3);

BENCHMARK_CAPTURE(NegateValue, free_3_decimals, 1, "12.345");
BENCHMARK_CAPTURE(NegateValue, free_point_only, 1, "-100. ");
BENCHMARK_CAPTURE(NegateValue, free_integer, 1, "+0250");
BENCHMARK_CAPTURE(NegateValue, free_6_decimals, 1, "1.123456");
BENCHMARK_CAPTURE(NegateValue, fixed_width, 0, "+001000");

BENCHMARK_CAPTURE(SwapCodes, arc, "N40 G02 X25.5 Y30.25 I10. J0.5\n", kSwapArcDirection);
BENCHMARK_CAPTURE(SwapCodes, no_pair, "N30 G01 G41 D1 X15.5 Y20. F200\n", kSwapArcDirection);

BENCHMARK_MAIN();
