// The mirror command worked from the dialog on real files: mode check,
// missing source, result message, overwrite question, output names, files
// that cannot be written, the mirror line's position, and the bytes written
// against the engine's.
#include "AppSession.h"
#include "DialogSteps.h"
#include "DriverEnv.h"
#include "TestFolder.h"
#include "WindowProbe.h"

#include "MirrorMessages.h"
#include "NcMirror.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace {

std::wstring WrittenText(const std::wstring& output, long long count)
{
    return L"Файл:=\n " + output + L" \n\t записан на диск \n Преобразование завершено...\n Число преобразованных адресов =" +
           std::to_wstring(count);
}

// Holds a file open without sharing it, as a program that works on it can.
class FileHold {
public:
    explicit FileHold(const std::wstring& path)
        : m_file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        EXPECT_NE(m_file, INVALID_HANDLE_VALUE) << "cannot hold the file";
    }
    ~FileHold() { CloseHandle(m_file); }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

private:
    HANDLE m_file;
};

std::wstring QuestionText(const std::wstring& output)
{
    return L"Файл:=\n " + output + L" \n\t уже существует! \n Перезаписать существующий ?";
}

// Words rewritten for a golden program in modes 1, 2 and 3 (tests/data/golden/counts.txt).
bool GoldenCounts(const std::string& program, long long counts[3])
{
    std::istringstream table(TestData(L"golden/counts.txt"));
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name;
        if (fields >> name && name == program && fields >> counts[0] >> counts[1] >> counts[2])
            return true;
    }
    return false;
}

std::wstring FromUtf8(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

class MirrorCommand : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.Path().empty()) << "no temporary folder";
        program = TestData(L"golden/worked_free.nc");
        ASSERT_NE(program, "<missing>");
        ASSERT_TRUE(folder.Write(L"uo128.up", program));
        ASSERT_TRUE(folder.Write(L"a.upa", program));
    }

    // What the engine itself writes for `input` in `mode`, its count and,
    // when asked, its findings.
    std::string EngineOutput(const std::string& input, int mode, long long& count,
                             CMirrorFindings* findings = nullptr, const char* atX = nullptr)
    {
        if (!reference.Write(L"in", input))
            return "<cannot write the engine's input>";
        std::string in, out;
        for (wchar_t c : reference.PathOf(L"in"))
            in += static_cast<char>(c);  // the temporary folder's path is ASCII
        out = in + ".out";
        CNcMirror engine;
        if (!engine.SetPosition(atX, nullptr))
            return "<not a position>";
        count = engine.Mirror(in.c_str(), out.c_str(), mode);
        if (findings)
            *findings = engine.GetFindings();
        return reference.Read(L"in.out");
    }

    // Presses the run button; the message box it opens, or the question.
    OpenedBox Run() { return ClickAndWaitForBox(*app, kRunMirror); }

    // Runs `name` in mode button `modeId` and answers the result message.
    std::wstring RunAndConfirm(const std::wstring& name, int modeId)
    {
        ChooseMode(*app, modeId);
        TypeFileName(*app, name);
        const OpenedBox box = Run();
        EXPECT_TRUE(AnswerAndWait(box, IDOK)) << "no message";
        return box.text;
    }

    // Starts the application in the test folder or in its subfolder `sub`.
    void StartApp(const std::wstring& sub = std::wstring())
    {
        app = std::make_unique<AppSession>(sub.empty() ? folder.Path() : folder.PathOf(sub));
        ASSERT_TRUE(app->Started()) << "cannot start the application";
        ASSERT_NE(app->MainDialog(), nullptr) << "the main dialog did not appear";
    }

    TestFolder folder;
    TestFolder reference;
    std::string program;
    std::unique_ptr<AppSession> app;
};

}  // namespace

TEST_F(MirrorCommand, NoModeGivesOnlyTheExclamation)
{
    StartApp();
    TypeFileName(*app, L"uo128.up");
    const OpenedBox box = Run();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"Выберите соответствующее отображение");
    EXPECT_EQ(WindowText(box.window), L"NcMirrorGui") << "message boxes carry the program's name";
    ASSERT_TRUE(AnswerAndWait(box, IDOK));
    EXPECT_TRUE(NothingMoreOpens(*app));
    for (const wchar_t* name : {L"uo128_x.up", L"uo128_y.up", L"uo128_xy.up"})
        EXPECT_FALSE(folder.Exists(name)) << name;
}

