#include "AppSession.h"

#include "DriverEnv.h"
#include "WindowProbe.h"

const wchar_t* const kMainCaption = L"Преобразование координат УП..";

AppSession::AppSession(const std::wstring& folder, const std::wstring& copy)
{
    const std::wstring app = copy.empty() ? AppPath() : copy;
    std::wstring command = L"\"" + app + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(app.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return;
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_pid = process.dwProcessId;
    WaitUntil(
        [this] {
            for (HWND window : DialogsOf(m_pid))
                if (WindowText(window) == kMainCaption)
                    m_main = window;
            return m_main != nullptr;
        },
        20000);
}

AppSession::~AppSession()
{
    if (!m_process)
        return;
    if (Running()) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

bool AppSession::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

bool AppSession::WaitForExit(DWORD timeoutMs, DWORD& exitCode)
{
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_process, &exitCode) != 0;
}
