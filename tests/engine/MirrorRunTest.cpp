// Whole-file runs: result codes, what is left on disk after every failure,
// and the safety of an existing destination.
#include "NcMirror.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const std::string kProgram = "%\nN10 G00 X10. Y20.\nN20 G02 X5. Y5. I1. J1.\nM30\n";
const std::string kOldOutput = "old output, must survive\n";

long long RunMirror(const std::string& source, const std::string& destination, int mode)
{
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    return engine.Mirror(source.c_str(), destination.c_str(), mode);
}

void MakeReadOnly(const fs::path& path)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

}  // namespace

TEST(MirrorRun, BadModeTouchesNothing)
{
    ScratchFolder dir("mode");
    WriteBytes(dir.path() / "p.nc", kProgram);
    for (int mode : {0, 4, -1, 21}) {
        EXPECT_EQ(kMirrorModeError, RunMirror(dir / "p.nc", dir / "out.nc", mode));
    }
    EXPECT_EQ(std::vector<std::string>{"p.nc"}, dir.Names());
}

TEST(MirrorRun, UnreadableSourceGivesMinusOneAndTheDiagnosticLine)
{
    ScratchFolder dir("source");
    WriteBytes(dir.path() / "out.nc", kOldOutput);
    const std::string missing = dir / "missing.nc";

    std::FILE* log = std::tmpfile();
    ASSERT_NE(nullptr, log);
    CNcMirror engine;
    engine.SetDiagnosticStream(log);
    EXPECT_EQ(kMirrorSourceError, engine.Mirror(missing.c_str(), (dir / "out.nc").c_str(), 1));
    std::rewind(log);
    char text[1024] = {};
    text[std::fread(text, 1, sizeof text - 1, log)] = '\0';
    std::fclose(log);
    EXPECT_EQ("Невозможно открыть файл:\n " + missing + " \n на 'чтение' \n", std::string(text));

    // A folder in place of the source is no program either.
    fs::create_directory(dir.path() / "folder.nc");
    EXPECT_EQ(kMirrorSourceError, RunMirror(dir / "folder.nc", dir / "out.nc", 1));
    EXPECT_EQ(kOldOutput, ReadBytes(dir.path() / "out.nc"));
    EXPECT_EQ((std::vector<std::string>{"folder.nc", "out.nc"}), dir.Names());
}

TEST(MirrorRun, UnwritableDestinationGivesMinusTwoAndLeavesNoFile)
{
    ScratchFolder dir("destination");
    WriteBytes(dir.path() / "p.nc", kProgram);

    EXPECT_EQ(kMirrorDestinationError, RunMirror(dir / "p.nc", dir / "no_such_folder/out.nc", 1));

    fs::create_directory(dir.path() / "out_dir.nc");
    EXPECT_EQ(kMirrorDestinationError, RunMirror(dir / "p.nc", dir / "out_dir.nc", 1));

    // A read-only destination stays as it was, even for a privileged process.
    WriteBytes(dir.path() / "ro.nc", kOldOutput);
    MakeReadOnly(dir.path() / "ro.nc");
    EXPECT_EQ(kMirrorDestinationError, RunMirror(dir / "p.nc", dir / "ro.nc", 2));
    EXPECT_EQ(kOldOutput, ReadBytes(dir.path() / "ro.nc"));

    EXPECT_EQ((std::vector<std::string>{"out_dir.nc", "p.nc", "ro.nc"}), dir.Names());
}

#ifndef _WIN32
TEST(MirrorRun, ReadOnlyFolderGivesMinusTwo)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ScratchFolder dir("rofolder");
    WriteBytes(dir.path() / "p.nc", kProgram);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(kMirrorDestinationError, RunMirror(dir / "p.nc", dir / "out.nc", 1));
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(std::vector<std::string>{"p.nc"}, dir.Names());
}

