// The preview window: a program's tool path and, when a mode is chosen, its
// mirror image, drawn as the SVG picture is, fitted to the window and drawn
// again when it is resized. The picture is built on a thread of its own
// while the window shows how much of the program has been read, so that a
// large program never freezes the dialog; Escape or the close box stop
// the build, or end the window once the picture is shown. The picture
// zooms about the cursor by the mouse wheel, moves by dragging, and fits the
// window again by Home (or F); a status line under it tells the program
// coordinates under the cursor.
#pragma once

#include "PictureBuild.h"
#include "PictureDrawing.h"
#include "w32/Window.h"

#include <string>

struct MirrorMode;

// How a preview ended.
enum class PreviewEnd { Shown, Stopped, CannotRead };

class CPreviewWnd : public CWnd {
public:
    // `path`: the program, in the ANSI code page; `bytes`: its size, for
    // the progress shown.
    CPreviewWnd(const std::string& path, unsigned long long bytes, const PictureLegend& legend);

    // Opens the window over `owner`, builds and shows the picture, and
    // returns when the window has closed.
    PreviewEnd DoModal(HWND owner, HICON icon);

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnPaint();
    // The picture's frame in the window now: fitted, then zoomed and moved.
    PictureLayout Layout() const;
    int PictureHeight() const;
    void OnWheel(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    // The program coordinates under the client pixel (x, y) in the status line.
    void ShowCursorAt(int x, int y);
    void Redraw();
    // The build's progress shown, or, once it is done, its picture.
    void OnTimer();
    // Stops a build still going; ends the window.
    void End();
    bool Building() const { return m_hProgress != nullptr; }
    void PlaceProgress();
    void PlaceStatus();

    std::string m_strPath;
    unsigned long long m_nBytes;
    PictureLegend m_legend;
    CPictureBuild m_build;
    HWND m_hProgress = nullptr;  // the progress text while the picture is built
    int m_nShownPercent = -1;
    HWND m_hStatus = nullptr;    // the status line under the picture
    PictureView m_view;
    bool m_bDragging = false;
    POINT m_dragFrom{};
    PreviewEnd m_end = PreviewEnd::Stopped;
};

// The preview window's class, by which tests find it, and the control
// identifiers of its progress text and its status line.
extern const wchar_t* const kPreviewWindowClass;
constexpr int kPreviewProgressId = 100;
constexpr int kPreviewStatusId = 101;
