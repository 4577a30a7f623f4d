#include "DialogSteps.h"

#include "WindowProbe.h"

#include <algorithm>

OpenedBox ClickAndWaitForBox(const AppSession& app, int button)
{
    const HWND main = app.MainDialog();
    PostClick(app.Item(button));
    OpenedBox box;
    box.window = WaitForNewDialog(app.Pid(), {main});
    if (box.window)
        box.text = MessageBoxText(box.window);
    return box;
}

void ChooseMode(const AppSession& app, int id) { Click(app.Item(id)); }

void TypeFileName(const AppSession& app, const std::wstring& name) { SetText(app.Item(kFileList), name); }

void ChooseFilter(const AppSession& app, int position)
{
    const HWND filter = app.Item(kFilter);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(filter, CB_SETCURSEL, position, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    // Setting the selection from outside sends no notification: send the one
    // a user's choice sends.
    SendMessageTimeoutW(app.MainDialog(), WM_COMMAND, MAKEWPARAM(kFilter, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(filter), SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool AnswerAndWait(const OpenedBox& box, int command)
{
    if (!box.window)
        return false;
    Answer(box.window, command);
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 5000);
}

bool NothingMoreOpens(const AppSession& app, DWORD ms)
{
    return WaitForNewDialog(app.Pid(), {app.MainDialog()}, ms) == nullptr;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> items)
{
    std::sort(items.begin(), items.end());
    return items;
}
