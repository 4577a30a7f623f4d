// Choosing the program file: the folder and list at start, the extension
// filter, the file-open dialog, a file dropped on the dialog, and Notepad.
#include "AppSession.h"
#include "DialogSteps.h"
#include "DriverEnv.h"
#include "TestFolder.h"
#include "WindowProbe.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::wstring>;

const Names kAllFiles = {L"a.upa", L"b.upa", L"c.dat", L"prog", L"uo128.up", L"деталь.up"};

class FileSelection : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.Path().empty()) << "no temporary folder";
        for (const std::wstring& name : kAllFiles)
            ASSERT_TRUE(folder.Write(name, "G00 X1. Y2.\n"));
        ASSERT_TRUE(folder.MakeFolder(L"nc"));
        for (const wchar_t* name : {L"nc\\uo128.up", L"nc\\other.up", L"nc\\third.upa"})
            ASSERT_TRUE(folder.Write(name, "%\nO0001 (POCKET)\nG00 X1. Y2.\n%\n"));
        // Hidden files are not listed, as in the platform's own listings.
        ASSERT_TRUE(folder.Write(L"hidden.up", "x"));
        SetFileAttributesW(folder.PathOf(L"hidden.up").c_str(), FILE_ATTRIBUTE_HIDDEN);
    }

    TestFolder folder;
};

#define START_APP_IN(session, path)                                          \
    AppSession session(path);                                               \
    ASSERT_TRUE(session.Started()) << "cannot start the application";      \
    ASSERT_NE(session.MainDialog(), nullptr) << "the main dialog did not appear"

// A top-level window of another process whose title holds `part`.
struct ForeignWindow {
    std::wstring part;
    DWORD exceptPid;
    HWND found;
};

BOOL CALLBACK FindForeign(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ForeignWindow*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->exceptPid && IsWindowVisible(window) &&
        WindowText(window).find(search->part) != std::wstring::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

TEST_F(FileSelection, StartsWithTheCurrentFolderAllItsFilesAndNoFilter)
{
    START_APP_IN(app, folder.Path());
    EXPECT_EQ(WindowText(app.Item(kFolder)), folder.Path());
    EXPECT_EQ(Sorted(ComboItems(app.Item(kFileList))), kAllFiles);
    EXPECT_EQ(WindowText(app.Item(kFileList)), L"");
    EXPECT_EQ(ComboItems(app.Item(kFilter)), (Names{L"*.*", L"*.up", L"*.upa", L"*.dat", L"*.ptp", L"*.txt"}));
    EXPECT_EQ(ComboSelection(app.Item(kFilter)), CB_ERR);
}

TEST_F(FileSelection, FilterListsOneExtensionAndClearsTheName)
{
    START_APP_IN(app, folder.Path());
    TypeFileName(app, L"c.dat");
    ChooseFilter(app, 2);  // *.upa
    EXPECT_EQ(Sorted(ComboItems(app.Item(kFileList))), (Names{L"a.upa", L"b.upa"}));
    EXPECT_EQ(WindowText(app.Item(kFileList)), L"");
    ChooseFilter(app, 1);  // *.up: not the .upa files
    EXPECT_EQ(Sorted(ComboItems(app.Item(kFileList))), (Names{L"uo128.up", L"деталь.up"}));
    ChooseFilter(app, 4);  // *.ptp: none here
    EXPECT_TRUE(ComboItems(app.Item(kFileList)).empty());
    ChooseFilter(app, 0);  // *.*
    EXPECT_EQ(Sorted(ComboItems(app.Item(kFileList))), kAllFiles);
    EXPECT_EQ(WindowText(app.Item(kFolder)), folder.Path());
}

TEST_F(FileSelection, BrowsePicksAFileAndListsItsFolderByExtension)
{
    START_APP_IN(app, folder.Path());
    const OpenedBox picker = ClickAndWaitForBox(app, kBrowse);
    ASSERT_NE(picker.window, nullptr) << "no file-open dialog";
    const HWND nameField = GetDlgItem(picker.window, 0x47C);
    ASSERT_NE(nameField, nullptr) << "not a file-open dialog";
    // The file types, Russian words intact, the first one in effect.
    const HWND types = GetDlgItem(picker.window, 0x470);
    EXPECT_EQ(ComboItems(types), (Names{L"Up файлы (*.up)", L"Upa файлы (*.upa)", L"Dat файлы (*.dat)",
                                        L"Ptp файлы (*.ptp)", L"Txt файлы (*.txt)", L"Все файлы (*.*)"}));
    EXPECT_EQ(ComboSelection(types), 0);
    SetText(nameField, folder.PathOf(L"nc\\uo128.up"));
    ASSERT_TRUE(AnswerAndWait(picker, IDOK));

    EXPECT_TRUE(WaitUntil([&] { return WindowText(app.Item(kFileList)) == L"uo128.up"; }, 5000));
    EXPECT_EQ(WindowText(app.Item(kFolder)), folder.PathOf(L"nc"));
    EXPECT_EQ(Sorted(ComboItems(app.Item(kFileList))), (Names{L"other.up", L"uo128.up"}));
    EXPECT_TRUE(NothingMoreOpens(app, 300));
}

// A file dragged from Explorer and dropped on the dialog. Windows copies a
// posted drop into the receiving process; Wine does not, so the driver puts
// the drop where Explorer's lies, in the application's own memory, and
// posts WM_DROPFILES with it.
TEST_F(FileSelection, DroppedFileIsTakenAsIfBrowsedTo)
{
    START_APP_IN(app, folder.Path());
    const std::wstring path = folder.PathOf(L"nc\\uo128.up");
    std::string drop(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), '\0');  // two NULs end the list
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(drop.data(), &header, sizeof header);
    std::memcpy(drop.data() + sizeof header, path.data(), path.size() * sizeof(wchar_t));
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, app.Pid());
    ASSERT_NE(process, nullptr);
    void* there = VirtualAllocEx(process, nullptr, drop.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = there && WriteProcessMemory(process, there, drop.data(), drop.size(), nullptr);
    CloseHandle(process);
    ASSERT_TRUE(written);
    ASSERT_TRUE(PostMessageW(app.MainDialog(), WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0));

    EXPECT_TRUE(WaitUntil([&] { return WindowText(app.Item(kFileList)) == L"uo128.up"; }, 5000));
    EXPECT_EQ(WindowText(app.Item(kFolder)), folder.PathOf(L"nc"));
    EXPECT_EQ(Sorted(ComboItems(app.Item(kFileList))), (Names{L"other.up", L"uo128.up"}));
    EXPECT_TRUE(NothingMoreOpens(app, 300));
}

