// The driver of bench/preview.sh under Wine: opens the dialog's preview of
// each program given, as a user would, and prints how long the window took
// to show the finished picture. Figures only; it never fails on time.
//
//   preview_bench [--repeat N] [--mode x|y|xy|none] [--against APP] PROGRAM...
//
// PROGRAM is a Linux or Windows path. Each run posts "Файл -> Просмотр..."
// and stops the clock at three points: the preview window shown, its
// progress text gone (the picture built and handed to the window), and
// the picture on the screen (the first paint ended: the window's update
// region empty and its thread free again; then the source's colour seen
// in the window). One line per program, the best run by its total:
// `RESULT name total window build paint` in seconds (build counts from the
// window shown, paint from the build's end). --against times
// another build of the dialog too, its runs taking turns with the one
// under test so that both see the same load: lines `AGAINST ...` alike.
// The exit status is 1 when a preview did not open, finish or show the
// picture at all.
#include "AppSession.h"
#include "DialogSteps.h"
#include "DriverEnv.h"
#include "WindowProbe.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPreviewProgress = 100;
constexpr DWORD kLongestRunMs = 120000;
constexpr COLORREF kSourceFeed = RGB(0xC4, 0xC4, 0xC4);

double Seconds()
{
    static const double perSecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perSecond;
}

// Polls `condition` every 2 ms (the figures are read from these polls).
template <class Condition>
bool PollUntil(Condition condition, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(2);
    }
    return true;
}

HWND FindPreview(DWORD pid)
{
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && IsWindowVisible(window) && ClassOf(window) == L"NcMirrorPreview") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// True when the window's client area on the screen holds the source's feed
// colour somewhere: the picture is there.
bool ShowsThePicture(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool found = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, corner.x, corner.y, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        const DWORD grey = RGB(GetBValue(kSourceFeed), GetGValue(kSourceFeed), GetRValue(kSourceFeed));
        for (long i = 0; i < static_cast<long>(width) * height && !found; ++i)
            found = (pixels[i] & 0xFFFFFF) == grey;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return found;
}

struct RunTimes {
    double total = 0, window = 0, build = 0, paint = 0;
};

// One preview of `name` opened and closed again; false (with `why`) when it
// did not run through.
bool TimePreview(const AppSession& app, const std::wstring& name, RunTimes& times, const char*& why)
{
    TypeFileName(app, name);
    const double start = Seconds();
    PostCommand(app.MainDialog(), kFilePreview);
    HWND preview = nullptr;
    if (!PollUntil([&] { return (preview = FindPreview(app.Pid())) != nullptr; }, 20000)) {
        why = "no preview window";
        return false;
    }
    const double shown = Seconds();
    if (!PollUntil([&] { return !IsWindow(GetDlgItem(preview, kPreviewProgress)); }, kLongestRunMs)) {
        why = "the picture was not built in time";
        PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
        return false;
    }
    const double built = Seconds();
    // The paint empties the update region as it begins; a message sent
    // after that is answered once the window's thread is free again, that
    // is when the paint has ended.
    PollUntil([&] { return !IsWindow(preview) || GetUpdateRect(preview, nullptr, FALSE) == 0; }, kLongestRunMs);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(preview, WM_NULL, 0, 0, SMTO_NORMAL, kLongestRunMs, &ignored);
    // What the paint drew reaches the screen a moment later.
    const bool pictured = PollUntil([&] { return IsWindow(preview) && ShowsThePicture(preview); }, 5000);
    const double painted = Seconds();
    times = RunTimes{painted - start, shown - start, built - shown, painted - built};
    PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    PollUntil([&] { return !IsWindow(preview) && IsWindowEnabled(app.MainDialog()); }, 10000);
    if (!pictured)
        why = "no picture shown";
    return pictured;
}

// A build of the dialog timed, and its best run so far.
struct Contender {
    Contender(const char* name, std::unique_ptr<AppSession> session) : label(name), app(std::move(session)) {}
    const char* label;
    std::unique_ptr<AppSession> app;
    RunTimes best;
    int runs = 0;
};

int ModeButton(const std::wstring& mode)
{
    if (mode == L"x")
        return kAxisX;
    if (mode == L"y")
        return kAxisY;
    if (mode == L"xy")
        return kOrigin;
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int repeat = 3;
    std::wstring mode = L"y", against;
    std::vector<std::wstring> programs;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--repeat" && i + 1 < argc)
            repeat = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--mode" && i + 1 < argc)
            mode = argv[++i];
        else if (arg == L"--against" && i + 1 < argc)
            against = ToWindowsPath(argv[++i]);
        else
            programs.push_back(ToWindowsPath(arg));
    }
    if (programs.empty() || (mode != L"none" && ModeButton(mode) == 0)) {
        std::fprintf(stderr, "usage: preview_bench [--repeat N] [--mode x|y|xy|none] [--against APP] PROGRAM...\n");
        return 2;
    }
    int status = 0;
    for (const std::wstring& program : programs) {
        const std::size_t slash = program.find_last_of(L'\\');
        const std::wstring folder = program.substr(0, slash), name = program.substr(slash + 1);
        std::vector<Contender> contenders;
        contenders.emplace_back("RESULT", std::make_unique<AppSession>(folder));
        if (!against.empty())
            contenders.emplace_back("AGAINST", std::make_unique<AppSession>(folder, against));
        for (Contender& contender : contenders) {
            if (!contender.app->MainDialog()) {
                std::fprintf(stderr, "preview_bench: the dialog did not start\n");
                return 1;
            }
            // The dialog starts with no mode checked: the program alone.
            if (ModeButton(mode) != 0)
                ChooseMode(*contender.app, ModeButton(mode));
        }
        for (int run = 0; run < repeat && status == 0; ++run)
            for (Contender& contender : contenders) {
                RunTimes times;
                const char* why = "";
                if (!TimePreview(*contender.app, name, times, why)) {
                    std::fprintf(stderr, "preview_bench: %ls: %s\n", name.c_str(), why);
                    status = 1;
                    break;
                }
                std::printf("run %s %ls %.3f %.3f %.3f %.3f\n", contender.label, name.c_str(), times.total,
                            times.window, times.build, times.paint);
                std::fflush(stdout);
                if (contender.runs++ == 0 || times.total < contender.best.total)
                    contender.best = times;
            }
        for (const Contender& contender : contenders)
            if (contender.runs > 0)
                std::printf("%s %ls %.3f %.3f %.3f %.3f\n", contender.label, name.c_str(), contender.best.total,
                            contender.best.window, contender.best.build, contender.best.paint);
        std::fflush(stdout);
    }
    return status;
}
