#include "DriverEnv.h"

#include <windows.h>

#include <algorithm>
#include <vector>

std::wstring EnvText(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> value(size);
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    return std::wstring(value.data(), length < size ? length : 0);
}

std::wstring ToWindowsPath(const std::wstring& path)
{
    if (path.empty() || path[0] != L'/')
        return path;
    std::wstring windows = L"Z:" + path;
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    return windows;
}

std::wstring AppPath() { return ToWindowsPath(EnvText(L"NCM_APP")); }

bool SaveScreenshot(const std::wstring& name)
{
    const std::wstring grabber = EnvText(L"NCM_IMPORT");
    const std::wstring folder = EnvText(L"NCM_SHOTS");
    if (grabber.empty() || folder.empty())
        return false;
    // Both are Linux paths: Wine starts a Linux program named by its own path.
    const std::wstring unixFile = folder + L"/" + name + L".png";
    std::wstring command = L"\"" + grabber + L"\" -window root \"" + unixFile + L"\"";
    const std::wstring windowsFile = ToWindowsPath(unixFile);
    DeleteFileW(windowsFile.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine does not pass a Linux program's exit code on: look for the file.
    for (int i = 0; i < 100; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(windowsFile.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0)
            return true;
        Sleep(50);
    }
    return false;
}
