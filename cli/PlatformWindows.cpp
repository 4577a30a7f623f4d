#include "Platform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>

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

std::FILE* CreateTemporaryFile(std::string& path)
{
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    char name[MAX_PATH + 1];
    path = length > 0 && length <= MAX_PATH ? folder : "%TEMP%";
    // GetTempFileNameA creates the file under a name that was free.
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "ncm", 0, name) == 0)
        return nullptr;
    path = name;
    std::FILE* file = std::fopen(name, "wb");
    if (!file)
        DeleteFileA(name);
    return file;
}

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
