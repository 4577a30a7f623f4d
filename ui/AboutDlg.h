// The about box: program title, version and credits.
#pragma once

#include "w32/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
