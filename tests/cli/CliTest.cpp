// ncmirror end to end: the real binary on files in a fresh temporary folder.
#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"
#include "PictureDrawing.h"
#include "RunProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char kPocket[] =
    "%\n"
    "O0100 (SMALL POCKET)\n"
    "N10 G90 G17 G54\n"
    "N20 G00 X5. Y-4.\n"
    "N30 G01 G41 D1 X10. Y0. F300\n"
    "N40 G03 X0. Y10. I-10. J0.\n"
    "N50 G02 X-10. Y0. I0. J-10.\n"
    "N60 G01 G40 X0. Y0.\n"
    "N70 M30\n"
    "%\n";

const char kFixedCrlf[] =
    "%\r\n"
    "N001G90G01X+001000Y+002000\r\n"
    "N002G42G02X+003000Y+004000I+001000J+001000\r\n"
    "N003G40X-000500Y+000100\r\n"
    "N004M02\r\n";

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "ncmirror-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        m_folder = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    void WriteFile(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    std::string ReadFile(const std::string& name) const
    {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool Exists(const std::string& name) const { return fs::exists(PathOf(name)); }

    // Temporary files of runs in the folder.
    std::vector<std::string> TempFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("~ncm", 0) == 0 || name.find(".tmp") != std::string::npos ||
                name.rfind("ncmirror-stdin-", 0) == 0)
                names.push_back(name);
        }
        return names;
    }

    // Waits until the kernel shows the process stopped (state 'T'), so that
    // what the folder holds no longer changes; at most 5 s.
    static void WaitUntilStopped(int pid)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
            const std::size_t paren = text.rfind(')');
            if (paren == std::string::npos || paren + 2 >= text.size() || text[paren + 2] == 'T' ||
                text[paren + 2] == 't')
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Waits until `program` has begun writing its output, then stops it;
    // false (and the program killed) when it never did, or had finished.
    bool StopWhileWriting(StartedProgram& program) const
    {
        // Stopped between two files (no temporary file), it goes on and
        // is stopped again.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (TempFiles().empty()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            kill(program.pid, SIGSTOP);
            WaitUntilStopped(program.pid);
            if (!TempFiles().empty())
                return true;
            kill(program.pid, SIGCONT);
        }
        kill(program.pid, SIGKILL);
        FinishProgram(program);
        return false;
    }

    // ncmirror with `args`, run in the temporary folder, input from a pipe.
    ProcessResult Run(std::vector<std::string> args, const std::string& input = std::string()) const
    {
        args.insert(args.begin(), NCM_CLI_PATH);
        return RunProgram(args, m_folder.string(), input);
    }

    // What the engine itself writes for `name` in `mode`, and its result.
    std::string EngineOutput(const std::string& name, int mode, long long& result) const
    {
        const std::string reference = PathOf("engine-reference.out");
        CNcMirror engine;
        result = engine.Mirror(PathOf(name).c_str(), reference.c_str(), mode);
        std::string bytes = ReadFile("engine-reference.out");
        fs::remove(reference);
        return bytes;
    }

    fs::path m_folder;
};

std::size_t CountLines(const std::string& text)
{
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

// A program of 100 MB (free format, short lines), made once.
const std::string& HundredMegabytes()
{
    static const std::string program = [] {
        std::string block;
        for (int i = 0; i < 20000; ++i)
            block += "N" + std::to_string(i) + " G01 X" + std::to_string(i % 500) + ".125 Y-" +
                     std::to_string(i % 300) + ".5 F1200\n";
        std::string all;
        while (all.size() < (100u << 20))
            all += block;
        return all;
    }();
    return program;
}

// The first 20 MB of it, whole lines, for runs that need only time to act in.
std::string TwentyMegabytes()
{
    const std::string& all = HundredMegabytes();
    return all.substr(0, all.find('\n', 20u << 20) + 1);
}

struct ModeCase {
    const char* name;
    int number;
    const char* suffix;
};

const ModeCase kModeCases[] = {
    {"x", 1, "_x"}, {"y", 2, "_y"}, {"xy", 3, "_xy"}, {"1", 1, "_x"}, {"2", 2, "_y"}, {"3", 3, "_xy"},
};

}  // namespace

// Each mode name and number writes the output beside the source under the
// mode's name, byte for byte what the engine writes for that mode, and
// reports the output path and the engine's count.
TEST_F(CliTest, EachModeWritesTheEngineOutputBesideTheSource)
{
    WriteFile("pocket.nc", kPocket);
    WriteFile("plate.up", kFixedCrlf);
    for (const ModeCase& mode : kModeCases) {
        SCOPED_TRACE(mode.name);
        const ProcessResult run = Run({"-m", mode.name, "pocket.nc", "plate.up"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(CountLines(run.out), 2u) << run.out;
        for (const std::string base : {"pocket", "plate"}) {
            const std::string ext = base == "pocket" ? ".nc" : ".up";
            const std::string output = base + mode.suffix + ext;
            long long count = 0;
            const std::string expected = EngineOutput(base + ext, mode.number, count);
            ASSERT_GT(count, 0);
            EXPECT_EQ(ReadFile(output), expected) << output;
            EXPECT_NE(run.out.find("Файл:= " + output + " записан на диск"), std::string::npos) << run.out;
            EXPECT_NE(run.out.find("=" + std::to_string(count) + "\n"), std::string::npos) << run.out;
            fs::remove(PathOf(output));
        }
    }
    // The modes really differ: about X the Y words change sign, about Y the X words.
    Run({"-m", "x", "pocket.nc"});
    Run({"-m", "y", "pocket.nc"});
    EXPECT_NE(ReadFile("pocket_x.nc").find("X5. Y4."), std::string::npos);
    EXPECT_NE(ReadFile("pocket_y.nc").find("X-5. Y-4."), std::string::npos);
}

TEST_F(CliTest, BundledExamplesMirrorLikeTheEngine)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(NCM_EXAMPLES_DIR))
        fs::copy_file(entry.path(), m_folder / entry.path().filename());
    for (const ModeCase& mode : {kModeCases[0], kModeCases[1], kModeCases[2]}) {
        for (const std::string name : {"pocket.nc", "bracket.up", "drill_crlf.nc"}) {
            SCOPED_TRACE(name + " -m " + mode.name);
            const ProcessResult run = Run({"-m", mode.name, name});
            EXPECT_EQ(run.status, 0) << run.err;
            long long count = 0;
            const std::string expected = EngineOutput(name, mode.number, count);
            const std::string output = name.substr(0, name.rfind('.')) + mode.suffix + name.substr(name.rfind('.'));
            EXPECT_GT(count, 0);
            EXPECT_EQ(ReadFile(output), expected);
        }
    }
}

