// The main dialog as the user first meets it: layout, texts, menu, about
// box, and every way of closing it.
#include "AppSession.h"
#include "DialogSteps.h"
#include "DriverEnv.h"
#include "WindowProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Identifiers the dialog is known by (menu commands, controls).
constexpr int kStatic = 0xFFFF;
constexpr UINT kAboutBoxSysCommand = 16;
const wchar_t* const kAboutCaption = L"Об авторах ...";

enum class Kind { GroupBox, Bitmap, Text, DefButton, Button, Edit, ReadOnlyEdit, DropDown, DropList, Radio };

struct ExpectedControl {
    int id;
    Kind kind;
    const wchar_t* text;  // null: not checked (pictures, lists)
    int x, y, cx, cy;     // dialog units
};

const ExpectedControl kControls[] = {
    {kStatic, Kind::GroupBox, L"", 2, 2, 325, 118},
    {kStatic, Kind::Bitmap, nullptr, 8, 29, 17, 15},
    {kStatic, Kind::Text,
     L"Программа - проводит зеркальное отображение УП (управляющих программ):\n\t 1. - имеющих ISO-формат "
     L"(Альфа,МТС200,Н33,Heidenhain(iso),Mazatrol, и др.);\n\t 2. - разработанных для 2.5-3х коорд. фрезерного "
     L"оборудования.",
     30, 10, 293, 24},
    {kStatic, Kind::Text,
     L"Преобразование программы проводиться для коорд.: X,Y (плоскость Oxy), в соответствии с правилом "
     L"отображения:",
     31, 44, 205, 18},
    {kStatic, Kind::Bitmap, nullptr, 240, 36, 85, 35},
    {kStatic, Kind::Text, L"Как получить симметричную УП:", 9, 65, 114, 9},
    {kStatic, Kind::Text,
     L"1. Выберите файл УП, необходимую симметрию, запустите преобразование нажав на кнопку '->Отображение...'",
     15, 73, 296, 17},
    {kStatic, Kind::Text,
     L"2. В результате работы алгоритма формируется файл с тем же самым расширением, но с добавлением в исходное "
     L"название файла - оси(-ей), относительно которой проводится отображение. (Например : uo128.up -> uo128_x.up ).",
     15, 89, 309, 25},
    {kBrowse, Kind::DefButton, L"(Папка)  Файл . . . . ", 205, 124, 122, 15},
    {kStatic, Kind::Text, L"Исходная (выбранная) папка:", 2, 128, 101, 8},
    {kFolder, Kind::ReadOnlyEdit, nullptr, 2, 139, 325, 13},
    {kStatic, Kind::Text, L"Выбранный файл:", 2, 158, 61, 10},
    {kFileList, Kind::DropDown, nullptr, 64, 157, 125, 89},
    {kStatic, Kind::Text, L"Фильтр=", 194, 159, 33, 9},
    {kFilter, Kind::DropList, nullptr, 227, 156, 47, 69},
    {kStatic, Kind::GroupBox, L"Зеркальное отображение координат УП ...", 127, 175, 192, 57},
    {kAxisX, Kind::Radio, L"1. относительно оси Ox (y=0)", 137, 189, 113, 10},
    {kAxisY, Kind::Radio, L"2. относительно оси Oy (x=0)", 137, 202, 113, 10},
    {kOrigin, Kind::Radio, L"3. симметрично начала координат  O (y=0, x=0)", 137, 215, 171, 10},
    {kStatic, Kind::Text, L"X=", 137, 256, 11, 8},
    {kAtX, Kind::Edit, nullptr, 149, 254, 36, 13},
    {kStatic, Kind::Text, L"Y=", 191, 256, 11, 8},
    {kAtY, Kind::Edit, nullptr, 203, 254, 36, 13},
    {kCentre, Kind::Button, L"По центру", 245, 253, 74, 15},
    {kStatic, Kind::Bitmap, nullptr, 2, 174, 121, 118},
    {kRunMirror, Kind::Button, L"->Отображение . . .", 245, 234, 74, 15},
    {kPreview, Kind::Button, L"Просмотр...", 166, 234, 74, 15},
    {IDCANCEL, Kind::Button, L"Выход", 277, 278, 50, 14},
};

