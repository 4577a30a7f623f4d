#include "TestFolder.h"

#include "DriverEnv.h"

#include <windows.h>

#include <vector>

namespace {

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string ReadFileBytes(const std::wstring& path)
{
    // A program that has written the file and ended may still hold it open
    // for a moment under Wine.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

TestFolder::TestFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    for (unsigned n = 0; n < 1000; ++n) {
        const std::wstring path = base + L"\\ncm-ui-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount() % 100000) + L"-" + std::to_wstring(n);
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            m_path = path;
            return;
        }
    }
}

TestFolder::~TestFolder()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool TestFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring path = PathOf(name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool TestFolder::MakeFolder(const std::wstring& name) const { return CreateDirectoryW(PathOf(name).c_str(), nullptr); }

bool TestFolder::Exists(const std::wstring& name) const
{
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TestFolder::Read(const std::wstring& name) const { return ReadFileBytes(PathOf(name)); }

bool TestFolder::SetReadOnly(const std::wstring& name) const
{
    return SetFileAttributesW(PathOf(name).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
}

std::string TestData(const std::wstring& name)
{
    std::wstring path = ToWindowsPath(EnvText(L"NCM_TEST_DATA") + L"/" + name);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return ReadFileBytes(path);
}