TEST_F(MirrorCommand, MissingSourceIsNamedWithItsFullPath)
{
    StartApp();
    EXPECT_EQ(RunAndConfirm(L"nosuch.up", kAxisY),
              L"Файл Данных:=\n " + folder.PathOf(L"nosuch.up") + L" \n\t не найден !\n преобразование прервано....");
    EXPECT_FALSE(folder.Exists(L"nosuch_y.up"));
    EXPECT_TRUE(NothingMoreOpens(*app));
}

TEST_F(MirrorCommand, RunReportsAsksBeforeOverwritingAndSelectsTheSource)
{
    long long counts[3];
    ASSERT_TRUE(GoldenCounts("worked_free", counts));
    const std::string expected = TestData(L"golden/worked_free.x.out");
    StartApp();
    ChooseMode(*app, kAxisX);
    TypeFileName(*app, L"uo128.up");
    OpenedBox box = Run();
    EXPECT_EQ(box.text, WrittenText(folder.PathOf(L"uo128_x.up"), counts[0]));
    EXPECT_TRUE(SaveScreenshot(L"result-message"));
    ASSERT_TRUE(AnswerAndWait(box, IDOK));
    EXPECT_EQ(folder.Read(L"uo128_x.up"), expected);
    const auto items = ComboItems(app->Item(kFileList));
    const LRESULT selected = ComboSelection(app->Item(kFileList));
    ASSERT_GE(selected, 0) << "nothing selected after the run";
    EXPECT_EQ(items.at(selected), L"uo128.up");
    EXPECT_EQ(WindowText(app->Item(kFileList)), L"uo128.up");
    Sleep(200);
    EXPECT_TRUE(SaveScreenshot(L"main-dialog-after-run"));

    // No keeps the existing output byte for byte, and nothing more is shown.
    ASSERT_TRUE(folder.Write(L"uo128_x.up", "edited by hand\r\n"));
    box = Run();
    EXPECT_EQ(box.text, QuestionText(folder.PathOf(L"uo128_x.up")));
    ASSERT_TRUE(AnswerAndWait(box, IDNO));
    EXPECT_TRUE(NothingMoreOpens(*app));
    EXPECT_EQ(folder.Read(L"uo128_x.up"), "edited by hand\r\n");

    // Yes writes it again.
    box = Run();
    EXPECT_EQ(box.text, QuestionText(folder.PathOf(L"uo128_x.up")));
    ASSERT_TRUE(AnswerAndWait(box, IDYES));
    box.window = WaitForNewDialog(app->Pid(), {app->MainDialog()});
    ASSERT_NE(box.window, nullptr) << "no result after Yes";
    EXPECT_EQ(MessageBoxText(box.window), WrittenText(folder.PathOf(L"uo128_x.up"), counts[0]));
    ASSERT_TRUE(AnswerAndWait(box, IDOK));
    EXPECT_EQ(folder.Read(L"uo128_x.up"), expected);
}

TEST_F(MirrorCommand, WorkedExamplesGiveTheirTablesInEveryMode)
{
    StartApp();
    const struct {
        const char* program;
        const wchar_t* extension;
    } kPrograms[] = {{"worked_free", L".up"}, {"worked_fixed", L".ptp"}};
    const struct {
        int button;
        const wchar_t* suffix;
        const wchar_t* golden;
    } kModes[] = {{kAxisX, L"_x", L"x"}, {kAxisY, L"_y", L"y"}, {kOrigin, L"_xy", L"xy"}};
    for (const auto& p : kPrograms) {
        long long counts[3];
        ASSERT_TRUE(GoldenCounts(p.program, counts));
        const std::wstring base(p.program, p.program + std::string(p.program).size());
        ASSERT_TRUE(folder.Write(base + p.extension, TestData(L"golden/" + base + L".nc")));
        for (int m = 0; m < 3; ++m) {
            SCOPED_TRACE(testing::Message() << p.program << " mode " << m + 1);
            const std::wstring output = base + kModes[m].suffix + p.extension;
            EXPECT_EQ(RunAndConfirm(base + p.extension, kModes[m].button),
                      WrittenText(folder.PathOf(output), counts[m]));
            EXPECT_EQ(folder.Read(output), TestData(L"golden/" + base + L"." + kModes[m].golden + L".out"));
        }
    }
}

