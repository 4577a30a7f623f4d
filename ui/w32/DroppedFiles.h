// Files dragged from Explorer and dropped on a window (WM_DROPFILES).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Lets `window` take files dropped on it: it then gets WM_DROPFILES. Also
// when the program runs with administrator rights and Explorer without.
void AcceptDroppedFiles(HWND window);

// The full paths of the files and folders of a drop (the wParam of
// WM_DROPFILES), in the order given; releases the drop.
std::vector<std::wstring> TakeDroppedFiles(WPARAM drop);