bool HasKind(HWND control, Kind kind)
{
    const std::wstring cls = ClassOf(control);
    const LONG style = StyleOf(control);
    switch (kind) {
    case Kind::GroupBox: return cls == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    case Kind::DefButton: return cls == L"Button" && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    case Kind::Button: return cls == L"Button" && (style & BS_TYPEMASK) == BS_PUSHBUTTON;
    case Kind::Radio: return cls == L"Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
    case Kind::Bitmap: return cls == L"Static" && (style & SS_TYPEMASK) == SS_BITMAP;
    case Kind::Text: return cls == L"Static" && (style & SS_TYPEMASK) == SS_LEFT;
    case Kind::Edit: return cls == L"Edit" && !(style & ES_READONLY) && (style & ES_AUTOHSCROLL);
    case Kind::ReadOnlyEdit: return cls == L"Edit" && (style & ES_READONLY) && (style & ES_AUTOHSCROLL);
    case Kind::DropDown:
        return cls == L"ComboBox" && (style & 3) == CBS_DROPDOWN && !(style & CBS_SORT);
    case Kind::DropList: return cls == L"ComboBox" && (style & 3) == CBS_DROPDOWNLIST && !(style & CBS_SORT);
    }
    return false;
}

// A control's rectangle in the dialog's client area.
RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Every label and button text of `dialog` fits its control, measured with the
// font the control draws it in: the dialog answers a registered message
// with the room a control's text needs (its client size).
void ExpectTextsFit(HWND dialog)
{
    const UINT measure = RegisterWindowMessageW(L"NcMirror.TextRoom");
    int measured = 0;
    for (HWND control : ChildrenOf(dialog)) {
        const std::wstring cls = ClassOf(control);
        const std::wstring text = WindowText(control);
        const LONG type = StyleOf(control) & SS_TYPEMASK;
        const bool label = cls == L"Static" && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
        if ((!label && cls != L"Button") || text.empty())
            continue;
        SCOPED_TRACE(testing::PrintToString(text));
        DWORD_PTR room = 0;
        ASSERT_TRUE(SendMessageTimeoutW(dialog, measure, 0, reinterpret_cast<LPARAM>(control), SMTO_ABORTIFHUNG, 5000,
                                        &room));
        RECT client;
        GetClientRect(control, &client);
        EXPECT_GT(LOWORD(room), 0) << "not measured";
        EXPECT_LE(LOWORD(room), client.right) << "too wide";
        EXPECT_LE(HIWORD(room), client.bottom) << "too high";
        ++measured;
    }
    EXPECT_GT(measured, 0);
}

// Starts the application and fails the test when its dialog does not show.
#define START_APP(session)                                                  \
    AppSession session;                                                     \
    ASSERT_TRUE(session.Started()) << "cannot start the application";      \
    ASSERT_NE(session.MainDialog(), nullptr) << "the main dialog did not appear"

void ExpectStillOpen(const AppSession& app)
{
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(IsWindowVisible(app.MainDialog()));
    EXPECT_EQ(DialogsOf(app.Pid()).size(), 1u) << "a second window opened";
}