TEST_F(MirrorCommand, OutputNamesForMirroredAndExtensionlessFiles)
{
    // A folder with a point in its name: only the file name's last point counts.
    ASSERT_TRUE(folder.MakeFolder(L"v1.2"));
    for (const wchar_t* name : {L"v1.2\\uo128.up", L"v1.2\\prog", L"v1.2\\a.b.nc"})
        ASSERT_TRUE(folder.Write(name, program));
    StartApp(L"v1.2");
    long long count = 0;
    // A mirrored program mirrored again gets a second suffix.
    EXPECT_EQ(RunAndConfirm(L"uo128.up", kAxisX), WrittenText(folder.PathOf(L"v1.2\\uo128_x.up"), 10));
    const std::string once = folder.Read(L"v1.2\\uo128_x.up");
    const std::string twice = EngineOutput(once, 1, count);
    EXPECT_EQ(RunAndConfirm(L"uo128_x.up", kAxisX), WrittenText(folder.PathOf(L"v1.2\\uo128_x_x.up"), count));
    EXPECT_EQ(folder.Read(L"v1.2\\uo128_x_x.up"), twice);

    // No extension: the suffix goes at the end, and no '_y.up' appears.
    const std::string expected = EngineOutput(program, 2, count);
    EXPECT_EQ(RunAndConfirm(L"prog", kAxisY), WrittenText(folder.PathOf(L"v1.2\\prog_y"), count));
    EXPECT_EQ(folder.Read(L"v1.2\\prog_y"), expected);
    EXPECT_FALSE(folder.Exists(L"v1.2\\_y.up"));
    EXPECT_FALSE(folder.Exists(L"v1_y.2"));

    EXPECT_EQ(RunAndConfirm(L"a.b.nc", kOrigin), WrittenText(folder.PathOf(L"v1.2\\a.b_xy.nc"), 14));
}

TEST_F(MirrorCommand, CyrillicFileName)
{
    ASSERT_TRUE(folder.Write(L"деталь.up", program));
    long long count = 0;
    const std::string expected = EngineOutput(program, 3, count);
    StartApp();
    EXPECT_EQ(RunAndConfirm(L"деталь.up", kOrigin), WrittenText(folder.PathOf(L"деталь_xy.up"), count));
    EXPECT_EQ(folder.Read(L"деталь_xy.up"), expected);
}

TEST_F(MirrorCommand, ReadOnlyOutputIsNotTouched)
{
    ASSERT_TRUE(folder.Write(L"uo128_y.up", "kept\n"));
    ASSERT_TRUE(folder.SetReadOnly(L"uo128_y.up"));
    StartApp();
    ChooseMode(*app, kAxisY);
    TypeFileName(*app, L"uo128.up");
    OpenedBox box = Run();
    EXPECT_EQ(box.text, QuestionText(folder.PathOf(L"uo128_y.up")));
    ASSERT_TRUE(AnswerAndWait(box, IDYES));
    box.window = WaitForNewDialog(app->Pid(), {app->MainDialog()});
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(MessageBoxText(box.window), L"Невозможно записать файл:\n " + folder.PathOf(L"uo128_y.up") +
                                              L" \n Проверьте права доступа или ошибка системы\nФайл только для чтения.");
    ASSERT_TRUE(AnswerAndWait(box, IDOK));
    EXPECT_EQ(folder.Read(L"uo128_y.up"), "kept\n");
}

// Files another program holds open: a held source is there but cannot be
// read (not "not found"), a held output is still asked about, and the
// system's reason shows under the message. Nothing is left behind.
TEST_F(MirrorCommand, FilesHeldByAnotherProgram)
{
    ASSERT_TRUE(folder.Write(L"uo128_x.up", "kept\n"));
    StartApp();
    const std::wstring inUse = L"\nФайл занят другой программой.";
    {
        const FileHold hold(folder.PathOf(L"uo128.up"));
        EXPECT_EQ(RunAndConfirm(L"uo128.up", kAxisX),
                  L"Невозможно открыть файл:\n " + folder.PathOf(L"uo128.up") + L" \n на 'чтение' " + inUse);
        EXPECT_TRUE(NothingMoreOpens(*app));
    }
    {
        const FileHold hold(folder.PathOf(L"uo128_x.up"));
        OpenedBox box = Run();
        EXPECT_EQ(box.text, QuestionText(folder.PathOf(L"uo128_x.up")));
        ASSERT_TRUE(AnswerAndWait(box, IDNO));
        EXPECT_TRUE(NothingMoreOpens(*app));
        box = Run();
        ASSERT_TRUE(AnswerAndWait(box, IDYES));
        box.window = WaitForNewDialog(app->Pid(), {app->MainDialog()});
        ASSERT_NE(box.window, nullptr);
        // Windows calls a move over a held file a sharing or an access fault.
        const std::wstring cannotWrite =
            L"Невозможно записать файл:\n " + folder.PathOf(L"uo128_x.up") + L" \n Проверьте права доступа или ошибка системы";
        const std::wstring text = MessageBoxText(box.window);
        EXPECT_TRUE(text == cannotWrite + inUse || text == cannotWrite + L"\nНет прав доступа.")
            << testing::PrintToString(text);
        ASSERT_TRUE(AnswerAndWait(box, IDOK));
    }
    EXPECT_EQ(folder.Read(L"uo128_x.up"), "kept\n");
    EXPECT_EQ(Sorted(folder.Names()), (std::vector<std::wstring>{L"a.upa", L"uo128.up", L"uo128_x.up"}));
}

