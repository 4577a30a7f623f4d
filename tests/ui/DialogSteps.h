// The steps a user takes in the main dialog, as the driver performs them.
#pragma once

#include "AppSession.h"

#include <string>
#include <vector>

// Identifiers the dialog is known by.
constexpr int kFileList = 1002, kBrowse = 1004, kRunMirror = 1005, kFilter = 1006;
constexpr int kAxisX = 1010, kAxisY = 1011, kOrigin = 1012, kFolder = 1013, kPreview = 1014;
constexpr int kAtX = 1015, kAtY = 1016, kCentre = 1017;
constexpr UINT kFileExit = 32771, kHelpAuthors = 32772, kFileNotepad = 32773, kHelpAlgorithm = 32774,
               kFileOpen = 32775, kFilePreview = 32776;

// A modal window the application opened and the driver must answer: its
// handle and text (for message boxes, the message).
struct OpenedBox {
    HWND window = nullptr;
    std::wstring text;
};

// Posts `command` to the main dialog (or clicks button `command`) and waits
// for the modal window it opens.
OpenedBox ClickAndWaitForBox(const AppSession& app, int button);

// Checks mode button `id` as a click would.
void ChooseMode(const AppSession& app, int id);
// Types `name` into the file list's edit part.
void TypeFileName(const AppSession& app, const std::wstring& name);
// Picks entry `position` of the filter as the user would.
void ChooseFilter(const AppSession& app, int position);

// Answers a modal window and waits until it has gone.
bool AnswerAndWait(const OpenedBox& box, int command);

// True when no new window of the application shows within `ms`.
bool NothingMoreOpens(const AppSession& app, DWORD ms = 700);

std::vector<std::wstring> Sorted(std::vector<std::wstring> items);
