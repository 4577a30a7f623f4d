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
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

const std::string kProgram = "%\nN10 G00 X10. Y20.\nN20 G02 X5. Y5. I1. J1.\nM30\n";
const std::string kMirroredX = "%\nN10 G00 X10. Y-20.\nN20 G03X5. Y-5. I1. J-1.\nM30\n";
const std::string kOldOutput = "old output, must survive\n";

MirrorFailure g_lastFailure;  // why the last RunMirror failed

long long RunMirror(const std::string& source, const std::string& destination, int mode)
{
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    const long long result = engine.Mirror(source.c_str(), destination.c_str(), mode);
    g_lastFailure = engine.LastFailure();
    return result;
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

// A socket file at `path`, as a server leaves one.
void MakeSocket(const fs::path& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    EXPECT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address)) << path;
    close(fd);
}

// A special file in place of out.nc (or in another name): the engine must
// neither read it as a program nor replace it.
std::function<void(const ScratchFolder&)> Special(const char* name, mode_t type)
{
    return [name, type](const ScratchFolder& d) {
        const fs::path path = d.path() / name;
        fs::remove(path);
        if (type == S_IFIFO)
            ASSERT_EQ(0, mkfifo(path.c_str(), 0666));
        else if (type == S_IFSOCK)
            MakeSocket(path);
        else  // a character device like /dev/null, made here so nothing outside can suffer
            ASSERT_EQ(0, mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)));
    };
}

std::function<void(const ScratchFolder&)> Link(const char* name, const char* target)
{
    return [name, target](const ScratchFolder& d) {
        fs::remove(d.path() / name);
        fs::create_symlink(target, d.path() / name);
    };
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
    MirrorFailureKind reason;
    std::function<long long(const std::string&, const std::string&, int)> run = RunMirror;
};

constexpr auto kNone = MirrorFailureKind::None;
constexpr auto kSystem = MirrorFailureKind::System;
constexpr auto kNotRegular = MirrorFailureKind::NotRegularFile;

}  // namespace

