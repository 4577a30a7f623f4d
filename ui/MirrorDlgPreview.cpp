// The main dialog: the preview of the selected program's tool path and, when
// a mode is checked, its mirror image. Nothing is written to disk.
#include "MirrorDlg.h"

#include "MirrorMessageBox.h"
#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"
#include "PreviewWnd.h"
#include "resource.h"
#include "w32/TextCodec.h"
#include "w32/WinApp.h"

namespace {

// The file's name without its folders.
std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void CMirrorDlg::OnPreview()
{
    if (!UpdateData(TRUE))
        return;
    const MirrorMode* mode = CheckedMode();
    std::wstring name;
    std::string sourceNarrow, sourceUtf8;
    if (!SelectedSource(name, sourceNarrow, sourceUtf8))
        return;

    // The program read, and with a mode the mirror's own lines beside it.
    const HCURSOR oldCursor = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    CToolpathPicture picture;
    PictureLegend legend;
    legend.sourceName = BaseName(sourceUtf8);
    bool read = false;
    if (mode) {
        CMirrorPairReader pair(nullptr, &picture);
        CNcMirror engine;
        engine.SetDiagnosticStream(nullptr);
        read = engine.MirrorToSink(sourceNarrow.c_str(), &pair, mode->number) >= 0;
        picture.Finish();
        legend.mode = mode;
        legend.mirrorName = BaseName(MirrorOutputPath(sourceUtf8, *mode));
    } else {
        read = ReadProgramPicture(sourceNarrow.c_str(), picture);
    }
    ::SetCursor(oldCursor);
    if (!read) {
        ShowMirrorMessage(MirrorMessage::CannotRead, sourceUtf8);
        return;
    }

    CPreviewWnd preview(picture, legend);
    preview.DoModal(m_hWnd, m_hIcon);
}
