// The main dialog: folder, filter and file selection, and Notepad.
#include "MirrorDlg.h"

void CMirrorDlg::InitFileSelection() {}

void CMirrorDlg::OnSelchangeFilter() {}

void CMirrorDlg::OnBrowse() {}

void CMirrorDlg::OnNotepad() {}
