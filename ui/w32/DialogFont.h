// The font of a dialog template in the character set the template asks for.
// A template names a face, a size and a character set; where the system has
// that face only in another set (Wine and Western Windows have the old
// bitmap "MS Sans Serif" in code page 1252 only), Windows would draw the
// texts with a stand-in that has the letters but other metrics, or with none.
// The dialog is then made from a copy of the template that names a face of
// the same size and look that has the set, so its layout fits its font.
#pragma once

#include <windows.h>

#include <vector>

// The template to make dialog `id` from: empty when the resource can be used
// as it is, else a patched copy (DWORD-aligned, for DialogBoxIndirectParam).
std::vector<BYTE> TemplateForCharset(HINSTANCE instance, UINT id);