// Opens the about box by `open`, checks it and closes it with OK.
void CheckAboutBox(const AppSession& app, void (*open)(HWND), const wchar_t* screenshot = nullptr)
{
    const HWND main = app.MainDialog();
    open(main);
    const HWND about = WaitForNewDialog(app.Pid(), {main});
    ASSERT_NE(about, nullptr) << "no about box";
    EXPECT_EQ(WindowText(about), kAboutCaption);
    const HWND ok = GetDlgItem(about, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), L"OK");
    EXPECT_FALSE(IsWindowEnabled(main)) << "the about box is not modal";
    ExpectTextsFit(about);
    // The version line shows the version of the build.
    const std::wstring version = L"Версия " + std::wstring(NCM_VERSION, NCM_VERSION + sizeof NCM_VERSION - 1);
    bool versionShown = false;
    for (HWND child : ChildrenOf(about))
        versionShown = versionShown || WindowText(child) == version;
    EXPECT_TRUE(versionShown) << "no line " << testing::PrintToString(version);
    if (screenshot) {
        Sleep(300);  // let it finish painting
        EXPECT_TRUE(SaveScreenshot(screenshot + EnvText(L"NCM_SHOT_SUFFIX")));
    }
    Click(ok);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "OK did not close the about box";
    ExpectStillOpen(app);
}

}  // namespace

TEST(MainWindow, OpensWithCaptionLayoutAndTexts)
{
    START_APP(app);
    const HWND main = app.MainDialog();
    EXPECT_EQ(WindowText(main), kMainCaption);
    const LONG style = StyleOf(main);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    EXPECT_TRUE(ExStyleOf(main) & WS_EX_APPWINDOW);

    // Dialog units to pixels, from the client area of 329 x 294 units.
    RECT client;
    GetClientRect(main, &client);
    const double sx = client.right / 329.0, sy = client.bottom / 294.0;

    const auto children = ChildrenOf(main);
    ASSERT_EQ(children.size(), std::size(kControls));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& want = kControls[i];
        const HWND control = children[i];
        SCOPED_TRACE(testing::Message() << "control " << i << ", id " << want.id);
        EXPECT_EQ(GetDlgCtrlID(control) & 0xFFFF, want.id);
        EXPECT_TRUE(HasKind(control, want.kind)) << "class " << testing::PrintToString(ClassOf(control))
                                                 << " style " << std::hex << StyleOf(control);
        if (want.text) {
            EXPECT_EQ(WindowText(control), want.text);
        }
        const RECT r = ClientRectOf(main, control);
        EXPECT_NEAR(r.left, want.x * sx, 2.0);
        EXPECT_NEAR(r.top, want.y * sy, 2.0);
        if (want.kind != Kind::Bitmap) {  // pictures take their own size
            EXPECT_NEAR(r.right - r.left, want.cx * sx, 2.0);
            if (want.kind != Kind::DropDown && want.kind != Kind::DropList) {  // height = the open list
                EXPECT_NEAR(r.bottom - r.top, want.cy * sy, 2.0);
            }
        }
    }

    // The three modes form one group, and none is chosen yet.
    for (int id : {kAxisX, kAxisY, kOrigin})
        EXPECT_EQ(SendMessageW(app.Item(id), BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;
    EXPECT_TRUE(StyleOf(app.Item(kAxisX)) & WS_GROUP);
    EXPECT_FALSE(StyleOf(app.Item(kAxisY)) & WS_GROUP);
    EXPECT_FALSE(StyleOf(app.Item(kOrigin)) & WS_GROUP);
    EXPECT_TRUE(StyleOf(GetWindow(app.Item(kOrigin), GW_HWNDNEXT)) & WS_GROUP);

    // Enter means the browse button.
    EXPECT_EQ(SendMessageW(main, DM_GETDEFID, 0, 0), MAKELONG(kBrowse, DC_HASDEFID));

    // No text is cut, whatever font this Windows draws it in.
    ExpectTextsFit(main);

    Sleep(300);  // let the dialog finish painting
    EXPECT_TRUE(SaveScreenshot(L"main-dialog" + EnvText(L"NCM_SHOT_SUFFIX")));
}

// Wine does not let one process read another's menus, so the menu and the
// string table are read from the program file; the live window must carry a
// menu, and the commands are worked through messages in the other tests.
TEST(MainWindow, MenuAndStringTableHoldTheirTexts)
{
    START_APP(app);
    EXPECT_NE(GetMenu(app.MainDialog()), nullptr);

    const std::wstring path = AppPath();
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(137));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);

    struct Item {
        const wchar_t* text;  // null: separator
        UINT id;
    };
    const Item file[] = {{L"Открыть файл", kFileOpen}, {L"Блокнот", kFileNotepad}, {L"Просмотр...", kFilePreview},
                         {nullptr, 0}, {L"Выход", kFileExit}};
    const Item help[] = {{L"Об алгоритме..", kHelpAlgorithm}, {nullptr, 0}, {L"Об авторах..", kHelpAuthors}};
    const struct {
        const wchar_t* title;
        const Item* items;
        int count;
    } popups[] = {{L"Файл", file, 5}, {L"Помощь...", help, 3}};

    for (int p = 0; p < 2; ++p) {
        wchar_t title[64] = {};
        GetMenuStringW(menu, p, title, 64, MF_BYPOSITION);
        EXPECT_STREQ(title, popups[p].title);
        const HMENU popup = GetSubMenu(menu, p);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), popups[p].count);
        for (int i = 0; i < popups[p].count; ++i) {
            SCOPED_TRACE(testing::Message() << "menu " << p << " item " << i);
            const Item& want = popups[p].items[i];
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID;
            ASSERT_TRUE(GetMenuItemInfoW(popup, i, TRUE, &info));
            if (!want.text) {
                EXPECT_TRUE(info.fType & MFT_SEPARATOR);
                continue;
            }
            wchar_t text[64] = {};
            GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
            EXPECT_STREQ(text, want.text);
            EXPECT_EQ(info.wID, want.id);
        }
    }
    DestroyMenu(menu);

    const auto stringOf = [module](UINT id) {
        wchar_t text[128] = {};
        LoadStringW(module, id, text, 128);
        return std::wstring(text);
    };
    EXPECT_EQ(stringOf(101), L"&Об авторах ...");
    EXPECT_EQ(stringOf(103), L"Windows sockets initialization failed.");
    FreeLibrary(module);
}

