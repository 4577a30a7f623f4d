// The preview under Wine: "Файл -> Просмотр..." and the button open a
// resizable window over the dialog that shows the program and its mirror
// image where they belong, drawn again on resize; Escape and the close box
// end it; nothing is written; without a file, the run command's message. A
// large program is read off the window's thread: the window answers and
// shows the progress meanwhile, and Escape stops the reading. The wheel
// zooms about the cursor, dragging moves the picture, Home fits it again,
// and the status line tells the coordinates under the cursor.
#include "AppSession.h"
#include "DialogSteps.h"
#include "DriverEnv.h"
#include "TestFolder.h"
#include "WindowProbe.h"

#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"
#include "PictureDrawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const wchar_t* const kPreviewClass = L"NcMirrorPreview";
constexpr int kPreviewProgress = 100;  // the progress text while the picture is built
constexpr int kPreviewStatus = 101;    // the status line under the picture
constexpr COLORREF kSourceFeed = RGB(0xC4, 0xC4, 0xC4);

// Where the preview puts program coordinates, for its client area now: the
// same picture of the same program, laid out as the window lays it out.
class PreviewFrame {
public:
    // `atX`: the mirror's line x = A (empty: the axis).
    explicit PreviewFrame(const std::wstring& program, const std::string& atX = std::string())
    {
        std::string path;
        for (const wchar_t c : program)
            path += static_cast<char>(c);  // the temporary folder's path is ASCII
        CMirrorPairReader pair(nullptr, &m_picture);
        CNcMirror engine;
        engine.SetPosition(atX.c_str(), nullptr);
        m_bRead = engine.MirrorToSink(path.c_str(), &pair, 2) >= 0;
        m_picture.Finish();
        m_legend.sourceName = "pocket.nc";
        m_legend.mirrorName = "pocket_y.nc";
        m_legend.mode = FindMirrorMode(2);
        m_legend.atX = atX;
        m_legend.positionX = atX.empty() ? 0 : std::stod(atX);
    }
    bool Read() const { return m_bRead; }

    // The fitted frame in the window's client area above its status line.
    PictureFrame Frame(HWND window) const
    {
        RECT client, status;
        GetClientRect(window, &client);
        GetWindowRect(GetDlgItem(window, kPreviewStatus), &status);
        return LayOutPicture(m_picture, m_legend, client.right, client.bottom - (status.bottom - status.top)).frame;
    }

    // The colours within three pixels of a program point: 'g' the source's
    // grey, 'r' the mirror's colour, 'a' the axis, 'w' white.
    std::string Seen(HWND window, double x, double y) const
    {
        const PictureFrame f = Frame(window);
        const int px = static_cast<int>(std::lround(f.PixelX(x))), py = static_cast<int>(std::lround(f.PixelY(y)));
        std::string kinds;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const COLORREF c = ClientPixel(window, px + dx, py + dy);
                kinds += c == kSourceFeed ? 'g' : c == RGB(0xD0, 0x1C, 0x1C) ? 'r'
                         : c == RGB(0x1F, 0x7A, 0x3A) ? 'a' : c == RGB(0xFF, 0xFF, 0xFF) ? 'w' : '?';
            }
        return kinds;
    }
    bool Shows(HWND window, double x, double y, char kind) const
    {
        return Seen(window, x, y).find(kind) != std::string::npos;
    }

private:
    CToolpathPicture m_picture;
    PictureLegend m_legend;
    bool m_bRead = false;
};

bool Closed(HWND window) { return WaitUntil([&] { return !IsWindow(window); }, 5000); }

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

// Moves the cursor to the client pixel (x, y) until the status line tells
// coordinates within `tolerance` of (x0, y0); the last ones told.
bool StatusTells(HWND window, int x, int y, double x0, double y0, double tolerance, std::wstring& told)
{
    return WaitUntil(
        [&] {
            PostMessageW(window, WM_MOUSEMOVE, 0, ClientPoint(x, y));
            Sleep(20);
            told = WindowText(GetDlgItem(window, kPreviewStatus));
            double sx = 0, sy = 0;
            return swscanf(told.c_str(), L" X %lf Y %lf", &sx, &sy) == 2 && std::fabs(sx - x0) <= tolerance &&
                   std::fabs(sy - y0) <= tolerance;
        },
        5000);
}

// The example pocket written into the folder.
bool WritePocket(TestFolder& folder)
{
    const std::string pocket = TestData(L"../../examples/pocket.nc");
    return pocket != "<missing>" && folder.Write(L"pocket.nc", pocket);
}

// The preview of pocket.nc mirrored about Oy (about x = `atX` when given),
// opened from the menu; null when none opens.
HWND OpenPocketPreview(AppSession& app, const wchar_t* atX = nullptr)
{
    ChooseMode(app, kAxisY);
    if (atX)
        SetText(app.Item(kAtX), atX);
    TypeFileName(app, L"pocket.nc");
    PostCommand(app.MainDialog(), kFilePreview);
    return WaitForWindowOfClass(app.Pid(), kPreviewClass);
}

}  // namespace

