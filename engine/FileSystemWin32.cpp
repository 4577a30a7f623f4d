#include "FileSystem.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

std::string FileBehindPath(const char* path)
{
    // Links are rare on Windows program folders; a path names its own file.
    return path;
}

PathKind KindOfPath(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::File;
}

bool IsReadOnlyFile(const char* path)
{
    // Windows, and Wine as root, let a process replace a read-only file: only
    // this check keeps it.
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void CopyPermissions(const char*, const char*)
{
    // A Windows file has no permission bits; its access list comes from the folder.
}

bool MoveFileOver(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::FILE* CreateNewFile(const char* path)
{
    const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
    return file;
}
