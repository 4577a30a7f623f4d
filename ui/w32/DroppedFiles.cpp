#include "DroppedFiles.h"

#include <shellapi.h>

namespace {

// The message by which the system hands a drop's memory to another
// process; not named in the headers.
constexpr UINT kCopyGlobalData = 0x0049;

}  // namespace

void AcceptDroppedFiles(HWND window)
{
    // A program with administrator rights takes no messages from programs
    // without them, Explorer included, unless it lets these two through.
    ::ChangeWindowMessageFilter(WM_DROPFILES, MSGFLT_ADD);
    ::ChangeWindowMessageFilter(kCopyGlobalData, MSGFLT_ADD);
    ::DragAcceptFiles(window, TRUE);
}

std::vector<std::wstring> TakeDroppedFiles(WPARAM drop)
{
    const HDROP handle = reinterpret_cast<HDROP>(drop);
    std::vector<std::wstring> paths;
    const UINT count = ::DragQueryFileW(handle, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(handle, i, nullptr, 0);
        std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
        path.resize(::DragQueryFileW(handle, i, path.data(), length + 1));
        paths.push_back(path);
    }
    ::DragFinish(handle);
    return paths;
}