TEST(Preview, ShowsTheMirrorImageWhereItBelongsRedrawsOnResizeAndClosesBackToTheDialog)
{
    TestFolder folder;
    ASSERT_TRUE(WritePocket(folder));
    const PreviewFrame frame(folder.PathOf(L"pocket.nc"));
    ASSERT_TRUE(frame.Read());

    AppSession app(folder.Path());
    ASSERT_NE(app.MainDialog(), nullptr);
    const HWND preview = OpenPocketPreview(app);
    ASSERT_NE(preview, nullptr) << "no preview window";
    EXPECT_EQ(WindowText(preview), L"Просмотр: pocket.nc");
    EXPECT_FALSE(IsWindowEnabled(app.MainDialog())) << "the dialog takes input behind the preview";
    EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_THICKFRAME) << "not resizable";

    // The pocket's lead-in runs from the centre to the left wall, its mirror
    // image's to the right wall; the mirror's axis is x = 0.
    EXPECT_TRUE(WaitUntil([&] { return frame.Shows(preview, -15, 0, 'g'); }, 5000)) << frame.Seen(preview, -15, 0);
    EXPECT_TRUE(SaveScreenshot(L"preview"));
    EXPECT_TRUE(frame.Shows(preview, 15, 0, 'r')) << frame.Seen(preview, 15, 0);
    EXPECT_FALSE(frame.Shows(preview, 15, 0, 'g')) << frame.Seen(preview, 15, 0);
    EXPECT_TRUE(frame.Shows(preview, 0, 10, 'a')) << frame.Seen(preview, 0, 10);
    EXPECT_EQ(frame.Seen(preview, -15, 10), std::string(49, 'w'));

    // Smaller: the drawing is fitted again.
    SetWindowPos(preview, nullptr, 0, 0, 560, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return frame.Shows(preview, 15, 0, 'r'); }, 5000)) << frame.Seen(preview, 15, 0);
    EXPECT_TRUE(frame.Shows(preview, -15, 0, 'g')) << frame.Seen(preview, -15, 0);
    EXPECT_TRUE(frame.Shows(preview, -30, 5, 'g')) << frame.Seen(preview, -30, 5);

    PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(Closed(preview)) << "Escape did not close the preview";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainDialog()) != FALSE; }, 5000));

    // The button opens it too; the close box ends it.
    PostClick(app.Item(kPreview));
    const HWND again = WaitForWindowOfClass(app.Pid(), kPreviewClass);
    ASSERT_NE(again, nullptr) << "the button opened no preview";
    PostMessageW(again, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(Closed(again)) << "the close box did not close the preview";
    EXPECT_TRUE(app.Running());
    EXPECT_FALSE(folder.Exists(L"pocket_y.nc")) << "the preview wrote a file";
}

TEST(Preview, WithoutAFileShowsTheRunCommandsMessage)
{
    TestFolder folder;
    AppSession app(folder.Path());
    ASSERT_NE(app.MainDialog(), nullptr);
    TypeFileName(app, L"nosuch.nc");
    const OpenedBox box = ClickAndWaitForBox(app, kPreview);
    EXPECT_EQ(box.text,
              L"Файл Данных:=\n " + folder.PathOf(L"nosuch.nc") + L" \n\t не найден !\n преобразование прервано....");
    ASSERT_TRUE(AnswerAndWait(box, IDOK));
    EXPECT_TRUE(NothingMoreOpens(app));
    EXPECT_EQ(WaitForWindowOfClass(app.Pid(), kPreviewClass, 300), nullptr);
}

TEST(Preview, ALargeProgramLeavesTheWindowAnsweringWhileReadAndEscapeStopsIt)
{
    // About 100 MB of short feed moves: seconds of reading with a mirror.
    std::string program = "G90 G17\nG1 F1200\n";
    const std::string block = [] {
        std::string lines;
        for (int i = 0; i < 1000; ++i)
            lines += "X" + std::to_string(i % 97) + "." + std::to_string(i % 1000) + " Y-" + std::to_string(i % 89) +
                     ".25 Z-4.5\n";
        return lines;
    }();
    while (program.size() < (100u << 20))
        program += block;
    TestFolder folder;
    ASSERT_TRUE(folder.Write(L"large.nc", program));
    program.clear();
    program.shrink_to_fit();

    AppSession app(folder.Path());
    ASSERT_NE(app.MainDialog(), nullptr);
    ChooseMode(app, kAxisY);
    TypeFileName(app, L"large.nc");
    PostCommand(app.MainDialog(), kFilePreview);
    const HWND preview = WaitForWindowOfClass(app.Pid(), kPreviewClass);
    ASSERT_NE(preview, nullptr) << "no preview window";
    const HWND progress = GetDlgItem(preview, kPreviewProgress);
    ASSERT_NE(progress, nullptr) << "no progress shown while the program is read";

    // The window's thread answers at once, more than once, while the
    // progress is shown.
    for (int probe = 0; probe < 3; ++probe) {
        DWORD_PTR answer = 0;
        wchar_t text[200] = {};
        ASSERT_NE(SendMessageTimeoutW(progress, WM_GETTEXT, 200, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                      1000, &answer),
                  0)
            << "the preview does not answer while the program is read";
        EXPECT_NE(std::wstring(text).find(L" %"), std::wstring::npos) << text;
        Sleep(100);
    }
    EXPECT_TRUE(IsWindow(progress)) << "read before the checks: make the program larger";

    PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(Closed(preview)) << "Escape did not stop the reading";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainDialog()) != FALSE; }, 5000));
    EXPECT_TRUE(NothingMoreOpens(app)) << "a message after a stopped preview";
    EXPECT_TRUE(app.Running());
    EXPECT_FALSE(folder.Exists(L"large_y.nc")) << "the preview wrote a file";
}