TEST(MirrorRun, FullDiskGivesMinusTwoAndKeepsTheOldOutput)
{
    ScratchFolder dir("fulldisk");
    // A program larger than the file-size limit below, so writing it fails part-way.
    std::string big;
    for (int i = 0; i < 200000; ++i)
        big += "N" + std::to_string(i) + " G01 X12.345 Y-6.789 Z-1.25 F1200\n";
    WriteBytes(dir.path() / "big.nc", big);
    WriteBytes(dir.path() / "out.nc", kOldOutput);

    rlimit old{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
    rlimit limited = old;
    limited.rlim_cur = 1 << 20;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    const long long result = RunMirror(dir / "big.nc", dir / "out.nc", 1);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(kMirrorDestinationError, result);
    EXPECT_EQ(kOldOutput, ReadBytes(dir.path() / "out.nc"));
    EXPECT_EQ((std::vector<std::string>{"big.nc", "out.nc"}), dir.Names());
}

TEST(MirrorRun, ReplacedOutputKeepsItsPermissions)
{
    ScratchFolder dir("perms");
    WriteBytes(dir.path() / "p.nc", kProgram);
    WriteBytes(dir.path() / "out.nc", kOldOutput);
    fs::permissions(dir.path() / "out.nc", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "out.nc", 1));
    EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
              fs::status(dir.path() / "out.nc").permissions());
}
#endif

TEST(MirrorRun, SuccessReplacesTheOutputAndMirrorsInPlace)
{
    ScratchFolder dir("success");
    WriteBytes(dir.path() / "p.nc", kProgram);
    WriteBytes(dir.path() / "out.nc", kOldOutput);
    const std::string expectedX = "%\nN10 G00 X10. Y-20.\nN20 G03X5. Y-5. I1. J-1.\nM30\n";

    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "out.nc", 1));
    EXPECT_EQ(expectedX, ReadBytes(dir.path() / "out.nc"));

    // Source and destination the same file: the program is replaced whole.
    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "p.nc", 1));
    EXPECT_EQ(expectedX, ReadBytes(dir.path() / "p.nc"));
    EXPECT_EQ((std::vector<std::string>{"out.nc", "p.nc"}), dir.Names());

    // An empty program gives an empty output and no words.
    WriteBytes(dir.path() / "empty.nc", "");
    EXPECT_EQ(0, RunMirror(dir / "empty.nc", dir / "empty_x.nc", 1));
    EXPECT_TRUE(fs::exists(dir.path() / "empty_x.nc"));
    EXPECT_EQ("", ReadBytes(dir.path() / "empty_x.nc"));
}

TEST(MirrorRun, HugeLinesAndOddBytesPassWhole)
{
    ScratchFolder dir("huge");
    // A 10 MB line, a file of carriage returns, a last skip line without an end.
    const std::string hugeLine = "G01 X1.5 N" + std::string(10 << 20, '7') + " Y2.5\n";
    WriteBytes(dir.path() / "huge.nc", hugeLine);
    EXPECT_EQ(2, RunMirror(dir / "huge.nc", dir / "huge_out.nc", 3));
    const std::string out = ReadBytes(dir.path() / "huge_out.nc");
    EXPECT_EQ(hugeLine.size() + 2, out.size());
    EXPECT_EQ("G01 X-1.5 ", out.substr(0, 10));
    EXPECT_EQ(" Y-2.5\n", out.substr(out.size() - 7));

    WriteBytes(dir.path() / "cr.nc", std::string(1000, '\r'));
    EXPECT_EQ(0, RunMirror(dir / "cr.nc", dir / "cr_out.nc", 1));
    EXPECT_EQ(std::string(1000, '\r'), ReadBytes(dir.path() / "cr_out.nc"));

    WriteBytes(dir.path() / "skip.nc", "X1.\n(END) ");
    EXPECT_EQ(1, RunMirror(dir / "skip.nc", dir / "skip_out.nc", 2));
    EXPECT_EQ("X-1.\n(END)", ReadBytes(dir.path() / "skip_out.nc"));
}
