// Texts that fit their controls. A Windows whose fonts are wider than the
// one a dialog was laid out for (a Western Windows draws the Russian texts in
// Tahoma) would cut labels and buttons short; the dialog's text controls
// then get its font a pixel smaller at a time until every text fits.
#pragma once

#include <windows.h>

// The client size the text of `control` needs with the control's own font,
// in pixels: for a label that wraps, the width and height its words take
// within the control's width; for a radio button or check box, its one line
// beside the box; for a push button or group box, its one line with the
// frame's margins. {0, 0} for controls without such a text.
SIZE TextRoomOf(HWND control);

// When a text of `dialog` would be cut, sets a smaller font on its labels
// and buttons (down to four fifths of the dialog's font) until all fit. The
// font made for it, or null; delete it when the dialog has ended.
HFONT FitDialogTexts(HWND dialog);

// The message a test sends a dialog to learn TextRoomOf(control), the control
// (a child of the dialog) in lParam: the answer is MAKELONG(width, height).
UINT TextRoomMessage();
