// Reading and working another process's windows through window messages, as
// a user would: texts, classes, clicks, message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every 50 ms until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);

// Top-level dialog windows (#32770) of process `pid`, visible ones only.
std::vector<HWND> DialogsOf(DWORD pid);

// The first visible dialog of `pid` other than those in `known`, within `timeoutMs`.
HWND WaitForNewDialog(DWORD pid, const std::vector<HWND>& known, DWORD timeoutMs = 10000);

// A visible top-level window of `pid` whose class is `className`, within
// `timeoutMs`; null when none shows.
HWND WaitForWindowOfClass(DWORD pid, const std::wstring& className, DWORD timeoutMs = 10000);

// The colour on the screen at a point of a window's client area.
COLORREF ClientPixel(HWND window, int x, int y);

// Message boxes: the text shown, and the answer given through a command.
std::wstring MessageBoxText(HWND box);
void Answer(HWND box, int command);
// The icon a message box shows, or null.
HICON MessageBoxIcon(HWND box);

// Sends a click and waits for it to be handled.
void Click(HWND button);
// Posts a click, for buttons that open a modal window.
void PostClick(HWND button);
// Posts a menu command to `window`.
void PostCommand(HWND window, UINT id);

// Direct children of `parent` in tab order.
std::vector<HWND> ChildrenOf(HWND parent);

// Sets a window's text (for a drop-down combo box: its edit part).
void SetText(HWND window, const std::wstring& text);

// The entries of a combo box's list, in order.
std::vector<std::wstring> ComboItems(HWND combo);
// The selected entry's position, or CB_ERR (-1) when none is selected.
LRESULT ComboSelection(HWND combo);
