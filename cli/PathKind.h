// What a path names, asked of the file system without opening it.
#pragma once

#include <string>

enum class PathKind {
    Missing,    // nothing there
    File,       // a regular file
    Directory,
    Other,      // a device, pipe or socket, or the path cannot be examined
};

// `path` in the platform's narrow encoding, as the engine takes it.
PathKind GetPathKind(const std::string& path);
