// Whole-file runs: result codes, what is left on disk after every failure,
// and the safety of an existing destination.
#include "NcMirror.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const std::string kProgram = "%\nN10 G00 X10. Y20.\nN20 G02 X5. Y5. I1. J1.\nM30\n";
const std::string kMirroredX = "%\nN10 G00 X10. Y-20.\nN20 G03X5. Y-5. I1. J-1.\nM30\n";
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

#ifndef _WIN32
bool IsPrivileged() { return geteuid() == 0; }

std::string BigProgram()
{
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "N" + std::to_string(i) + " G01 X12.345 Y-6.789 Z-1.25 F1200\n";
    return big;
}

// Runs `run` with the process's file-size limit at `bytes`, as a full disk.
long long WithFileSizeLimit(rlim_t bytes, const std::function<long long()>& run)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const long long result = run();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}
#endif

// One fault: how to bring it about, and the result it must give. Every fault
// must leave the folder as it was: the old output untouched, no new file.
struct Fault {
    const char* name;
    std::function<void(const ScratchFolder&)> setUp;  // after p.nc and out.nc exist
    std::string source;                              // names in the folder, or absolute
    std::string destination;
    int mode;
    long long expected;
    std::function<long long(const std::string&, const std::string&, int)> run = RunMirror;
};

}  // namespace

TEST(MirrorRun, EveryFaultGivesItsCodeAndLeavesTheFolderAsItWas)
{
    const auto none = [](const ScratchFolder&) {};
    std::vector<Fault> faults = {
        {"mode 0", none, "p.nc", "out.nc", 0, kMirrorModeError},
        {"mode 4", none, "p.nc", "out.nc", 4, kMirrorModeError},
        {"source missing, or gone before the run", none, "gone.nc", "out.nc", 1, kMirrorSourceError},
        {"source is a folder", [](const ScratchFolder& d) { fs::create_directory(d.path() / "dir.nc"); },
         "dir.nc", "out.nc", 1, kMirrorSourceError},
        {"missing destination folder", none, "p.nc", "no_such_folder/out.nc", 1, kMirrorDestinationError},
        {"destination is a folder", [](const ScratchFolder& d) { fs::create_directory(d.path() / "dir.nc"); },
         "p.nc", "dir.nc", 1, kMirrorDestinationError},
        {"read-only destination", [](const ScratchFolder& d) { MakeReadOnly(d.path() / "out.nc"); },
         "p.nc", "out.nc", 2, kMirrorDestinationError},
        {"read-only source mirrored in place", [](const ScratchFolder& d) { MakeReadOnly(d.path() / "p.nc"); },
         "p.nc", "p.nc", 3, kMirrorDestinationError},
        {"file name longer than the platform takes", none, "p.nc", std::string(300, 'a') + ".nc", 1,
         kMirrorDestinationError},
        {"path longer than the platform takes", none, "p.nc", std::string(40, 'd') + std::string(5000, '/') + "x.nc",
         1, kMirrorDestinationError},
    };
#ifndef _WIN32
    // A read error part-way: the kernel refuses to read this file's first page.
    faults.push_back({"source read error", none, "/proc/self/mem", "out.nc", 1, kMirrorSourceError});
    faults.push_back({"disk full part-way",
                      [](const ScratchFolder& d) { WriteBytes(d.path() / "big.nc", BigProgram()); }, "big.nc",
                      "out.nc", 1, kMirrorDestinationError,
                      [](const std::string& s, const std::string& t, int m) {
                          return WithFileSizeLimit(1 << 20, [&] { return RunMirror(s, t, m); });
                      }});
    if (!IsPrivileged()) {
        faults.push_back({"read-only folder", [](const ScratchFolder& d) {
                              fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec);
                          }, "p.nc", "new.nc", 1, kMirrorDestinationError});
        faults.push_back({"unreadable source", [](const ScratchFolder& d) {
                              fs::permissions(d.path() / "p.nc", fs::perms::none);
                          }, "p.nc", "out.nc", 1, kMirrorSourceError});
    }
