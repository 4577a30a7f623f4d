// The main dialog: the mirror command.
#include "MirrorDlg.h"

void CMirrorDlg::OnRunMirror() {}