TEST(MainWindow, AboutBoxOpensFromMenuAndSystemMenu)
{
    START_APP(app);
    CheckAboutBox(app, [](HWND main) { PostCommand(main, kHelpAuthors); }, L"about-box");
    CheckAboutBox(app, [](HWND main) { PostMessageW(main, WM_SYSCOMMAND, kAboutBoxSysCommand, 0); });
}

TEST(MainWindow, AlgorithmItemOkAndEnterKeepTheDialog)
{
    START_APP(app);
    const HWND main = app.MainDialog();
    PostCommand(main, kHelpAlgorithm);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Sleep(700);
    ExpectStillOpen(app);

    // Enter on the focused control means the default button: the file-open
    // dialog, not the end of the program.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui));
    HWND focus = gui.hwndFocus ? gui.hwndFocus : main;
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
    const HWND picker = WaitForNewDialog(app.Pid(), {main}, 5000);
    ASSERT_NE(picker, nullptr) << "Enter did not open the file-open dialog";
    EXPECT_NE(GetDlgItem(picker, 0x47C), nullptr) << "not a file-open dialog";
    Answer(picker, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, 5000));
    ExpectStillOpen(app);
}

class MainWindowClose : public testing::TestWithParam<int> {};

TEST_P(MainWindowClose, EndsTheProcessWithCodeZero)
{
    START_APP(app);
    const HWND main = app.MainDialog();
    switch (GetParam()) {
    case 0: PostClick(app.Item(IDCANCEL)); break;              // the "Выход" button
    case 1: PostCommand(main, kFileExit); break;                // the "Выход" menu item
    case 2: PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); break;  // the close box
    }
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitForExit(10000, code)) << "the application did not end";
    EXPECT_EQ(code, 0u);
}

std::string CloseRouteName(const testing::TestParamInfo<int>& info)
{
    static const char* const kNames[] = {"CancelButton", "ExitMenuItem", "CloseBox"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(ByEveryRoute, MainWindowClose, testing::Values(0, 1, 2), CloseRouteName);