// A missing file fails with the dialog's text on standard error; the files
// around it are still written and the status says something failed.
TEST_F(CliTest, BatchGoesOnPastAMissingFile)
{
    WriteFile("a.nc", kPocket);
    WriteFile("c.nc", kPocket);
    fs::create_directory(PathOf("folder.nc"));
    const ProcessResult run = Run({"-m", "xy", "a.nc", "missing.nc", "folder.nc", "c.nc"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Exists("a_xy.nc"));
    EXPECT_TRUE(Exists("c_xy.nc"));
    EXPECT_FALSE(Exists("missing_xy.nc"));
    EXPECT_FALSE(Exists("folder_xy.nc"));
    EXPECT_EQ(CountLines(run.out), 2u) << run.out;
    EXPECT_NE(run.err.find("ncmirror: Файл Данных:= missing.nc не найден !"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("ncmirror: Невозможно открыть файл: folder.nc на 'чтение'\nncmirror: Это папка, а не файл.\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(CountLines(run.err), 3u) << run.err;
}

// Every fault of a batch is reported with the dialog's text and, on a line
// of its own, the reason; the batch goes on. Sources that are not programs
// (a FIFO without a writer, endless devices) are refused before they are
// read; outputs that are not regular files are never replaced, even with -f.
// Nothing half-written is left behind.
TEST_F(CliTest, EveryFaultIsReportedAndTheBatchGoesOn)
{
    WriteFile("a.nc", kPocket);
    WriteFile("c.nc", kFixedCrlf);
    std::string big;
    for (int i = 0; i < 40000; ++i)
        big += "N" + std::to_string(i) + " G01 X12.345 Y-6.789 Z-1.25 F1200\n";
    const std::string longest = std::string(250, 'p');  // its output name has 255 bytes
    const std::string tooLong = std::string(251, 'q');  // 256 bytes
    const std::string notRegular = "Это не обычный файл";
    const std::string cannotWrite = "Невозможно записать файл: ";
    struct Fault {
        std::string source;
        std::function<void()> setUp;
        std::string message;  // what the error line holds
        std::string reason;   // what the line under it starts with
    };
    const std::vector<Fault> faults = {
        {"missing.nc", [] {}, "Файл Данных:= missing.nc не найден !", ""},
        {"dir.nc", [&] { fs::create_directory(PathOf("dir.nc")); }, "Невозможно открыть файл: dir.nc на 'чтение'",
         "Это папка, а не файл."},
        {"ro.nc", [&] {
             WriteFile("ro.nc", kPocket);
             WriteFile("ro_x.nc", "read-only output\n");
             fs::permissions(PathOf("ro_x.nc"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         }, cannotWrite + "ro_x.nc ", "Файл только для чтения."},
        {"big.nc", [&] { WriteFile("big.nc", big); }, cannotWrite + "big_x.nc ", "Файл слишком велик для этого диска."},
        {tooLong + ".nc", [&] { WriteFile(tooLong + ".nc", kPocket); }, cannotWrite + tooLong + "_x.nc ",
         "Слишком длинное имя файла или путь."},
        {"fifo.nc", [&] { ASSERT_EQ(mkfifo(PathOf("fifo.nc").c_str(), 0666), 0); },
         "Невозможно открыть файл: fifo.nc на 'чтение'", notRegular},
        {"zero.nc", [&] { fs::create_symlink("/dev/zero", PathOf("zero.nc")); },
         "Невозможно открыть файл: zero.nc на 'чтение'", notRegular},
        {"random.nc", [&] { fs::create_symlink("/dev/urandom", PathOf("random.nc")); },
         "Невозможно открыть файл: random.nc на 'чтение'", notRegular},
        {"node.nc", [&] {
             WriteFile("node.nc", kPocket);
             ASSERT_EQ(mkfifo(PathOf("node_x.nc").c_str(), 0666), 0);
         }, cannotWrite + "node_x.nc ", notRegular},
        {"pipe.nc", [&] {
             WriteFile("pipe.nc", kPocket);
             ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0666), 0);
             fs::create_symlink("fifo", PathOf("pipe_x.nc"));
         }, cannotWrite + "pipe_x.nc ", notRegular},
        {"dangling.nc", [&] {
             WriteFile("dangling.nc", kPocket);
             fs::create_symlink("nowhere", PathOf("dangling_x.nc"));
         }, cannotWrite + "dangling_x.nc ", notRegular},
    };
    std::vector<std::string> args = {"/bin/sh", "-c", "ulimit -f 256 && exec \"$0\" \"$@\"", NCM_CLI_PATH, "-f",
                                     "-m", "x", "a.nc"};
    for (const Fault& fault : faults) {
        fault.setUp();
        args.push_back(fault.source);
    }
    WriteFile(longest + ".nc", kPocket);
    args.push_back(longest + ".nc");
    args.push_back("c.nc");

    // The limit is in blocks of 512 or 1024 bytes, depending on the shell:
    // either way far below the big output and far above the small ones.
    const ProcessResult run = RunProgram(args, m_folder.string());

    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(CountLines(run.out), 3u) << run.out;
    for (const std::string& written : std::vector<std::string>{"a_x.nc", "c_x.nc", longest + "_x.nc"})
        EXPECT_NE(run.out.find(written), std::string::npos) << run.out;
    for (const Fault& fault : faults) {
        const std::size_t line = run.err.find("ncmirror: " + fault.message);
        EXPECT_NE(line, std::string::npos) << fault.message << "\n" << run.err;
        if (line != std::string::npos && !fault.reason.empty()) {
            EXPECT_EQ(run.err.find("\nncmirror: " + fault.reason, line), run.err.find('\n', line)) << run.err;
        }
    }
    EXPECT_EQ(CountLines(run.err), 2 * faults.size() - 1) << run.err;

    long long count = 0;
    EXPECT_EQ(ReadFile("c_x.nc"), EngineOutput("c.nc", 1, count));
    EXPECT_EQ(ReadFile("ro_x.nc"), "read-only output\n");
    EXPECT_FALSE(Exists("big_x.nc"));
    EXPECT_TRUE(fs::is_fifo(PathOf("node_x.nc")));
    EXPECT_TRUE(fs::is_symlink(PathOf("pipe_x.nc")));
    EXPECT_TRUE(fs::is_fifo(PathOf("fifo")));
    EXPECT_TRUE(fs::is_symlink(PathOf("dangling_x.nc")));
    for (const char* output : {"fifo_x.nc", "zero_x.nc", "random_x.nc"})
        EXPECT_FALSE(Exists(output)) << output;
    for (const auto& entry : fs::directory_iterator(m_folder))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

// An output that exists is never replaced silently: without -f and without a
// terminal the file is skipped and left as it was; -f replaces it.
TEST_F(CliTest, ExistingOutputIsSkippedWithoutForceAndReplacedWithIt)
{
    WriteFile("a.nc", kPocket);
    WriteFile("a_x.nc", "keep me\n");
    WriteFile("b.nc", kPocket);
    ProcessResult run = Run({"-m", "x", "a.nc", "b.nc"}, "y\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile("a_x.nc"), "keep me\n");
    EXPECT_TRUE(Exists("b_x.nc"));
    EXPECT_NE(run.err.find("Файл:= a_x.nc уже существует и не заменён (заменяет -f) a.nc пропущен"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.find("a_x.nc"), std::string::npos) << run.out;

    run = Run({"-f", "-m", "x", "a.nc", "b.nc"});
    EXPECT_EQ(run.status, 0) << run.err;
    long long count = 0;
    EXPECT_EQ(ReadFile("a_x.nc"), EngineOutput("a.nc", 1, count));
    EXPECT_EQ(CountLines(run.out), 2u);

    // A link at the output path is there too, even one that leads nowhere
    // or in a circle: it is not replaced.
    fs::create_symlink("nowhere.nc", PathOf("a_y.nc"));
    fs::create_symlink("b_y.nc", PathOf("b_y.nc"));
    run = Run({"-m", "y", "a.nc", "b.nc"});
    EXPECT_EQ(run.status, 1);
    const std::string cannotWrite = " Проверьте права доступа или ошибка системы\nncmirror: ";
    EXPECT_NE(run.err.find("a_y.nc" + cannotWrite + "Это не обычный файл"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("b_y.nc" + cannotWrite + "Символические ссылки пути образуют петлю."), std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_symlink(PathOf("a_y.nc")));
    EXPECT_TRUE(fs::is_symlink(PathOf("b_y.nc")));
    EXPECT_FALSE(Exists("nowhere.nc"));
}

// SIGINT, SIGTERM and SIGHUP at any point of a long run: the temporary files
// go (the output's, and the copy of a program read from standard input), the
// old output stays, and the status says which signal ended it.
TEST_F(CliTest, InterruptedRunLeavesNothingBehind)
{
    WriteFile("big.nc", HundredMegabytes());
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    const std::string fromFile = "exec \"$0\" -f -m x big.nc";
    const std::string fromInput = "TMPDIR=. exec \"$0\" -f -m x -o big_x.nc - < big.nc";
    for (const auto& [signal, command] : {std::pair{SIGINT, fromFile}, std::pair{SIGTERM, fromFile},
                                          std::pair{SIGHUP, fromFile}, std::pair{SIGINT, fromInput}}) {
        SCOPED_TRACE(testing::Message() << strsignal(signal) << ": " << command);
        WriteFile("big_x.nc", "old output\n");
        StartedProgram program = StartProgram({"/bin/sh", "-c", command, NCM_CLI_PATH}, m_folder.string());
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 40)(random)));
        ASSERT_TRUE(StopWhileWriting(program)) << "the run ended before the signal";
        kill(program.pid, signal);
        kill(program.pid, SIGCONT);
        const ProcessResult run = FinishProgram(program);
        EXPECT_EQ(run.status, 128 + signal) << run.err;
        EXPECT_EQ(TempFiles(), std::vector<std::string>());
        EXPECT_EQ(ReadFile("big_x.nc"), "old output\n");
    }
}

// A source that a post-processor is still writing gives no output.
TEST_F(CliTest, SourceChangedDuringTheRunIsNotWritten)
{
    WriteFile("big.nc", TwentyMegabytes());
    StartedProgram program = StartProgram({NCM_CLI_PATH, "-m", "x", "big.nc"}, m_folder.string());
    ASSERT_TRUE(StopWhileWriting(program));
    std::ofstream(PathOf("big.nc"), std::ios::binary | std::ios::app) << "N99 G01 X1. Y1.\n";
    kill(program.pid, SIGCONT);
    const ProcessResult run = FinishProgram(program);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ncmirror: Невозможно открыть файл: big.nc на 'чтение'\nncmirror: Файл изменился"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(Exists("big_x.nc"));
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

// Two runs without -f on one output: exactly one writes it, the other says
// that it exists now and leaves it.
TEST_F(CliTest, RunsRacingWithoutForceWriteTheOutputOnce)
{
    WriteFile("big.nc", TwentyMegabytes());
    StartedProgram first = StartProgram({NCM_CLI_PATH, "-m", "x", "-o", "out.nc", "big.nc"}, m_folder.string());
    ASSERT_TRUE(StopWhileWriting(first));
    const ProcessResult second = Run({"-m", "y", "-o", "out.nc", "big.nc"});
    kill(first.pid, SIGCONT);
    const ProcessResult late = FinishProgram(first);
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(late.status, 1);
    EXPECT_NE(late.err.find("Файл:= out.nc уже существует и не заменён (заменяет -f) big.nc пропущен"),
              std::string::npos)
        << late.err;
    EXPECT_EQ(late.out, "");
    long long count = 0;
    EXPECT_TRUE(ReadFile("out.nc") == EngineOutput("big.nc", 2, count)) << "not the output of the run that wrote it";
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

// 3 GB without a line end (a sparse file): refused at the 64 MiB line bound,
// in bounded memory.
TEST_F(CliTest, SourceWithoutLineEndsFailsInBoundedMemory)
{
    WriteFile("huge.nc", "");
    fs::resize_file(PathOf("huge.nc"), 3ull << 30);
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit;  // the sanitizer's shadow memory needs the address space
#else
    const std::string limit = "ulimit -v 1048576 && ";
#endif
    const ProcessResult run = RunProgram({"/bin/sh", "-c", limit + "exec \"$0\" \"$@\"", NCM_CLI_PATH, "-m", "x",
                                          "huge.nc"},
                                         m_folder.string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("huge.nc на 'чтение'\nncmirror: В файле строка длиннее 64 МБ"), std::string::npos)
        << run.err;
    EXPECT_LT(run.peakMemoryKb, 512 * 1024);
    EXPECT_FALSE(Exists("huge_x.nc"));
    EXPECT_EQ(TempFiles(), std::vector<std::string>());
}

// At a terminal the dialog's question is asked; "n" keeps the file, "д" or
// "y" replaces it.
TEST_F(CliTest, OverwriteQuestionAtATerminal)
{
    WriteFile("a.nc", kPocket);
    WriteFile("a_y.nc", "keep me\n");
    const std::vector<std::string> args = {NCM_CLI_PATH, "-m", "y", "a.nc"};
    ProcessResult run = RunInTerminal(args, m_folder.string(), "[y/N] ", "n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Файл:= a_y.nc уже существует! Перезаписать существующий ?"), std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFile("a_y.nc"), "keep me\n");

    run = RunInTerminal(args, m_folder.string(), "[y/N] ", "да\n");
    EXPECT_EQ(run.status, 0) << run.out;
    long long count = 0;
    EXPECT_EQ(ReadFile("a_y.nc"), EngineOutput("a.nc", 2, count));
    EXPECT_NE(run.out.find("a_y.nc записан на диск"), std::string::npos) << run.out;
}

// A batch that has run over a second shows "file i of n" on the terminal and
// wipes the line before it prints anything else.
TEST_F(CliTest, ProgressLineOnLongBatchAtATerminal)
{
    WriteFile("a.nc", kPocket);
    WriteFile("a_x.nc", "old\n");
    WriteFile("b.nc", kPocket);
    const std::vector<std::string> args = {NCM_CLI_PATH, "-m", "x", "a.nc", "b.nc"};
    // The answer comes late, so the second file starts after more than a second.
    const ProcessResult run = RunInTerminal(args, m_folder.string(), "[y/N] ", "y\n", 1300);
    EXPECT_EQ(run.status, 0) << run.out;
    const std::size_t progress = run.out.find("\rfile 2 of 2: b.nc");
    ASSERT_NE(progress, std::string::npos) << run.out;
    const std::size_t wiped = run.out.find("\r" + std::string(17, ' ') + "\r", progress);
    const std::size_t result = run.out.find("b_x.nc записан на диск", progress);
    ASSERT_NE(wiped, std::string::npos) << run.out;
    EXPECT_LT(wiped, result);
    EXPECT_EQ(run.out.find("file 1 of 2"), std::string::npos) << "shown before a second had passed";
}

// -o writes exactly there and nothing beside the source; a name without '.'
// gets the suffix at the end; a folder with a '.' does not count.
TEST_F(CliTest, OutputOptionAndNamesWithoutExtension)
{
    WriteFile("a.nc", kPocket);
    ProcessResult run = Run({"--mode=y", "--output", "mirrored.txt", "a.nc"});
    EXPECT_EQ(run.status, 0) << run.err;
    long long count = 0;
    EXPECT_EQ(ReadFile("mirrored.txt"), EngineOutput("a.nc", 2, count));
    EXPECT_FALSE(Exists("a_y.nc"));
    EXPECT_NE(run.out.find("Файл:= mirrored.txt записан"), std::string::npos) << run.out;

    fs::create_directory(PathOf("job.v2"));
    WriteFile("job.v2/prog", kPocket);
    run = Run({"-mx", "job.v2/prog"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile("job.v2/prog_x"), EngineOutput("job.v2/prog", 1, count));

    // --sync writes the same bytes.
    run = Run({"--sync", "-m", "y", "-o", "synced.nc", "a.nc"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile("synced.nc"), ReadFile("mirrored.txt"));

    // An output that cannot be written is the dialog's write failure.
    run = Run({"-m", "x", "-o", "no/such/folder/out.nc", "a.nc"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Невозможно записать файл: no/such/folder/out.nc"), std::string::npos) << run.err;
}

// -q keeps standard output empty but still reports failures.
TEST_F(CliTest, QuietPrintsErrorsOnly)
{
    WriteFile("a.nc", kPocket);
    const ProcessResult run = Run({"-q", "-m", "xy", "a.nc", "gone.nc"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Exists("a_xy.nc"));
    EXPECT_NE(run.err.find("gone.nc"), std::string::npos);
}

// Usage errors: status 2, a short usage text on standard error, nothing on
// standard output and no file written.
TEST_F(CliTest, UsageErrors)
{
    WriteFile("a.nc", kPocket);
    WriteFile("b.nc", kPocket);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"a.nc"},
        {"-m", "z", "a.nc"},
        {"-m", "0", "a.nc"},
        {"-m"},
        {"-m", "x"},
        {"--bogus", "-m", "x", "a.nc"},
        {"-m", "x", "-k", "a.nc"},
        {"--force=yes", "-m", "x", "a.nc"},
        {"-m", "x", "-o", "out.nc", "a.nc", "b.nc"},
        {"-m", "x", "-o", "", "a.nc"},
        {"-m", "x", "-c", "a.nc", "b.nc"},
        {"-m", "x", "-c", "-o", "out.nc", "a.nc"},
        {"-m", "x", "-", "a.nc"},
        {"--check", "-c", "-m", "x", "a.nc"},
        {"-m", "x", "-j", "65", "a.nc"},
        {"-m", "x", "-j", "two", "a.nc"},
        {"-m", "x", "--jobs=", "a.nc"},
    };
    for (const std::vector<std::string>& args : cases) {
        std::string shown;
        for (const std::string& a : args)
            shown += "'" + a + "' ";
        SCOPED_TRACE(shown);
        const ProcessResult run = Run(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("ncmirror: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: ncmirror -m MODE"), std::string::npos) << run.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 2);

    ProcessResult run = Run({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("-m, --mode x|y|xy"), std::string::npos);
    EXPECT_NE(run.out.find("--sync"), std::string::npos);
    EXPECT_EQ(run.err, "");
    run = Run({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("ncmirror ", 0), 0u);
    // "--" ends the options: a file may start with '-'.
    WriteFile("-m.nc", kPocket);
    run = Run({"-m", "X", "--", "-m.nc"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Exists("-m_x.nc"));
}

// Findings go to standard error in the compilers' form after the file's
// result line, even with -q; --check writes nothing and sets the status by
// the findings; --strict refuses a program with findings and keeps the old
// output.
TEST_F(CliTest, FindingsCheckAndStrict)
{
    std::string filler;  // readable lines, so that the path is proved
    for (int i = 0; i < 40; ++i)
        filler += "G1 X1. Y" + std::to_string(i) + ".\n";
    WriteFile("bad.nc", "G1 X10. Y5.\nG1 X10. Y5. X20.\nG81 X=XPOS-63 Z-5.\n" + filler);
    WriteFile("good.nc", kPocket);
    const char* const kSecondWord =
        "bad.nc:2: предупреждение: повторный адрес X20. в кадре не отражён (отражается только первый) [second-word]\n";
    const char* const kMachine =
        "bad.nc:3: предупреждение: X=XPOS-63 - адресу присваивается значение, оно не отражено [assignment]\n";

    const ProcessResult run = Run({"-q", "-m", "y", "bad.nc"});
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("", run.out);
    EXPECT_EQ(std::string(kSecondWord) + kMachine, run.err);
    EXPECT_TRUE(Exists("bad_y.nc"));

    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;
    } checks[] = {
        {{"--check", "-m", "y", "good.nc"}, 0, "good.nc: замечаний нет\n"},
        {{"--check", "-m", "y", "good.nc", "bad.nc"}, 1, "good.nc: замечаний нет\nbad.nc: замечаний: 2\n"},
        {{"--check", "-m", "x", "bad.nc"}, 0, "bad.nc: замечаний нет\n"},
        {{"--check", "-m", "y", "missing.nc"}, 1, ""},
        {{"--check", "-m", "y", "-o", "out.nc", "bad.nc"}, 2, ""},
    };
    for (const auto& c : checks) {
        const ProcessResult r = Run(c.args);
        EXPECT_EQ(c.status, r.status) << c.args[2] << " " << r.err;
        EXPECT_EQ(c.out, r.out);
    }
    EXPECT_FALSE(Exists("good_y.nc"));

    // To standard output: nothing at all, since the findings are known first.
    const ProcessResult strictPipe = Run({"--strict", "-m", "y", "-c", "bad.nc"});
    EXPECT_EQ(1, strictPipe.status);
    EXPECT_EQ("", strictPipe.out);
    EXPECT_NE(strictPipe.err.find(kSecondWord), std::string::npos) << strictPipe.err;

    WriteFile("bad_y.nc", "old\n");
    const ProcessResult strict = Run({"--strict", "-f", "-m", "y", "bad.nc", "good.nc"});
    EXPECT_EQ(1, strict.status);
    EXPECT_EQ("old\n", ReadFile("bad_y.nc"));
    EXPECT_TRUE(Exists("good_y.nc"));
    EXPECT_NE(strict.err.find(kSecondWord), std::string::npos) << strict.err;
    EXPECT_NE(strict.err.find("не записан"), std::string::npos) << strict.err;
}

// The proof in --check and --verify: a mirror the engine cannot make right
// (an arc direction carried into another plane) is named at the output's
// line; lines the proof cannot read get one note; the picture's options.
TEST_F(CliTest, ProofVerifyAndPictureOptions)
{
    WriteFile("plane.nc", "G0 X0 Y0 Z0\nG17 G2 X10 Y0 I5 J0\nG18\nX20 Z0 I5 K0\n");
    // A parameter line and a variable feed are read; one unread line in 22
    // gets a note, one in 2 leaves the path not proved.
    std::string lines;
    for (int i = 0; i < 20; ++i)
        lines += "G1 X" + std::to_string(i) + ". Y1.\n";
    WriteFile("macro.nc", "G0 X0 Y0\n#<speed> = 300\nG3 X1. Y1. I1. J0 F#<speed>\n%\nX1. *\n" + lines +
                              "G1 X#1 Y2.\nM30\n\x1A");
    WriteFile("unproved.nc", "G0 X0 Y0\nG1 X[#1+2] Y2.\nM30\n");
    WriteFile("good.nc", kPocket);
    const std::string kMismatch =
        ":4: предупреждение: траектория не совпадает с отражённой: ожидалось G02 G18 X20 Y0 Z0 центр X15 Z0, "
        "в программе G03 G18 X20 Y0 Z0 центр X15 Z0 [path-mismatch]\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        {{"--check", "-m", "x", "plane.nc"}, 1, "plane.nc" + kMismatch},
        {{"-m", "x", "--verify", "plane.nc"}, 1, "plane_x.nc" + kMismatch},
        {{"-m", "y", "--verify", "-q", "good.nc"}, 0, ""},
        {{"--check", "-m", "y", "macro.nc"}, 0,
         "macro.nc:26: примечание: траектория не сравнивалась в строках, которые не прочитаны (переменные): 1, "
         "первая здесь\n"},
        {{"--check", "-m", "y", "-q", "macro.nc"}, 0, ""},
        {{"--check", "-m", "y", "-q", "unproved.nc"}, 1,
         "unproved.nc:2: предупреждение: траектория не доказана: из 2 строк с адресами X, Y, I, J не прочитано 1 "
         "(выражения), первая здесь [not-proved]\n"},
    };
    for (const auto& r : runs) {
        const ProcessResult run = Run(r.args);
        EXPECT_EQ(r.status, run.status) << r.args[0] << " " << r.args.back();
        EXPECT_EQ(r.err, run.err);
    }
    EXPECT_TRUE(Exists("plane_x.nc"));  // --verify reports; the output is written
    // A program mirrored in place: the proof reads the lines as written.
    WriteFile("inplace.nc", kPocket);
    const ProcessResult inPlace = Run({"-f", "-q", "-m", "y", "--verify", "-o", "./inplace.nc", "inplace.nc"});
    EXPECT_EQ(0, inPlace.status) << inPlace.err;
    EXPECT_EQ("", inPlace.err);

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-m", "y", "--svg", "a.svg", "good.nc", "macro.nc"}, {"-m", "y", "--svg=", "good.nc"}}) {
        const ProcessResult run = Run(args);
        EXPECT_EQ(2, run.status) << run.err;
    }
    // A picture never takes the place of the program or its output.
    for (const char* name : {"good.nc", "good_y.nc"}) {
        const ProcessResult run = Run({"-f", "-m", "y", "--svg", name, "good.nc"});
        EXPECT_EQ(1, run.status) << name;
        EXPECT_EQ(kPocket, ReadFile("good.nc"));
        EXPECT_NE(run.err.find("рисунок не записан"), std::string::npos) << run.err;
    }
    // An existing picture is replaced only with -f.
    fs::remove(PathOf("good_y.nc"));
    WriteFile("p.svg", "old");
    ProcessResult run = Run({"-m", "y", "--svg", "p.svg", "good.nc"});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("old", ReadFile("p.svg"));
    EXPECT_FALSE(Exists("good_y.nc"));
    run = Run({"-f", "-m", "y", "--svg", "p.svg", "good.nc"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(run.out.find("Рисунок:= p.svg записан на диск\n"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile("p.svg").rfind("<?xml", 0), 0u);
}

// The picture of a square (its top a half circle) and its mirror image about
// Oy, rendered as a user would see it: well-formed XML, and the pixels of the
// render show the square in grey where it is and in the strong colour where
// its reflection is, with the mirror's axis between and nothing inside.
TEST_F(CliTest, PictureShowsTheSquareAndItsMirrorImage)
{
    // A square with a half circle on top instead of its upper edge.
    WriteFile("square.nc", "G90 G17\nG0 X0 Y0\nG0 X10 Y10\nG1 X30 F100\nY30\nG3 X10 I-10 J0\nG1 Y10\nM30\n");
    for (const bool check : {false, true}) {
        SCOPED_TRACE(check ? "--check" : "a mirror run");
        std::vector<std::string> args = {"-f", "-m", "y", "--svg", "square.svg", "square.nc"};
        if (check)
            args.insert(args.begin(), "--check");
        const ProcessResult run = Run(args);
        ASSERT_EQ(0, run.status) << run.err;
        EXPECT_EQ(!check, Exists("square_y.nc"));
        fs::remove(PathOf("square_y.nc"));

        ASSERT_EQ(0, RunProgram({NCM_XMLLINT, "--noout", "square.svg"}, m_folder.string()).status);
        ASSERT_EQ(0, RunProgram({NCM_RSVG_CONVERT, "-o", "square.png", "square.svg"}, m_folder.string()).status);
        ASSERT_EQ(0, RunProgram({NCM_STREAM, "-map", "rgb", "-storage-type", "char", "square.png", "square.rgb"},
                                m_folder.string())
                         .status);

        // Where the picture puts program coordinates.
        CToolpathPicture picture;
        ASSERT_TRUE(ReadProgramPicture(PathOf("square.nc").c_str(), picture));
        picture.ReflectSource(*FindMirrorMode(2));
        PictureLegend legend;
        legend.mode = FindMirrorMode(2);
        int width = 0, height = 0;
        PictureFileSize(picture, legend, width, height);
        const PictureFrame frame = LayOutPicture(picture, legend, width, height).frame;
        const std::string rgb = ReadFile("square.rgb");
        ASSERT_EQ(rgb.size(), static_cast<std::size_t>(width) * height * 3);

        // The colour class of the pixels around a program point.
        const auto seen = [&](double x, double y) {
            std::string kinds;
            const int px = static_cast<int>(std::lround(frame.PixelX(x))), py = static_cast<int>(std::lround(frame.PixelY(y)));
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + ((py + dy) * width + px + dx) * 3;
                    const int r = p[0], g = p[1], b = p[2];
                    kinds += r > 240 && g > 240 && b > 240            ? 'w'
                             : r > 150 && g < 110 && b < 110           ? 'r'
                             : g > r + 30 && g > b + 10                ? 'a'
                             : std::abs(r - g) < 12 && std::abs(g - b) < 12 ? 'g'
                                                                        : '?';
                }
            return kinds;
        };
        for (const auto& edge : {std::pair{20.0, 10.0}, {30.0, 20.0}, {20.0, 40.0}, {10.0, 20.0}}) {
            EXPECT_NE(seen(edge.first, edge.second).find('g'), std::string::npos) << edge.first << " " << edge.second;
            EXPECT_NE(seen(-edge.first, edge.second).find('r'), std::string::npos) << -edge.first << " " << edge.second;
        }
        EXPECT_EQ(seen(20, 20), "wwwwwwwww");
        EXPECT_EQ(seen(-20, 20), "wwwwwwwww");
        EXPECT_EQ(seen(20, 30), "wwwwwwwww");
        EXPECT_EQ(seen(20, -5), "wwwwwwwww");
        EXPECT_NE(seen(0, 20).find('a'), std::string::npos) << "the mirror's axis";
    }
}

// The rendered picture's marks: an arrow on a feed move (dark on the light
// line), the positioning between two holes dashed and thin, and the red
// band over a picture that lacks much of its path.
TEST_F(CliTest, PictureShowsArrowsDashedPositioningBetweenHolesAndTheBand)
{
    WriteFile("marks.nc", "G90 G17\nG0 X0 Y20\nG1 X100 F100\nG0 Z5\nG81 X20 Y50 Z-5 R2\nX80\nG80\n");
    std::string unread = "G90 G17\nG0 X0 Y0\nG1 F100\n";
    for (int i = 0; i < 18; ++i)
        unread += "X" + std::to_string(i) + " Y" + std::to_string(i % 2) + "\n";
    unread += "X#1\nY#2\n";
    WriteFile("unread.nc", unread);
    for (const char* name : {"marks", "unread"}) {
        const std::string program = std::string(name) + ".nc", svg = std::string(name) + ".svg";
        ASSERT_EQ(0, Run({"-f", "-m", "x", "--svg", svg, program}).status) << name;
        ASSERT_EQ(0, RunProgram({NCM_RSVG_CONVERT, "-o", std::string(name) + ".png", svg}, m_folder.string()).status);
        ASSERT_EQ(0, RunProgram({NCM_STREAM, "-map", "rgb", "-storage-type", "char", std::string(name) + ".png",
                                 std::string(name) + ".rgb"},
                                m_folder.string())
                         .status);
    }
    CToolpathPicture picture;
    ASSERT_TRUE(ReadProgramPicture(PathOf("marks.nc").c_str(), picture));
    picture.ReflectSource(*FindMirrorMode(1));
    PictureLegend legend;
    legend.mode = FindMirrorMode(1);
    int width = 0, height = 0;
    PictureFileSize(picture, legend, width, height);
    const PictureFrame f = LayOutPicture(picture, legend, width, height).frame;
    const std::string rgb = ReadFile("marks.rgb");
    ASSERT_EQ(rgb.size(), static_cast<std::size_t>(width) * height * 3);
    // The colour class of a pixel: 'w' white, 'd' dark grey (arrows), 'l'
    // the light grey of the source's feed, 'g' other greys, '?' else.
    const auto kind = [&](const std::string& image, int w, int px, int py) {
        const auto* p = reinterpret_cast<const unsigned char*>(image.data()) + (py * w + px) * 3;
        const int r = p[0], g = p[1], b = p[2];
        const bool grey = std::abs(r - g) < 12 && std::abs(g - b) < 12;
        return r > 240 && g > 240 && b > 240 ? 'w' : r > 150 && g < 110 && b < 110 ? 'r'
               : grey && r < 0x70 ? 'd' : grey && r > 0xB4 ? 'l' : grey ? 'g' : '?';
    };
    // The first arrow: half a spacing along the move from X0, its middle on the path.
    const int y = static_cast<int>(std::lround(f.PixelY(20)));
    const int arrow = static_cast<int>(std::lround(f.PixelX(0) + kArrowSpacing / 2));
    EXPECT_EQ(kind(rgb, width, arrow - 2, y), 'd') << "no arrow on the feed move";
    EXPECT_EQ(kind(rgb, width, arrow + 30, y), 'l') << "the feed move between arrows";
    // Between the holes: dashes and gaps, none of it wide.
    std::string between;
    const int hy = static_cast<int>(std::lround(f.PixelY(50)));
    for (int px = static_cast<int>(f.PixelX(30)); px < f.PixelX(70); ++px)
        between += kind(rgb, width, px, hy);
    EXPECT_NE(between.find_first_of("gl"), std::string::npos) << between;
    EXPECT_NE(between.find('w'), std::string::npos) << "solid, not dashed: " << between;
    EXPECT_EQ(kind(rgb, width, static_cast<int>(f.PixelX(50)), hy - 3), 'w') << "not thin";
    EXPECT_EQ(kind(rgb, width, static_cast<int>(f.PixelX(50)), hy + 3), 'w') << "not thin";
    // No band over a picture drawn whole; a red one over a picture with 2 of 21 lines not read.
    EXPECT_EQ(kind(rgb, width, 10, 12), 'w');
    const std::string band = ReadFile("unread.rgb");
    const int bandWidth = 1000;
    ASSERT_EQ(band.size() % (bandWidth * 3), 0u);
    EXPECT_EQ(kind(band, bandWidth, 10, 12), 'r') << "no red band";
    EXPECT_EQ(kind(band, bandWidth, bandWidth - 10, 12), 'r') << "the band does not go across";
    EXPECT_NE(ReadFile("unread.svg").find("траектория прочитана не полностью: 2 из 21 строки не прочитаны"),
              std::string::npos);
}

// The filter: -c FILE and '-' (standard input) write exactly the bytes of
// the file-to-file mirror to standard output, in every mode, for LF and CRLF
// programs and one without a final line end. The result line goes to
// standard error; no output file is written and the input's temporary copy
// is gone afterwards.
TEST_F(CliTest, FilterWritesTheMirrorToStandardOutput)
{
    const std::string programs[] = {kPocket, kFixedCrlf, "G17 G90\r\nG2 X1.5 Y-2. I1. J0.5\nG1 X3 Y4"};
    fs::create_directory(PathOf("spool"));
    const std::string inSpool = "TMPDIR=" + PathOf("spool") + " exec \"$0\" \"$@\"";
    for (const std::string& program : programs) {
        WriteFile("p.nc", program);
        for (const ModeCase& mode : {kModeCases[0], kModeCases[1], kModeCases[2]}) {
            SCOPED_TRACE(program.substr(0, 12) + " -m " + mode.name);
            long long count = 0;
            const std::string expected = EngineOutput("p.nc", mode.number, count);
            const std::string resultLine = "Файл:= <stdout> записан на диск Преобразование завершено... Число "
                                           "преобразованных адресов =" + std::to_string(count) + "\n";
            const ProcessResult named = Run({"-m", mode.name, "-c", "p.nc"});
            const ProcessResult piped =
                RunProgram({"/bin/sh", "-c", inSpool, NCM_CLI_PATH, "-m", mode.name, "-"}, m_folder.string(), program);
            for (const ProcessResult& run : {named, piped}) {
                EXPECT_EQ(run.status, 0) << run.err;
                EXPECT_TRUE(run.out == expected) << "standard output differs from the file mirror";
                EXPECT_EQ(run.err, resultLine);
            }
        }
    }
    EXPECT_TRUE(fs::is_empty(PathOf("spool")));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 2);

    // With -o the program from standard input goes to that file.
    const ProcessResult toFile = Run({"-m", "y", "-o", "out.nc", "-"}, kPocket);
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    WriteFile("p.nc", kPocket);
    long long count = 0;
    EXPECT_EQ(ReadFile("out.nc"), EngineOutput("p.nc", 2, count));
    EXPECT_NE(toFile.out.find("Файл:= out.nc записан"), std::string::npos) << toFile.out;
}

namespace {

// The options --help lists: "-x" and "--name" at the start of its lines,
// after blanks, and a long name after "-x, ".
std::set<std::string> OptionsOfHelp(const std::string& help)
{
    std::set<std::string> options;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t at = line.find_first_not_of(' ');
        while (at != std::string::npos && line.compare(at, 1, "-") == 0) {
            const std::size_t end = line.find_first_not_of("-abcdefghijklmnopqrstuvwxyz", at);
            options.insert(line.substr(at, end - at));
            if (end == std::string::npos || line.compare(end, 2, ", ") != 0)
                break;
            at = end + 2;
        }
    }
    return options;
}

// The options a manual page source describes: the words "\-x" and
// "\-\-name" of the heading lines (those after ".TP") of its OPTIONS section.
std::set<std::string> OptionsOfManualPage(const std::string& page)
{
    std::set<std::string> options;
    std::istringstream lines(page);
    std::string line;
    bool inOptions = false, heading = false;
    while (std::getline(lines, line)) {
        if (line.rfind(".SH", 0) == 0)
            inOptions = line == ".SH OPTIONS";
        const bool isHeading = inOptions && heading;
        heading = line == ".TP";
        for (std::size_t at = line.find("\\-"); isHeading && at != std::string::npos; at = line.find("\\-", at)) {
            std::string option;
            while (line.compare(at, 2, "\\-") == 0) {
                option += '-';
                at += 2;
            }
            while (at < line.size() && (std::islower(static_cast<unsigned char>(line[at])) || line[at] == '-'))
                option += line[at++];
            options.insert(option);
        }
    }
    return options;
}

}  // namespace

// Every option of --help is in the manual page and every option of the
// manual page in --help: whoever adds an option adds it to both.
TEST_F(CliTest, ManualPageAndHelpNameTheSameOptions)
{
    std::ifstream page(NCM_MAN_PAGE);
    ASSERT_TRUE(page) << NCM_MAN_PAGE;
    const std::set<std::string> inPage =
        OptionsOfManualPage(std::string(std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()));
    const std::set<std::string> inHelp = OptionsOfHelp(Run({"--help"}).out);
    EXPECT_GE(inHelp.size(), 12u);
    for (const std::string& option : inHelp)
        EXPECT_TRUE(inPage.count(option)) << option << " is in --help but not in the OPTIONS of the manual page";
    for (const std::string& option : inPage)
        EXPECT_TRUE(inHelp.count(option)) << option << " is in the OPTIONS of the manual page but not in --help";
}

// The pictures of two examples are the golden ones (the Windows build is held
// to the same files), whether the mirror image is read from the mirrored
// program (--check) or reflected from the source (a plain run).
TEST_F(CliTest, PicturesOfTheExamplesAreTheGoldenOnes)
{
    const struct {
        const char* program;
        const char* mode;
        const char* picture;
    } cases[] = {{"pocket.nc", "y", "pocket_y.svg"}, {"bracket.up", "xy", "bracket_xy.svg"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        fs::copy_file(fs::path(NCM_EXAMPLES_DIR) / c.program, PathOf(c.program));
        std::ifstream golden(fs::path(NCM_TEST_DATA_DIR) / "pictures" / c.picture, std::ios::binary);
        const std::string expected((std::istreambuf_iterator<char>(golden)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(expected.empty());
        for (const bool check : {true, false}) {
            std::vector<std::string> args = {"-q", "-m", c.mode, "--svg", c.picture, c.program};
            if (check)
                args.insert(args.begin(), "--check");
            ASSERT_EQ(0, Run(args).status);
            EXPECT_EQ(expected, ReadFile(c.picture)) << (check ? "--check" : "a plain run");
            fs::remove(PathOf(c.picture));
        }
    }
}

// Several files at the same time give what one at a time gives: the same
// outputs byte for byte, and the same lines on both streams in the order of
// the files, a missing source, a skipped output and findings among them.
TEST_F(CliTest, FilesOnSeveralThreadsReportInTheirOrder)
{
    std::vector<std::string> args = {"-m", "y"};
    for (int i = 0; i < 40; ++i) {
        const std::string name = "p" + std::to_string(i) + ".nc";
        std::string program = kPocket;
        if (i % 7 == 3)
            program += "G1 X" + std::to_string(i) + ". Y1. X2.\n";  // a finding
        WriteFile(name, program);
        args.push_back(name);
    }
    args.insert(args.begin() + 10, "missing.nc");
    WriteFile("p5_y.nc", "kept\n");  // skipped without -f
    const std::vector<std::string> outputs = [] {
        std::vector<std::string> names;
        for (int i = 0; i < 40; ++i)
            names.push_back("p" + std::to_string(i) + "_y.nc");
        return names;
    }();

    std::vector<std::string> firstBytes;
    ProcessResult first;
    for (const char* jobs : {"1", "3", "0"}) {
        SCOPED_TRACE(std::string("-j ") + jobs);
        for (int i = 0; i < 40; ++i)
            if (i != 5)
                fs::remove(PathOf(outputs[i]));
        std::vector<std::string> withJobs = args;
        withJobs.insert(withJobs.begin(), {"-j", jobs});
        const ProcessResult run = Run(withJobs);
        EXPECT_EQ(1, run.status);
        std::vector<std::string> bytes;
        for (const std::string& output : outputs)
            bytes.push_back(ReadFile(output));
        EXPECT_EQ("kept\n", bytes[5]);
        if (firstBytes.empty()) {
            first = run;
            firstBytes = bytes;
            EXPECT_EQ(39u, CountLines(run.out));
            continue;
        }
        EXPECT_EQ(first.out, run.out);
        EXPECT_EQ(first.err, run.err);
        EXPECT_EQ(firstBytes, bytes);
    }

    // The check alone, on threads.
    std::vector<std::string> check = args;
    check.insert(check.begin(), {"--check", "-j", "4"});
    std::vector<std::string> checkOne = args;
    checkOne.insert(checkOne.begin(), "--check");
    const ProcessResult threaded = Run(check), single = Run(checkOne);
    EXPECT_EQ(single.out, threaded.out);
    EXPECT_EQ(single.err, threaded.err);
    EXPECT_EQ(1, threaded.status);
}

// What a picture, --strict and -j add never costs a program: a picture that
// would take the program's or the output's place, by any spelling, or that
// its folder cannot take, is refused before anything is written; a strict
// run whose path the proof rejects replaces nothing, to a file or a pipe;
// a file that is another's output is read after that output is written.
TEST_F(CliTest, PictureStrictAndThreadsNeverLoseAProgram)
{
    WriteFile("good.nc", kPocket);
    fs::create_directory(PathOf("sub"));
    const struct {
        std::vector<std::string> args;
        const char* output;  // must not appear
        const char* error;
    } pictures[] = {
        {{"--svg", "./good_y.nc", "good.nc"}, "good_y.nc", "рисунок не записан"},
        {{"-o", "out.nc", "--svg", "./out.nc", "good.nc"}, "out.nc", "рисунок не записан"},
        {{"-o", "sub/../o2.nc", "--svg", "o2.nc", "good.nc"}, "o2.nc", "рисунок не записан"},
        {{"--svg", "nodir/p.svg", "good.nc"}, "good_y.nc", "nodir/p.svg"},
    };
    for (const auto& p : pictures) {
        std::vector<std::string> args = {"-m", "y"};
        args.insert(args.end(), p.args.begin(), p.args.end());
        const ProcessResult run = Run(args);
        EXPECT_EQ(1, run.status) << p.args[1];
        EXPECT_FALSE(Exists(p.output)) << p.args[1];
        EXPECT_NE(run.err.find(p.error), std::string::npos) << run.err;
    }
    EXPECT_EQ(2u, CountLines(Run({"-m", "y", "--svg", "nodir/p.svg", "good.nc"}).err));  // with its reason

    WriteFile("plane.nc", "G0 X0 Y0 Z0\nG17 G2 X10 Y0 I5 J0\nG18\nX20 Z0 I5 K0\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--strict", "-f", "-m", "x", "plane.nc"},
             {"--strict", "--verify", "-f", "-m", "x", "plane.nc"},
             {"--strict", "-m", "x", "-c", "plane.nc"}}) {
        WriteFile("plane_x.nc", "old\n");
        const ProcessResult run = Run(args);
        EXPECT_EQ(1, run.status) << args[1];
        EXPECT_EQ("", run.out) << args[1];
        EXPECT_EQ("old\n", ReadFile("plane_x.nc")) << args[1];
        EXPECT_NE(run.err.find("[path-mismatch]"), std::string::npos) << run.err;
    }

    // p_x.nc is p.nc's output and a source of its own.
    WriteFile("p.nc", kPocket);
    std::string alone;
    for (const char* jobs : {"1", "2", "2", "2"}) {
        WriteFile("p_x.nc", "G1 X1. Y1.\n");  // an earlier output
        const ProcessResult run = Run({"-f", "-j", jobs, "-m", "x", "p.nc", "p_x.nc"});
        EXPECT_EQ(0, run.status) << run.err;
        if (alone.empty())
            alone = ReadFile("p_x_x.nc");
        EXPECT_EQ(alone, ReadFile("p_x_x.nc")) << "-j " << jobs;
    }
    EXPECT_NE(alone.find("G03"), std::string::npos);  // the mirror of the new p_x.nc
}

// Signals and lost streams: a reader of the results that goes away removes
// the temporary files as an interruption does; every output written before
// a SIGTERM has its result line on a redirected standard output; temporary
// files are private while written; errors and findings that cannot be shown
// fail the run; the copy of standard input that cannot be made says where
// and why.
TEST_F(CliTest, SignalsAndLostStreamsLeaveNothingUnsaid)
{
    WriteFile("b1.nc", kPocket);
    for (const char* name : {"b2.nc", "b3.nc", "b4.nc"})
        WriteFile(name, TwentyMegabytes());
    RunProgram({"/bin/sh", "-c", "\"$0\" -f -j 4 -m x missing.nc b2.nc b3.nc b4.nc 2>&1 | true", NCM_CLI_PATH},
               m_folder.string());
    EXPECT_EQ(TempFiles(), std::vector<std::string>());

    std::vector<std::string> outputs;
    std::string names;
    for (int i = 0; i < 20; ++i) {
        WriteFile("s" + std::to_string(i) + ".nc", kPocket);
        names += " s" + std::to_string(i) + ".nc";
        outputs.push_back("s" + std::to_string(i) + "_x.nc");
    }
    StartedProgram program =
        StartProgram({"/bin/sh", "-c", "exec \"$0\" -f -m x" + names + " b2.nc > results.txt", NCM_CLI_PATH},
                     m_folder.string());
    ASSERT_TRUE(StopWhileWriting(program)) << "the run ended before the signal";
    // Private while written; widened only when whole, right before its move.
    long long ignored = 0;
    const std::set<std::size_t> wholeSizes = {EngineOutput("s0.nc", 1, ignored).size(),
                                              EngineOutput("b2.nc", 1, ignored).size()};
    for (const std::string& temp : TempFiles()) {
        struct stat st {};
        ASSERT_EQ(0, ::stat(PathOf(temp).c_str(), &st));
        if ((st.st_mode & 0777u) != 0600u) {
            EXPECT_EQ(1u, wholeSizes.count(static_cast<std::size_t>(st.st_size))) << temp << " widened early";
        }
    }
    kill(program.pid, SIGTERM);
    kill(program.pid, SIGCONT);
    EXPECT_EQ(128 + SIGTERM, FinishProgram(program).status);
    // Every output written has its line, but the one the signal may have
    // come right after (moved into place, its line not yet printed).
    std::size_t written = 0;
    for (const std::string& output : outputs)
        written += Exists(output);
    const std::size_t lines = CountLines(ReadFile("results.txt"));
    EXPECT_TRUE(lines == written || lines + 1 == written) << lines << " lines, " << written << " written";
    // Widened once whole, to what the mask gives any new file.
    RunProgram({"/bin/sh", "-c", "umask 027; exec \"$0\" -f -m x b1.nc", NCM_CLI_PATH}, m_folder.string());
    struct stat st {};
    ASSERT_EQ(0, ::stat(PathOf("b1_x.nc").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777u);

    WriteFile("bad.nc", "G1 X10. Y5. X20.\n");
    for (const char* redirect : {"2>&-", "2>/dev/full"}) {
        const ProcessResult run = RunProgram(
            {"/bin/sh", "-c", std::string("exec \"$0\" -f -m y bad.nc ") + redirect, NCM_CLI_PATH}, m_folder.string());
        EXPECT_EQ(1, run.status) << redirect;
    }
    const ProcessResult spool =
        RunProgram({"/bin/sh", "-c", "TMPDIR=./nodir exec \"$0\" -m x - < b1.nc", NCM_CLI_PATH}, m_folder.string());
    EXPECT_EQ(1, spool.status);
    EXPECT_NE(spool.err.find("./nodir/"), std::string::npos) << spool.err;
    EXPECT_EQ(2u, CountLines(spool.err)) << spool.err;
}

// --at: the position reaches the engine and the proof, its line follows the
// result line, centre takes the middle of the feed moves, and a letter the
// mode does not mirror or a position that is no number is a usage error.
TEST_F(CliTest, MirrorAboutAPosition)
{
    WriteFile("part.nc", "G90 G17\nG0 X10. Y5.\nG1 X20.5 Y5. F100\nG1 X30. Y15.\nM30\n");
    ProcessResult run = Run({"-m", "y", "--at", "x=40", "--verify", "part.nc"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ("G90 G17\nG0 X70. Y5.\nG1 X59.5 Y5. F100\nG1 X50. Y15.\nM30\n", ReadFile("part_y.nc"));
    EXPECT_NE(run.out.find("=3\nОсь отражения: x=40\n"), std::string::npos) << run.out;
    EXPECT_EQ("", run.err);
    run = Run({"-f", "-m", "xy", "--at", "centre", "--check", "--svg", "p.svg", "part.nc"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(ReadFile("p.svg").find("центр отражения (x=20, y=10)"), std::string::npos);  // drawn at the point
    run = Run({"-f", "-q", "-m", "xy", "--at", "centre", "part.nc"});
    EXPECT_EQ("G90 G17\nG0 X30. Y15.\nG1 X19.5 Y15. F100\nG1 X10. Y5.\nM30\n", ReadFile("part_xy.nc"));  // about (20, 10)
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-m", "x", "--at", "x=40", "part.nc"}, {"-m", "y", "--at", "x=4O", "part.nc"},
             {"-m", "y", "--at", "z=1", "part.nc"}, {"-m", "y", "--at=", "part.nc"}})
        EXPECT_EQ(2, Run(args).status) << args[3];
}
