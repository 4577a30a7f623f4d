// Starts a program of the system folder (System32) by its full path, so that
// a program of the same name in the application's folder or the current one
// never runs in its place.
#pragma once

#include <windows.h>

#include <string>

// Starts `exeName` (e.g. L"notepad.exe") from the system folder with the
// command line: the program's name, a blank and `arguments`, shown with
// `show`; false when it cannot be started.
bool StartSystemProgram(const wchar_t* exeName, const std::wstring& arguments, WORD show = SW_SHOW);
