#include "FolderListing.h"

#include <windows.h>

std::wstring GetCurrentFolder()
{
    std::wstring folder;
    DWORD size = MAX_PATH;
    for (;;) {
        folder.assign(size, L'\0');
        const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
        if (length == 0)
            return std::wstring();
        if (length < size) {
            folder.resize(length);
            return folder;
        }
        size = length;  // the room needed, terminating NUL included
    }
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ListFolderFiles(const std::wstring& pattern)
{
    // Listed here rather than by DlgDirListComboBox, which changes the
    // process's current directory and refuses patterns beyond MAX_PATH.
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(found.dwFileAttributes & kSkipped))
            names.emplace_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}