TEST(MirrorRun, EveryFaultGivesItsCodeAndLeavesTheFolderAsItWas)
{
    const auto none = [](const ScratchFolder&) {};
    std::vector<Fault> faults = {
        {"mode 0", none, "p.nc", "out.nc", 0, kMirrorModeError, kNone},
        {"mode 4", none, "p.nc", "out.nc", 4, kMirrorModeError, kNone},
        {"source missing, or gone before the run", none, "gone.nc", "out.nc", 1, kMirrorSourceError, kSystem},
        {"source is a folder", [](const ScratchFolder& d) { fs::create_directory(d.path() / "dir.nc"); },
         "dir.nc", "out.nc", 1, kMirrorSourceError, kSystem},
        {"missing destination folder", none, "p.nc", "no_such_folder/out.nc", 1, kMirrorDestinationError, kSystem},
        {"destination is a folder", [](const ScratchFolder& d) { fs::create_directory(d.path() / "dir.nc"); },
         "p.nc", "dir.nc", 1, kMirrorDestinationError, kSystem},
        {"read-only destination", [](const ScratchFolder& d) { MakeReadOnly(d.path() / "out.nc"); },
         "p.nc", "out.nc", 2, kMirrorDestinationError, MirrorFailureKind::ReadOnly},
        {"read-only source mirrored in place", [](const ScratchFolder& d) { MakeReadOnly(d.path() / "p.nc"); },
         "p.nc", "p.nc", 3, kMirrorDestinationError, MirrorFailureKind::ReadOnly},
        {"file name longer than the platform takes", none, "p.nc", std::string(300, 'a') + ".nc", 1,
         kMirrorDestinationError, kSystem},
        {"path longer than the platform takes", none, "p.nc", std::string(40, 'd') + std::string(5000, '/') + "x.nc",
         1, kMirrorDestinationError, kSystem},
    };
#ifdef _WIN32
    // A device is no file, even inside a folder.
    faults.push_back({"destination is a device name", none, "p.nc", "NUL", 1, kMirrorDestinationError, kNotRegular});
    faults.push_back({"source is a device name", none, "COM1", "out.nc", 1, kMirrorSourceError, kNotRegular});
#endif
#ifndef _WIN32
    // A read error part-way: the kernel refuses to read this file's first page.
    faults.push_back({"source read error", none, "/proc/self/mem", "out.nc", 1, kMirrorSourceError, kSystem});
    faults.push_back({"disk full part-way",
                      [](const ScratchFolder& d) { WriteBytes(d.path() / "big.nc", BigProgram()); }, "big.nc",
                      "out.nc", 1, kMirrorDestinationError, kSystem,
                      [](const std::string& s, const std::string& t, int m) {
                          return WithFileSizeLimit(1 << 20, [&] { return RunMirror(s, t, m); });
                      }});
    // Sources that are not regular files are refused before a byte is read:
    // a FIFO without a writer would wait forever, the devices never end.
    faults.push_back({"source is a FIFO", Special("fifo.nc", S_IFIFO), "fifo.nc", "out.nc", 1, kMirrorSourceError,
                      kNotRegular});
    faults.push_back({"source is a socket", Special("sock.nc", S_IFSOCK), "sock.nc", "out.nc", 1,
                      kMirrorSourceError, kNotRegular});
    for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"})
        faults.push_back({device, none, device, "out.nc", 1, kMirrorSourceError, kNotRegular});
    faults.push_back({"3 GB without a line end", [](const ScratchFolder& d) {
                          WriteBytes(d.path() / "sparse.nc", "");
                          fs::resize_file(d.path() / "sparse.nc", 3ull << 30);
                      }, "sparse.nc", "out.nc", 1, kMirrorSourceError, MirrorFailureKind::LineTooLong});
    // Destinations that are not regular files are never replaced.
    faults.push_back({"destination is a FIFO", Special("out.nc", S_IFIFO), "p.nc", "out.nc", 1,
                      kMirrorDestinationError, kNotRegular});
    faults.push_back({"destination is a socket", Special("out.nc", S_IFSOCK), "p.nc", "out.nc", 1,
                      kMirrorDestinationError, kNotRegular});
    faults.push_back({"destination is a link to a FIFO", [](const ScratchFolder& d) {
                          Special("fifo", S_IFIFO)(d);
                          Link("out.nc", "fifo")(d);
                      }, "p.nc", "out.nc", 1, kMirrorDestinationError, kNotRegular});
    faults.push_back({"destination is a dangling link", Link("out.nc", "nowhere.nc"), "p.nc", "out.nc", 1,
                      kMirrorDestinationError, kNotRegular});
    faults.push_back({"destination is a looping link", Link("out.nc", "out.nc"), "p.nc", "out.nc", 1,
                      kMirrorDestinationError, kSystem});
    if (IsPrivileged()) {
        faults.push_back({"destination is a character device", Special("out.nc", S_IFCHR), "p.nc", "out.nc", 1,
                          kMirrorDestinationError, kNotRegular});
    } else {
        faults.push_back({"read-only folder", [](const ScratchFolder& d) {
                              fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec);
                          }, "p.nc", "new.nc", 1, kMirrorDestinationError, kSystem});
        faults.push_back({"unreadable source", [](const ScratchFolder& d) {
                              fs::permissions(d.path() / "p.nc", fs::perms::none);
                          }, "p.nc", "out.nc", 1, kMirrorSourceError, kSystem});
    }
    // Nothing may wait for ever: the whole table has a minute.
    alarm(60);
#endif

    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        ScratchFolder dir("fault");
        WriteBytes(dir.path() / "p.nc", kProgram);
        WriteBytes(dir.path() / "out.nc", kOldOutput);
        fault.setUp(dir);
        const std::vector<std::string> before = dir.Names();
        const fs::file_type outType = fs::symlink_status(dir.path() / "out.nc").type();
        const auto inFolder = [&](const std::string& name) { return name[0] == '/' ? name : dir / name; };

        g_lastFailure = MirrorFailure();
        EXPECT_EQ(fault.expected, fault.run(inFolder(fault.source), inFolder(fault.destination), fault.mode));
        EXPECT_EQ(fault.reason, g_lastFailure.kind);

        fs::permissions(dir.path(), fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(before, dir.Names());
        EXPECT_EQ(outType, fs::symlink_status(dir.path() / "out.nc").type());
        if (outType == fs::file_type::regular) {
            EXPECT_EQ(kOldOutput, ReadBytes(dir.path() / "out.nc"));
        }
        EXPECT_EQ(kProgram, ReadBytes(dir.path() / "p.nc")) << "the source must never change on failure";
    }
#ifndef _WIN32
    alarm(0);
#endif
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
    // Replaced as root, a user's program stays the user's.
    const bool privileged = IsPrivileged();
    if (privileged) {
        ASSERT_EQ(0, chown((dir / "out.nc").c_str(), 1234, 5678));
    }
    EXPECT_EQ(4, RunMirror(dir / "p.nc", dir / "out.nc", 1));
    EXPECT_EQ(rights, fs::status(dir.path() / "out.nc").permissions());
    struct stat st {};
    ASSERT_EQ(0, stat((dir / "out.nc").c_str(), &st));
    EXPECT_EQ(privileged ? 1234u : geteuid(), st.st_uid);
    EXPECT_EQ(privileged ? 5678u : getegid(), st.st_gid);

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