TEST_F(MirrorCommand, PathsBeyondThePlatformLimitStopWithoutWriting)
{
    StartApp();
    const std::wstring tooLong = L"Слишком длинный путь (допустимо не более 259 символов):\n ";
    // A typed name that makes the source path too long.
    const std::wstring longName(300 - folder.Path().size(), L'a');
    std::wstring text = RunAndConfirm(longName + L".up", kAxisX);
    EXPECT_EQ(text, tooLong + folder.PathOf(longName + L".up") + L" \n преобразование прервано....");

    // A source that fits whose output would not: nothing is written.
    const std::size_t room = 259 - folder.Path().size() - 1;  // a source path of exactly 259 characters
    ASSERT_LE(room, 255u) << "the temporary folder's path is too short for this test";
    const std::wstring name = std::wstring(room - 3, L'b') + L".up";
    ASSERT_TRUE(folder.Write(name, program));
    text = RunAndConfirm(name, kAxisX);
    const std::wstring output = std::wstring(room - 3, L'b') + L"_x.up";
    EXPECT_EQ(text, tooLong + folder.PathOf(output) + L" \n преобразование прервано....");
    EXPECT_FALSE(folder.Exists(output));
}

TEST_F(MirrorCommand, FindingsFollowTheSuccessMessageInAWarningBox)
{
    // Twelve lines whose second X word stays unmirrored, and a program
    // without findings.
    std::string findings = "%\n";
    for (int i = 1; i <= 12; ++i)
        findings += "G1 X" + std::to_string(i) + ". Y1. X" + std::to_string(i + 1) + ".\n";
    ASSERT_TRUE(folder.Write(L"twice.up", findings));
    long long count = 0;
    CMirrorFindings engineFindings;
    EngineOutput(findings, 2, count, &engineFindings);
    ASSERT_EQ(12, engineFindings.Total());
    const std::wstring expected = FromUtf8(FormatFindingsMessage(engineFindings));

    // Icons are told apart by the boxes of known kind in the same process:
    // the exclamation of "no mode chosen" is the warning icon.
    StartApp();
    TypeFileName(*app, L"twice.up");
    const OpenedBox noMode = Run();
    const HICON exclamation = MessageBoxIcon(noMode.window);
    ASSERT_NE(exclamation, nullptr);
    ASSERT_TRUE(AnswerAndWait(noMode, IDOK));
    ChooseMode(*app, kAxisY);
    const OpenedBox written = Run();
    const HICON information = MessageBoxIcon(written.window);
    EXPECT_NE(information, exclamation);
    EXPECT_EQ(written.text, WrittenText(folder.PathOf(L"twice_y.up"), count));
    ASSERT_TRUE(AnswerAndWait(written, IDOK));
    OpenedBox warning;
    warning.window = WaitForNewDialog(app->Pid(), {app->MainDialog()});
    ASSERT_NE(warning.window, nullptr) << "no findings after the success message";
    EXPECT_EQ(MessageBoxText(warning.window), expected);
    EXPECT_NE(MessageBoxText(warning.window).find(L"\n... и ещё 2"), std::wstring::npos);
    EXPECT_EQ(WindowText(warning.window), L"NcMirrorGui");
    EXPECT_EQ(MessageBoxIcon(warning.window), exclamation);
    EXPECT_TRUE(SaveScreenshot(L"findings-message"));
    ASSERT_TRUE(AnswerAndWait(warning, IDOK));

    // Without findings the success message stands alone, with its own icon.
    ChooseMode(*app, kAxisX);
    TypeFileName(*app, L"uo128.up");
    const OpenedBox clean = Run();
    EXPECT_EQ(clean.text, WrittenText(folder.PathOf(L"uo128_x.up"), 10));
    EXPECT_EQ(MessageBoxIcon(clean.window), information);
    ASSERT_TRUE(AnswerAndWait(clean, IDOK));
    EXPECT_TRUE(NothingMoreOpens(*app));
}

