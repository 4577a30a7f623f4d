// One run of the dialog application under test: started in a given folder,
// its main dialog found, killed if a test leaves it running.
#pragma once

#include <windows.h>

#include <string>

class AppSession {
public:
    // Starts the application (the one under test, or a copy of it at `app`)
    // with `folder` as its current directory (empty: the driver's own).
    explicit AppSession(const std::wstring& folder = std::wstring(), const std::wstring& app = std::wstring());
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Pid() const { return m_pid; }
    HWND MainDialog() const { return m_main; }  // null until found
    HWND Item(int id) const { return GetDlgItem(m_main, id); }

    // Waits for the process to end; true with its exit code in `exitCode`.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);
    bool Running() const;

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_main = nullptr;
};

// The main dialog's caption.
extern const wchar_t* const kMainCaption;
