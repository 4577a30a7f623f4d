// The run at its edges: the line-length bound, files that change while the
// run goes on, the longest names and paths, and the observer of the
// temporary file.
#include "LineReader.h"
#include "NcMirror.h"
#include "TempFileObserver.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const std::string kProgram = "%\nN10 G00 X10. Y20.\nN20 G02 X5. Y5. I1. J1.\nM30\n";
const std::string kMirroredX = "%\nN10 G00 X10. Y-20.\nN20 G03X5. Y-5. I1. J-1.\nM30\n";
const std::string kMirroredY = "%\nN10 G00 X-10. Y20.\nN20 G03X-5. Y5. I-1. J1.\nM30\n";

// Calls `created` when the engine names its temporary file; checks that the
// record names the file of the run, and that it is gone at the end.
class WatchTemp : public CTempFileObserver {
public:
    explicit WatchTemp(std::function<void()> created = [] {}) : m_created(std::move(created)) {}
    void OnTempFileCreated(const TempFileRecord& file) override
    {
        ++m_nCreated;
        m_record = file;
        m_created();
    }
    void OnTempFileGone(const TempFileRecord& file) override
    {
        ++m_nGone;
        EXPECT_EQ(std::string(m_record.szName), file.szName);
#ifndef _WIN32
        EXPECT_NE(0, faccessat(file.nFolder, file.szName, F_OK, 0)) << file.szName;
#endif
    }
    int m_nCreated = 0;
    int m_nGone = 0;

private:
    std::function<void()> m_created;
    TempFileRecord m_record;
};

}  // namespace

TEST(RunEdges, LinesUpTo64MiBPassAndLongerOnesFail)
{
    ScratchFolder dir("bound");
    const auto run = [&](const std::string& bytes, MirrorFailureKind& reason) {
        WriteBytes(dir.path() / "p.nc", bytes);
        CNcMirror engine;
        engine.SetDiagnosticStream(nullptr);
        const long long result = engine.Mirror((dir / "p.nc").c_str(), (dir / "out.nc").c_str(), 1);
        reason = engine.LastFailure().kind;
        return result;
    };
    MirrorFailureKind reason;
    // A line of exactly 64 MiB with its end, then one a byte longer.
    std::string line = "G01 Y1. N" + std::string(kMaxLineBytes - 10, '7') + "\n";
    ASSERT_EQ(kMaxLineBytes, line.size());
    EXPECT_EQ(1, run(line, reason));
    EXPECT_EQ(line.size() + 1, fs::file_size(dir.path() / "out.nc"));
    line.insert(0, "N");
    EXPECT_EQ(kMirrorSourceError, run(line, reason));
    EXPECT_EQ(MirrorFailureKind::LineTooLong, reason);
    EXPECT_EQ(line.size(), fs::file_size(dir.path() / "out.nc")) << "the earlier output must stay";
    EXPECT_EQ((std::vector<std::string>{"out.nc", "p.nc"}), dir.Names());

    // More than 64 MiB of short lines ending in '\r': the lines are short,
    // the file is fine. With a '\n' somewhere the lines end in '\n', so the
    // first one is far too long.
    std::string crLines;
    while (crLines.size() <= kMaxLineBytes)
        crLines += "G01 X1. Y-2.\r";
    const std::size_t lines = crLines.size() / 13;
    EXPECT_EQ(static_cast<long long>(lines), run(crLines, reason));
    const std::string out = ReadBytes(dir.path() / "out.nc");
    EXPECT_EQ(crLines.size() - lines, out.size());
    EXPECT_EQ("G01 X1. Y2.\rG01 X1. Y2.\r", out.substr(0, 24));
    EXPECT_EQ(kMirrorSourceError, run(crLines + "\n", reason));
    EXPECT_EQ(MirrorFailureKind::LineTooLong, reason);
}

TEST(RunEdges, ChangesDuringTheRunLoseNothing)
{
    ScratchFolder dir("changes");
    const std::string source = dir / "p.nc", output = dir / "out.nc";

    // A source still being written (grown, or cut short) gives no output.
    for (const bool grow : {true, false}) {
        SCOPED_TRACE(grow ? "grows" : "shrinks");
        WriteBytes(source, kProgram);
        WriteBytes(output, "old\n");
        WatchTemp watch([&] {
            if (grow)
                std::ofstream(source, std::ios::binary | std::ios::app) << "N30 G01 X1. Y1.\n";
            else
                fs::resize_file(source, 10);
        });
        CNcMirror engine;
        engine.SetTempFileObserver(&watch);
        EXPECT_EQ(kMirrorSourceError, engine.Mirror(source.c_str(), output.c_str(), 1));
        EXPECT_EQ(MirrorFailureKind::SourceChanged, engine.LastFailure().kind);
        EXPECT_EQ("old\n", ReadBytes(output));
        EXPECT_EQ((std::vector<std::string>{"out.nc", "p.nc"}), dir.Names());
        EXPECT_EQ(1, watch.m_nGone);
    }

    // Two runs that may not replace the output meet: exactly one writes it,
    // the other fails and says that the output exists now.
    WriteBytes(source, kProgram);
    fs::remove(output);
    long long other = 0;
    WatchTemp race([&] {
        CNcMirror second;
        second.SetReplaceExisting(false);
        other = second.Mirror(source.c_str(), output.c_str(), 2);
    });
    CNcMirror first;
    first.SetReplaceExisting(false);
    first.SetTempFileObserver(&race);
    EXPECT_EQ(kMirrorDestinationError, first.Mirror(source.c_str(), output.c_str(), 1));
    EXPECT_EQ(MirrorFailureKind::OutputExists, first.LastFailure().kind);
    EXPECT_EQ(4, other);
    EXPECT_EQ(kMirroredY, ReadBytes(output));
    EXPECT_EQ((std::vector<std::string>{"out.nc", "p.nc"}), dir.Names());

    // Not to replace means not to replace what was there before either; the
    // sync'd run that may replace it does, and tells its observer.
    EXPECT_EQ(kMirrorDestinationError, first.Mirror(source.c_str(), output.c_str(), 1));
    EXPECT_EQ(MirrorFailureKind::OutputExists, first.LastFailure().kind);
    WatchTemp quiet;
    CNcMirror replacing;
    replacing.SetSync(true);
    replacing.SetTempFileObserver(&quiet);
    EXPECT_EQ(4, replacing.Mirror(source.c_str(), output.c_str(), 1));
    EXPECT_EQ(kMirroredX, ReadBytes(output));
    EXPECT_EQ(1, quiet.m_nCreated);
    EXPECT_EQ(1, quiet.m_nGone);
}

