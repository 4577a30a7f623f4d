// ncmirror.exe under Wine as cmd.exe would start it: wildcards it expands
// itself, and standard streams that carry a program's bytes unchanged.
#include "DriverEnv.h"
#include "NcMirror.h"
#include "TestFolder.h"
#include "WindowsProcess.h"

#include <gtest/gtest.h>

namespace {

const char kCrlfProgram[] = "%\r\nG90 G17\r\nG02 X10.5 Y-2. I1. J-0.5\r\nG01 X0 Y0\r\n%";

std::wstring CliPath() { return ToWindowsPath(EnvText(L"NCM_CLI")); }

class WindowsCli : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()) << "no temporary folder"; }

    // ncmirror.exe with `arguments` in the folder; standard input from the
    // folder's file `input` when one is named.
    ProgramRun Run(const std::wstring& arguments, const std::wstring& input = std::wstring())
    {
        return RunProgram(L"\"" + CliPath() + L"\" " + arguments, folder.Path(),
                          input.empty() ? std::wstring() : folder.PathOf(input));
    }

    // What the engine itself writes for the folder's file `name` in `mode`.
    std::string EngineOutput(const std::wstring& name, int mode)
    {
        std::string in;
        for (wchar_t c : folder.PathOf(name))
            in += static_cast<char>(c);  // the temporary folder's path is ASCII
        CNcMirror engine;
        EXPECT_GE(engine.Mirror(in.c_str(), (in + ".ref").c_str(), mode), 0);
        return folder.Read(name + L".ref");
    }

    TestFolder folder;
};

}  // namespace

// "*.nc" names the three programs, sorted whatever the case, and not the
// folder whose name matches; a pattern without a match is reported not
// found, as it was typed.
TEST_F(WindowsCli, ExpandsWildcardsToSortedFiles)
{
    for (const wchar_t* name : {L"b.nc", L"C.NC", L"a.nc", L"notes.txt"})
        ASSERT_TRUE(folder.Write(name, kCrlfProgram));
    ASSERT_TRUE(folder.MakeFolder(L"dir.nc"));
    const ProgramRun run = Run(L"-m x *.nc nothing*.up");
    EXPECT_EQ(run.status, 1u) << run.err;
    EXPECT_EQ(run.out.rfind("Файл:= a_x.nc ", 0), 0u) << run.out;
    const std::size_t a = run.out.find("a_x.nc"), b = run.out.find("b_x.nc"), c = run.out.find("C_x.NC");
    EXPECT_TRUE(a < b && b < c && c != std::string::npos) << run.out;
    for (const wchar_t* name : {L"a_x.nc", L"b_x.nc", L"C_x.NC"})
        EXPECT_EQ(folder.Read(name), EngineOutput(L"a.nc", 1)) << name;
    EXPECT_FALSE(folder.Exists(L"dir_x.nc"));
    EXPECT_FALSE(folder.Exists(L"notes_x.txt"));
    // Messages are text: their lines end in "\r\n" on Windows.
    EXPECT_EQ(run.err, "ncmirror: Файл Данных:= nothing*.up не найден ! преобразование прервано....\r\n");
}

// -c and '-' give the file mirror's bytes exactly: no "\r\n" made of "\n"
// on the way out, none lost on the way in.
TEST_F(WindowsCli, StandardStreamsCarryTheBytesUnchanged)
{
    ASSERT_TRUE(folder.Write(L"p.nc", kCrlfProgram));
    ASSERT_TRUE(folder.Write(L"lf.nc", "G1 X1. Y2.\nG1 X3. Y4.\n"));
    for (int mode = 1; mode <= 3; ++mode) {
        const std::wstring modeArg = L"-m " + std::to_wstring(mode);
        for (const wchar_t* name : {L"p.nc", L"lf.nc"}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << name);
            const std::string expected = EngineOutput(name, mode);
            const ProgramRun named = Run(modeArg + L" -c " + name);
            const ProgramRun piped = Run(modeArg + L" -", name);
            EXPECT_EQ(named.out, expected);
            EXPECT_EQ(piped.out, expected);
            EXPECT_EQ(named.status, 0u) << named.err;
            EXPECT_EQ(piped.status, 0u) << piped.err;
            EXPECT_NE(piped.err.find("Файл:= <stdout> записан на диск"), std::string::npos) << piped.err;
        }
    }
}

// The pictures of two examples are byte for byte those of the Linux build.
TEST_F(WindowsCli, PicturesAreTheGoldenOnes)
{
    const struct {
        const wchar_t* program;
        const wchar_t* mode;
        const wchar_t* picture;
    } cases[] = {{L"pocket.nc", L"y", L"pocket_y.svg"}, {L"bracket.up", L"xy", L"bracket_xy.svg"}};
    for (const auto& c : cases) {
        const std::string program = TestData(std::wstring(L"../../examples/") + c.program);
        ASSERT_NE(program, "<missing>");
        ASSERT_TRUE(folder.Write(c.program, program));
        const ProgramRun run = Run(std::wstring(L"--check -q -m ") + c.mode + L" --svg " + c.picture + L" " + c.program);
        EXPECT_EQ(run.status, 0u) << run.err;
        EXPECT_EQ(folder.Read(c.picture), TestData(std::wstring(L"pictures/") + c.picture));
    }
}

// Names as Windows stores them: a picture named like the output in another
// case is refused before anything is written; a name that Windows would cut
// (a trailing dot or blank) is a usage error; a batch on threads reads an
// earlier output only after the run that rewrites it, and replaces it even
// though it was a source of the batch.
TEST_F(WindowsCli, NamesAsWindowsStoresThem)
{
    ASSERT_TRUE(folder.Write(L"p.nc", kCrlfProgram));
    ProgramRun run = Run(L"-m x --svg P_X.NC p.nc");
    EXPECT_EQ(run.status, 1u) << run.err;
    EXPECT_FALSE(folder.Exists(L"p_x.nc"));
    for (const wchar_t* args : {L"-m x -o out.nc. p.nc", L"-m x --svg \"p.svg \" p.nc"}) {
        run = Run(args);
        EXPECT_EQ(run.status, 2u) << run.err;
        EXPECT_NE(run.err.find("оканчивается точкой или пробелом"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(folder.Exists(L"out.nc"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        ASSERT_TRUE(folder.Write(L"p_x.nc", "G1 X1. Y1.\r\n"));  // an earlier output
        run = Run(L"-f -j 2 -m x *.nc");
        EXPECT_EQ(run.status, 0u) << run.err;
        EXPECT_EQ(folder.Read(L"p_x_x.nc"), EngineOutput(L"p_x.nc", 1));
        EXPECT_NE(folder.Read(L"p_x_x.nc"), "G1 X1. Y-1.\r\n");
    }
}
