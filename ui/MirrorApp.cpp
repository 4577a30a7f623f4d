#include "MirrorApp.h"

#include "MirrorDlg.h"
#include "resource.h"

// The one application object.
CMirrorApp theApp;

BOOL CMirrorApp::InitInstance()
{
    if (!AfxSocketInit()) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    Enable3dControls();

    CMirrorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has closed: end the program rather than run a message loop.
    return FALSE;
}
