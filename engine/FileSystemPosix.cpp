#include "FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string FileBehindPath(const char* path)
{
    struct stat st;
    if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path, nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string(path);
}

PathKind KindOfPath(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0)
        return PathKind::Missing;
    return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::File;
}

bool IsSameFile(const char* a, const char* b)
{
    struct stat sa, sb;
    return ::stat(a, &sa) == 0 && ::stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsReadOnlyFile(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0)
        return false;
    // root may write anything; the permission bits still say what the owner meant.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(path, W_OK) != 0;
}

void CopyPermissions(const char* model, const char* target)
{
    struct stat st;
    if (::stat(model, &st) == 0)
        ::chmod(target, st.st_mode & 07777);
}

bool MoveFileOver(const char* from, const char* to) { return std::rename(from, to) == 0; }

std::FILE* CreateNewFile(const char* path)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file)
        ::close(fd);
    return file;
}
