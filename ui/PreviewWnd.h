// The preview window: a program's tool path and, when a mode is chosen, its
// mirror image, drawn as the SVG picture is, fitted to the window and drawn
// again when it is resized. Escape or the close box end it.
#pragma once

#include "PictureDrawing.h"
#include "ToolpathPicture.h"
#include "w32/Window.h"

class CPreviewWnd : public CWnd {
public:
    CPreviewWnd(const CToolpathPicture& picture, const PictureLegend& legend);

    // Opens the window over `owner` and returns when it has closed.
    void DoModal(HWND owner, HICON icon);

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnPaint();

    const CToolpathPicture& m_picture;
    PictureLegend m_legend;
};

// The preview window's class, by which tests find it.
extern const wchar_t* const kPreviewWindowClass;