TEST(Preview, TheWheelZoomsAboutTheCursorDraggingMovesAndHomeFitsAgain)
{
    TestFolder folder;
    ASSERT_TRUE(WritePocket(folder));
    const PreviewFrame frame(folder.PathOf(L"pocket.nc"));
    ASSERT_TRUE(frame.Read());
    AppSession app(folder.Path());
    ASSERT_NE(app.MainDialog(), nullptr);
    const HWND preview = OpenPocketPreview(app);
    ASSERT_NE(preview, nullptr) << "no preview window";
    ASSERT_TRUE(WaitUntil([&] { return frame.Shows(preview, -15, 0, 'g'); }, 5000)) << frame.Seen(preview, -15, 0);

    // A point on the arc of the pocket's lower left corner (centre -22, -12, R8).
    const PictureFrame fitted = frame.Frame(preview);
    const double cx = -22 - 8 / std::sqrt(2.0), cy = -12 - 8 / std::sqrt(2.0);
    const int ax = static_cast<int>(std::lround(fitted.PixelX(cx))), ay = static_cast<int>(std::lround(fitted.PixelY(cy)));
    const double pixel = 1 / fitted.scale;
    std::wstring told;
    EXPECT_TRUE(StatusTells(preview, ax, ay, cx, cy, pixel, told)) << told;

    // Eight notches of the wheel at the arc: the arc stays under the cursor,
    // 100 pixels to the right are 100 / 1.25^8 as far in the program.
    POINT screen{ax, ay};
    ClientToScreen(preview, &screen);
    PostMessageW(preview, WM_MOUSEWHEEL, MAKEWPARAM(0, 8 * WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    const double zoomed = pixel / std::pow(1.25, 8);
    EXPECT_TRUE(StatusTells(preview, ax + 100, ay, cx + 100 * zoomed, cy, 2 * zoomed, told)) << told;
    EXPECT_TRUE(StatusTells(preview, ax, ay, cx, cy, 2 * zoomed, told)) << told;

    // Dragged to the middle of the picture: the arc's point is there now.
    const int mx = static_cast<int>((fitted.left + fitted.right) / 2), my = static_cast<int>((fitted.top + fitted.bottom) / 2);
    PostMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(ax, ay));
    PostMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint((ax + mx) / 2, (ay + my) / 2));
    PostMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(mx, my));
    PostMessageW(preview, WM_LBUTTONUP, 0, ClientPoint(mx, my));
    EXPECT_TRUE(StatusTells(preview, mx, my, cx, cy, 2 * zoomed, told)) << told;
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(L"preview-zoomed"));

    // Home: the whole picture as it was first fitted.
    PostMessageW(preview, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_TRUE(StatusTells(preview, ax + 100, ay, cx + 100 * pixel, cy, 2 * pixel, told)) << told;
    EXPECT_TRUE(WaitUntil([&] { return frame.Shows(preview, -15, 0, 'g'); }, 5000)) << frame.Seen(preview, -15, 0);
    EXPECT_TRUE(frame.Shows(preview, 15, 0, 'r')) << frame.Seen(preview, 15, 0);

    PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(Closed(preview));
}

// The dialog's position reaches the preview: the mirror image lies about
// the line x = 40 and the axis is drawn there.
TEST(Preview, DrawsTheMirrorAboutTheDialogsPosition)
{
    TestFolder folder;
    ASSERT_TRUE(WritePocket(folder));
    const PreviewFrame frame(folder.PathOf(L"pocket.nc"), "40");
    ASSERT_TRUE(frame.Read());

    AppSession app(folder.Path());
    ASSERT_NE(app.MainDialog(), nullptr);
    const HWND preview = OpenPocketPreview(app, L"40");
    ASSERT_NE(preview, nullptr) << "no preview window";
    // The lead-in from the centre to the left wall, and its mirror image
    // from x = 80 to x = 95; the axis at x = 40.
    EXPECT_TRUE(WaitUntil([&] { return frame.Shows(preview, -15, 0, 'g'); }, 5000)) << frame.Seen(preview, -15, 0);
    EXPECT_TRUE(frame.Shows(preview, 95, 0, 'r')) << frame.Seen(preview, 95, 0);
    EXPECT_TRUE(frame.Shows(preview, 40, 10, 'a')) << frame.Seen(preview, 40, 10);
    EXPECT_FALSE(frame.Shows(preview, 0, 10, 'a')) << "the axis is still at x = 0";
    EXPECT_TRUE(SaveScreenshot(L"preview-at-x40"));
    PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Closed(preview));
}
