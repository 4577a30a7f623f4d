// The application object: one per program, constructed as a global. The
// entry point (AppMain.cpp) hands control to its InitInstance.
#pragma once

#include <windows.h>

#include <string>

class CDialog;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Starts the program; FALSE ends it at once (a dialog-based program runs
    // its dialog in here and returns FALSE).
    virtual BOOL InitInstance();
    // Last call before the process ends; its result is the exit code.
    virtual int ExitInstance();

    // Empty on current Windows: the three-dimensional look is the system's own.
    void Enable3dControls() {}

    HICON LoadIcon(UINT id) const;
    std::wstring LoadString(UINT id) const;

    HINSTANCE m_hInstance;
    std::wstring m_strAppName;   // title of message boxes: the program file's base name
    CDialog* m_pMainWnd;         // the main window while it runs, else null
    bool m_bSocketsStarted;      // AfxSocketInit succeeded; cleaned up by ExitInstance
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();

// Starts Windows sockets (version 1.1); FALSE when they are not available.
BOOL AfxSocketInit();

// Empty on current Windows: dialogs here hold no ActiveX controls, and
// USER32 dialogs need no container set-up for the controls they do hold.
inline void AfxEnableControlContainer() {}

// A message box owned by the main window with the application's title.
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

// Plays the system's default sound (the one of a plain message box).
inline void DefaultBeep() { ::MessageBeep(0); }
