#include "MirrorApp.h"

#include "MirrorDlg.h"
#include "resource.h"

// The one application object.
CMirrorApp theApp;

BOOL CMirrorApp::InitInstance()
{
    // The start-up steps, in order, and what each does on today's Windows.
    // Windows sockets 1.1, started though nothing here uses the network (they
    // are always there today); without them the program ends with a message.
    if (!AfxSocketInit()) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();  // a no-op: the dialogs hold no ActiveX controls
    Enable3dControls();           // a no-op: the controls take the system's look (manifest)

    CMirrorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has closed: end the program rather than run a message loop.
    return FALSE;
}
