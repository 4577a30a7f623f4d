#include "Platform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>

namespace {

// `text` in lower case by the rules of the ANSI code page, for comparing
// names as Windows does.
std::string Folded(std::string text)
{
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// True when `name` matches `pattern` as a whole: '*' stands for any run of
// characters, '?' for one.
bool MatchesPattern(const std::string& pattern, const std::string& name)
{
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace

void PrepareStreamsForData()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::FILE* CreateTemporaryFile(std::string& path, std::string& folderPath, CTempFileObserver& observer,
                               TempFileRecord& record)
{
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    folderPath = length > 0 && length <= MAX_PATH ? folder : "%TEMP%";
    path.clear();
    if (length == 0 || length > MAX_PATH)
        return nullptr;
    // A name that is free, made only if it still is.
    unsigned mix = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 64; ++attempt) {
        char name[MAX_PATH + 16];
        std::snprintf(name, sizeof name, "%sncm%04X.tmp", folder, (mix + attempt * 7919u) & 0xFFFFu);
        path = name;
        const int wideLength = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
        record.strWidePath.assign(static_cast<std::size_t>(wideLength > 0 ? wideLength : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, name, -1, record.strWidePath.data(), wideLength);
        record.strWidePath.resize(record.strWidePath.size() - 1);
        observer.OnTempFileCreated(record);
        const HANDLE created = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(created), _O_WRONLY | _O_BINARY);
            if (std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr)
                return file;
            if (fd >= 0)
                _close(fd);
            else
                CloseHandle(created);
            DeleteFileA(name);
        }
        const DWORD error = GetLastError();
        observer.OnTempFileGone(record);
        SetLastError(error);
        if (created != INVALID_HANDLE_VALUE || error != ERROR_FILE_EXISTS)
            break;
    }
    ForgetTempFile(record);
    return nullptr;
}

int LastSystemError() { return static_cast<int>(GetLastError()); }

bool SystemKeepsName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\:");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return true;
    return name.back() != '.' && name.back() != ' ';
}

void ForgetTempFile(TempFileRecord& record) { record = TempFileRecord(); }

std::vector<std::string> ExpandFileArgument(const std::string& argument)
{
    const std::size_t nameStart = argument.find_last_of("\\/:") + 1;  // 0 when there is no folder part
    const std::string pattern = argument.substr(nameStart);
    if (pattern.find_first_of("*?") == std::string::npos)
        return {argument};

    // FindFirstFile also matches the short 8.3 names ("*.tap" finds
    // "a.tape"): each long name is matched again.
    const std::string foldedPattern = Folded(pattern);
    std::vector<std::pair<std::string, std::string>> found;  // folded name, name
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(argument.c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string folded = Folded(data.cFileName);
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && MatchesPattern(foldedPattern, folded))
                found.emplace_back(std::move(folded), data.cFileName);
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    if (found.empty())
        return {argument};
    std::sort(found.begin(), found.end());
    std::vector<std::string> files;
    for (const auto& entry : found)
        files.push_back(argument.substr(0, nameStart) + entry.second);
    return files;
}
