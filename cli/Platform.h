// What ncmirror needs of the platform beyond its console: standard streams
// that carry a program's bytes, temporary files, and file arguments with
// wildcards. One implementation per platform (PlatformPosix.cpp,
// PlatformWindows.cpp).
#pragma once

#include "TempFileObserver.h"

#include <cstdio>
#include <string>
#include <vector>

// Makes standard input and output carry bytes exactly (binary mode: no
// "\r\n" translation on Windows), and a write to a pipe whose reader has
// gone fail with an error instead of ending the process, so that the run
// can clean up and report it.
void PrepareStreamsForData();

// Creates a new, empty temporary file only this user can read and opens it
// for writing in binary mode; its path (the platform's narrow encoding) goes
// to `path`, and its folder to `folder`. Null when no such file can be made
// (LastSystemError tells why); `folder` then says where it was tried, for
// the message. `observer` learns of each name before the file
// is made under it (so that an interruption at any moment finds the file),
// by `record`, which ForgetTempFile releases once the file is gone.
std::FILE* CreateTemporaryFile(std::string& path, std::string& folder, CTempFileObserver& observer,
                               TempFileRecord& record);
void ForgetTempFile(TempFileRecord& record);

// False for a path that the system would store under another name: on
// Windows a last part that ends in a dot or a blank, which Windows drops.
bool SystemKeepsName(const std::string& path);

// The system's error number of the last failed call on this thread (errno;
// GetLastError() on Windows), as a MirrorFailure holds it.
int LastSystemError();

// The files one file argument names. On Windows, where no shell does it, a
// '*' or '?' in the argument's last part makes it a pattern: the files (not
// folders) it matches, case-insensitively, sorted by name, each with the
// argument's folder part; a pattern that matches nothing stays as it is, so
// that it is reported as not found. Elsewhere the argument itself.
std::vector<std::string> ExpandFileArgument(const std::string& argument);