#endif

    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        ScratchFolder dir("fault");
        WriteBytes(dir.path() / "p.nc", kProgram);
        WriteBytes(dir.path() / "out.nc", kOldOutput);
        fault.setUp(dir);
        const std::vector<std::string> before = dir.Names();
        const auto inFolder = [&](const std::string& name) { return name[0] == '/' ? name : dir / name; };

        EXPECT_EQ(fault.expected, fault.run(inFolder(fault.source), inFolder(fault.destination), fault.mode));

        fs::permissions(dir.path(), fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(before, dir.Names());
        EXPECT_EQ(kOldOutput, ReadBytes(dir.path() / "out.nc"));
        EXPECT_EQ(kProgram, ReadBytes(dir.path() / "p.nc")) << "the source must never change on failure";
    }
}

TEST(MirrorRun, UnreadableSourceWritesTheDiagnosticLine)
{
    ScratchFolder dir("diagnostic");
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
}

TEST(MirrorRun, SuccessReplacesTheOutputAndMirrorsInPlace)
{
    ScratchFolder dir("success");
    WriteBytes(dir.path() / "p.nc", kProgram);
    WriteBytes(dir.path() / "out.nc", kOldOutput);

    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "out.nc", 1));
    EXPECT_EQ(kMirroredX, ReadBytes(dir.path() / "out.nc"));

    // Source and destination the same file: the program is replaced whole.
    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "p.nc", 1));
    EXPECT_EQ(kMirroredX, ReadBytes(dir.path() / "p.nc"));
    EXPECT_EQ((std::vector<std::string>{"out.nc", "p.nc"}), dir.Names());

    // An empty program gives an empty output and no words.
    WriteBytes(dir.path() / "empty.nc", "");
    EXPECT_EQ(0, RunMirror(dir / "empty.nc", dir / "empty_x.nc", 1));
    EXPECT_TRUE(fs::exists(dir.path() / "empty_x.nc"));
    EXPECT_EQ("", ReadBytes(dir.path() / "empty_x.nc"));
}

#ifndef _WIN32
TEST(MirrorRun, ReplacedOutputKeepsItsPermissionsAndLinks)
{
    ScratchFolder dir("perms");
    WriteBytes(dir.path() / "p.nc", kProgram);
    WriteBytes(dir.path() / "out.nc", kOldOutput);
    const fs::perms rights = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir.path() / "out.nc", rights);
    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "out.nc", 1));
    EXPECT_EQ(rights, fs::status(dir.path() / "out.nc").permissions());

    // A destination that is a symbolic link: the file it points to gets the
    // program, and the link stays a link.
    fs::create_symlink("out.nc", dir.path() / "link.nc");
    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "link.nc", 2));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.nc"));
    EXPECT_EQ("%\nN10 G00 X-10. Y20.\nN20 G03X-5. Y5. I-1. J1.\nM30\n", ReadBytes(dir.path() / "out.nc"));
}
#endif

TEST(MirrorRun, HugeLinesAndOddBytesPassWhole)
{
    ScratchFolder dir("huge");
    // A 10 MB line, a file of carriage returns, an empty file, a last skip line
    // without an end.
    const std::string hugeLine = "G01 X1.5 N" + std::string(10 << 20, '7') + " Y2.5\n";
    WriteBytes(dir.path() / "huge.nc", hugeLine);
    EXPECT_EQ(2, RunMirror(dir / "huge.nc", dir / "huge_out.nc", 3));
    const std::string out = ReadBytes(dir.path() / "huge_out.nc");
    EXPECT_EQ(hugeLine.size() + 2, out.size());
    EXPECT_EQ("G01 X-1.5 N", out.substr(0, 11));
    EXPECT_EQ(" Y-2.5\n", out.substr(out.size() - 7));

    WriteBytes(dir.path() / "cr.nc", std::string(1000, '\r'));
    EXPECT_EQ(0, RunMirror(dir / "cr.nc", dir / "cr_out.nc", 1));
    EXPECT_EQ(std::string(1000, '\r'), ReadBytes(dir.path() / "cr_out.nc"));

    WriteBytes(dir.path() / "empty.nc", "");
    EXPECT_EQ(0, RunMirror(dir / "empty.nc", dir / "empty_out.nc", 3));
    EXPECT_TRUE(fs::exists(dir.path() / "empty_out.nc"));
    EXPECT_EQ("", ReadBytes(dir.path() / "empty_out.nc"));

    WriteBytes(dir.path() / "skip.nc", "X1.\n(END) ");
    EXPECT_EQ(1, RunMirror(dir / "skip.nc", dir / "skip_out.nc", 2));
    EXPECT_EQ("X-1.\n(END)", ReadBytes(dir.path() / "skip_out.nc"));
}
