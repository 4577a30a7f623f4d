// The process's current folder and the files of a folder, in UTF-16 and of
// any length.
#pragma once

#include <string>
#include <vector>

// The current folder as the system gives it; empty when it cannot tell.
std::wstring GetCurrentFolder();

// True when `path` names a folder.
bool IsFolder(const std::wstring& path);

// The names (without folder) of the files that `pattern` (a folder, a
// backslash and a wildcard name) matches, in the order the system lists
// them: ordinary, read-only and archive files; no folders, and nothing
// hidden or belonging to the system, as the system's own directory listing
// shows. Empty when nothing matches or the folder cannot be read.
std::vector<std::wstring> ListFolderFiles(const std::wstring& pattern);