TEST(RunEdges, LongestNamesAndPathsAreWritten)
{
    ScratchFolder dir("long");
    WriteBytes(dir.path() / "p.nc", kProgram);
    const auto mirror = [&](const std::string& output, MirrorFailureKind& reason) {
        CNcMirror engine;
        const long long result = engine.Mirror((dir / "p.nc").c_str(), output.c_str(), 1);
        reason = engine.LastFailure().kind;
        return result;
    };
    MirrorFailureKind reason;
#ifdef _WIN32
    // Output paths up to the 259 characters of the narrow file functions:
    // a long name, or a short one in a deep folder (where a temporary name
    // longer than the output's own would not fit).
    const std::size_t base = (dir / "").size();
    ASSERT_LT(base + 10, 250u);
    for (std::size_t length = 250; length <= 259; ++length) {
        SCOPED_TRACE(length);
        const std::string folder = dir / std::string(length - base - 5, 'f');
        fs::create_directory(folder);
        for (const std::string& output : {dir / (std::string(length - base - 3, 'o') + ".nc"), folder + "\\o.nc"}) {
            ASSERT_EQ(length, output.size());
            EXPECT_EQ(4, mirror(output, reason)) << static_cast<int>(reason);
            EXPECT_EQ(kMirroredX, ReadBytes(output));
            fs::remove(output);
        }
        EXPECT_TRUE(fs::is_empty(folder));
        fs::remove(folder);
        EXPECT_EQ(std::vector<std::string>{"p.nc"}, dir.Names());
    }
#else
    // Names of NAME_MAX bytes; one more is too long, and said so.
    const std::string longest = std::string(252, 'n') + ".nc";
    EXPECT_EQ(4, mirror(dir / longest, reason));
    EXPECT_EQ(kMirroredX, ReadBytes(dir.path() / longest));
    EXPECT_EQ(kMirrorDestinationError, mirror(dir / ("n" + longest), reason));
    EXPECT_EQ("Слишком длинное имя файла или путь.", MirrorFailureText({reason, ENAMETOOLONG}));

    // Paths of PATH_MAX - 1 bytes, as source and as output.
    fs::path deep = dir.path();
    while (deep.string().size() < PATH_MAX - 300)
        deep /= std::string(200, 'd');
    fs::create_directories(deep);
    const std::string folder = deep.string() + "/";
    const std::string output = folder + std::string(PATH_MAX - 1 - folder.size(), 'o');
    ASSERT_EQ(static_cast<std::size_t>(PATH_MAX - 1), output.size());
    EXPECT_EQ(4, mirror(output, reason));
    EXPECT_EQ(kMirroredX, ReadBytes(output));
    CNcMirror engine;
    EXPECT_EQ(4, engine.Mirror(output.c_str(), (dir / "back.nc").c_str(), 1));
    EXPECT_EQ("%\nN10 G00 X10. Y20.\nN20 G02X5. Y5. I1. J1.\nM30\n", ReadBytes(dir.path() / "back.nc"));
    EXPECT_EQ(kMirrorDestinationError, mirror(output + "o", reason));
    EXPECT_EQ(MirrorFailureKind::System, reason);
    EXPECT_EQ(1u, std::distance(fs::directory_iterator(deep), fs::directory_iterator()));
#endif
}

TEST(RunEdges, EveryReasonHasItsText)
{
    std::vector<std::string> texts;
    for (const MirrorFailureKind kind :
         {MirrorFailureKind::LineTooLong, MirrorFailureKind::NotRegularFile, MirrorFailureKind::SourceChanged,
          MirrorFailureKind::NameTooLong, MirrorFailureKind::ReadOnly, MirrorFailureKind::OutputExists}) {
        texts.push_back(MirrorFailureText({kind, 0}));
        EXPECT_GT(texts.back().size(), 10u) << static_cast<int>(kind);
    }
    EXPECT_EQ("", MirrorFailureText({}));
    EXPECT_EQ("Системная ошибка 987654.", MirrorFailureText(SystemFailure(987654)));
#ifdef _WIN32
    EXPECT_EQ("На диске нет места.", MirrorFailureText(SystemFailure(112)));        // ERROR_DISK_FULL
    EXPECT_EQ("Файл занят другой программой.", MirrorFailureText(SystemFailure(32)));  // ERROR_SHARING_VIOLATION
#else
    EXPECT_EQ("На диске нет места.", MirrorFailureText(SystemFailure(ENOSPC)));
    EXPECT_EQ("Нет прав доступа.", MirrorFailureText(SystemFailure(EACCES)));
#endif
}
