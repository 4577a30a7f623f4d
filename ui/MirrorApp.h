// The NC Mirror dialog application: starts the platform and runs the main dialog.
#pragma once

#include "w32/WinApp.h"

class CMirrorApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