TEST_F(FileSelection, CancelledBrowseChangesNothing)
{
    START_APP_IN(app, folder.Path());
    ChooseFilter(app, 3);  // *.dat
    TypeFileName(app, L"typed.up");
    // The menu command opens the same dialog as the button.
    PostCommand(app.MainDialog(), kFileOpen);
    OpenedBox picker;
    picker.window = WaitForNewDialog(app.Pid(), {app.MainDialog()});
    ASSERT_NE(picker.window, nullptr) << "no file-open dialog";
    EXPECT_NE(GetDlgItem(picker.window, 0x47C), nullptr);
    ASSERT_TRUE(AnswerAndWait(picker, IDCANCEL));
    Sleep(300);
    EXPECT_EQ(WindowText(app.Item(kFolder)), folder.Path());
    EXPECT_EQ(ComboItems(app.Item(kFileList)), Names{L"c.dat"});
    EXPECT_EQ(WindowText(app.Item(kFileList)), L"typed.up");
    EXPECT_TRUE(NothingMoreOpens(app, 300));
}

// The system's Notepad opens the file, even when a program named notepad.exe
// lies beside the application and in the current folder.
TEST_F(FileSelection, NotepadOpensTheChosenFile)
{
    const std::wstring planted = folder.PathOf(L"notepad.exe");
    ASSERT_TRUE(CopyFileW(ToWindowsPath(EnvText(L"NCM_PLANTED")).c_str(), planted.c_str(), FALSE));
    const std::wstring copy = folder.PathOf(L"NcMirrorGui.exe");
    ASSERT_TRUE(CopyFileW(AppPath().c_str(), copy.c_str(), FALSE));
    AppSession app(folder.Path(), copy);
    ASSERT_TRUE(app.Started()) << "cannot start the application";
    ASSERT_NE(app.MainDialog(), nullptr) << "the main dialog did not appear";
    const OpenedBox picker = ClickAndWaitForBox(app, kBrowse);
    ASSERT_NE(picker.window, nullptr);
    SetText(GetDlgItem(picker.window, 0x47C), folder.PathOf(L"nc\\other.up"));
    ASSERT_TRUE(AnswerAndWait(picker, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(app.Item(kFileList)) == L"other.up"; }, 5000));

    PostCommand(app.MainDialog(), kFileNotepad);
    ForeignWindow search{L"other.up", app.Pid(), nullptr};
    ASSERT_TRUE(WaitUntil([&] {
        EnumWindows(FindForeign, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, 15000)) << "no Notepad window with the file's name";
    DWORD notepadPid = 0;
    GetWindowThreadProcessId(search.found, &notepadPid);
    HANDLE notepad = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, notepadPid);
    // The file's text is in Notepad's edit field.
    std::wstring shown;
    WaitUntil([&] {
        for (HWND child : ChildrenOf(search.found))
            if (ClassOf(child) == L"Edit")
                shown = WindowText(child);
        return shown.find(L"O0001 (POCKET)") != std::wstring::npos;
    }, 5000);
    EXPECT_NE(shown.find(L"O0001 (POCKET)"), std::wstring::npos) << "Notepad shows: " << testing::PrintToString(shown);
    EXPECT_TRUE(NothingMoreOpens(app, 300)) << "the application showed a message";

    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (notepad) {
        if (WaitForSingleObject(notepad, 5000) != WAIT_OBJECT_0)
            TerminateProcess(notepad, 0);
        CloseHandle(notepad);
    }
    EXPECT_FALSE(folder.Exists(L"planted-notepad-ran.txt")) << "the planted notepad.exe ran";
}
