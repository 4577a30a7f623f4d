// ncm_readpath: what reading a program's tool path costs, stage by stage,
// on one file (and its mirror image), in CPU seconds of this process.
//
//   ncm_readpath SOURCE [MIRRORED]
//
// Rows: lines (the line reader alone), reader (lines into moves), picture
// (the source's picture, as --svg reads it beside the mirror) and, with
// MIRRORED, proof (the two files read in step, as --verify reads them).
// Each is the best of three runs, in CPU seconds and in wall seconds (the
// proof reads the source on a second thread). Figures only.
#include "LineReader.h"
#include "MirrorModes.h"
#include "MirrorPair.h"
#include "PathProof.h"
#include "ToolpathPicture.h"
#include "ToolpathReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Row(const char* name, const std::function<long long()>& stage)
{
    double bestCpu = 1e30, bestWall = 1e30;
    long long count = 0;
    for (int run = 0; run < 3; ++run) {
        const double cpu = CpuSeconds(), wall = WallSeconds();
        count = stage();
        bestCpu = std::min(bestCpu, CpuSeconds() - cpu);
        bestWall = std::min(bestWall, WallSeconds() - wall);
    }
    std::printf("%-8s %8.3f s CPU %8.3f s wall  (%lld)\n", name, bestCpu, bestWall, count);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: ncm_readpath SOURCE [MIRRORED]\n");
        return 2;
    }
    const char* source = argv[1];
    Row("lines", [&] {
        LineReader reader;
        long long lines = 0;
        std::string_view line;
        if (reader.Open(source))
            while (reader.NextLine(line))
                ++lines;
        return lines;
    });
    Row("reader", [&] {
        LineReader reader;
        CToolpathReader path;
        path.Begin(false);
        long long moves = 0;
        std::string_view line;
        if (reader.Open(source))
            while (reader.NextLine(line))
                moves += path.ReadLine(line).moved;
        return moves;
    });
    Row("picture", [&] {
        CToolpathPicture picture;
        ReadProgramPicture(source, picture);
        return static_cast<long long>(picture.Items(PictureLayer::Source).size());
    });
    if (argc == 3) {
        Row("proof", [&] {
            CPathProof proof(*FindMirrorMode(1));
            CMirrorPairReader pair(&proof, nullptr);
            ReadFilesInStep(source, argv[2], pair, &proof);
            return proof.Findings().Total();
        });
    }
    return 0;
}