TEST_F(MirrorCommand, PositionFieldsFollowTheMode)
{
    StartApp();
    const auto enabled = [&](int id) { return IsWindowEnabled(app->Item(id)) != FALSE; };
    EXPECT_FALSE(enabled(kAtX));
    EXPECT_FALSE(enabled(kAtY));
    EXPECT_FALSE(enabled(kCentre));
    const struct {
        int button;
        bool x, y;
    } kModes[] = {{kAxisX, false, true}, {kAxisY, true, false}, {kOrigin, true, true}};
    for (const auto& m : kModes) {
        SCOPED_TRACE(testing::Message() << "mode button " << m.button);
        ChooseMode(*app, m.button);
        EXPECT_EQ(enabled(kAtX), m.x);
        EXPECT_EQ(enabled(kAtY), m.y);
        EXPECT_TRUE(enabled(kCentre));
    }
}

TEST_F(MirrorCommand, PositionThatIsNoNumberStopsTheRun)
{
    StartApp();
    SetText(app->Item(kAtX), L"4O");
    EXPECT_EQ(RunAndConfirm(L"uo128.up", kAxisY), L"Положение оси отражения задано неверно:\n 4O \n");
    EXPECT_TRUE(NothingMoreOpens(*app));
    EXPECT_FALSE(folder.Exists(L"uo128_y.up"));

    // About Ox the X field is out of play: the run is the plain one.
    long long counts[3];
    ASSERT_TRUE(GoldenCounts("worked_free", counts));
    EXPECT_EQ(RunAndConfirm(L"uo128.up", kAxisX), WrittenText(folder.PathOf(L"uo128_x.up"), counts[0]));
    EXPECT_EQ(folder.Read(L"uo128_x.up"), TestData(L"golden/worked_free.x.out"));
}

TEST_F(MirrorCommand, RunAboutTheLineXIs40NamesItLast)
{
    long long count = 0;
    const std::string expected = EngineOutput(program, 2, count, nullptr, "40");
    ASSERT_NE(expected, TestData(L"golden/worked_free.y.out"));
    StartApp();
    ChooseMode(*app, kAxisY);
    SetText(app->Item(kAtX), L" 40");
    EXPECT_EQ(RunAndConfirm(L"uo128.up", kAxisY),
              WrittenText(folder.PathOf(L"uo128_y.up"), count) + L"\nОсь отражения: x=40");
    EXPECT_EQ(folder.Read(L"uo128_y.up"), expected);
}

TEST_F(MirrorCommand, CentreFillsTheFieldsOfTheMode)
{
    // One feed move from X10 Y20 to X30 Y60; the rapid moves are not part.
    ASSERT_TRUE(folder.Write(L"box.up", "G0 X100. Y100.\nG0 X10. Y20.\nG1 X30. Y60.\n"));
    StartApp();
    TypeFileName(*app, L"box.up");
    ChooseMode(*app, kAxisX);
    Click(app->Item(kCentre));
    EXPECT_EQ(WindowText(app->Item(kAtY)), L"40");
    EXPECT_EQ(WindowText(app->Item(kAtX)), L"");
    ChooseMode(*app, kOrigin);
    Click(app->Item(kCentre));
    EXPECT_EQ(WindowText(app->Item(kAtX)), L"20");
    EXPECT_TRUE(NothingMoreOpens(*app, 300));
}

TEST_F(MirrorCommand, PositionBeyondTheFixedWidthFailsWithTheLine)
{
    // About x = 600000 (integer units) X+500000 becomes X+700000, but
    // X+099000 of line 2 would be X+1101000.
    ASSERT_TRUE(folder.Write(L"fixed.ptp", "G00X+500000Y+001000\nG01X+099000Y+001000\n"));
    StartApp();
    ChooseMode(*app, kAxisY);
    SetText(app->Item(kAtX), L"600000");
    EXPECT_EQ(RunAndConfirm(L"fixed.ptp", kAxisY),
              L"Файл:=\n " + folder.PathOf(L"fixed_y.ptp") +
                  L" \n\t не записан: отражённая координата не помещается в формат \n преобразование прервано...."
                  L"\nКоордината строки 2 после отражения не помещается в формат со знаком и шестью цифрами.");
    EXPECT_FALSE(folder.Exists(L"fixed_y.ptp"));
}
