// The few file-system operations the engine needs beyond standard C, with one
// implementation per platform (FileSystemPosix.cpp, FileSystemWin32.cpp).
// Paths are in the platform's narrow encoding.
#pragma once

#include <cstdio>

#include <string>

enum class PathKind { Missing, File, Directory };

// The file that writing to `path` would change: a symbolic link resolved to
// the file it names; otherwise `path` itself.
std::string FileBehindPath(const char* path);

// What `path` names now.
PathKind KindOfPath(const char* path);

// True when both paths name one existing file (however each is spelled).
bool IsSameFile(const char* a, const char* b);

// True when an existing file must not be replaced: no write permission bit or
// the read-only attribute, or no write access for this process. Checked
// explicitly, since a privileged process could replace it anyway.
bool IsReadOnlyFile(const char* path);

// Gives `target` the permission bits of `model` (where the platform has them).
void CopyPermissions(const char* model, const char* target);

// Moves `from` over `to` in one step, replacing an existing `to`.
bool MoveFileOver(const char* from, const char* to);

// Opens a new file for writing in binary mode; fails when `path` exists.
std::FILE* CreateNewFile(const char* path);
