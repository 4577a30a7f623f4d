// The main dialog: the preview of the selected program's tool path and, when
// a mode is checked, its mirror image. Nothing is written to disk.
#include "MirrorDlg.h"

#include "MirrorMessageBox.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "NumberText.h"
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

    // The program read, and with a mode the mirror's own lines beside it,
    // while the preview window shows how far the reading has come.
    PictureLegend legend;
    legend.sourceName = BaseName(sourceUtf8);
    if (mode) {
        // The mirror about the position in the fields, as a run would make it.
        CNcMirror engine;
        if (!ReadPosition(engine, legend.atX, legend.atY))
            return;
        ReadNumber(legend.atX, legend.positionX);
        ReadNumber(legend.atY, legend.positionY);
        legend.mode = mode;
        legend.mirrorName = BaseName(MirrorOutputPath(sourceUtf8, *mode));
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    unsigned long long bytes = 0;
    if (::GetFileAttributesExA(sourceNarrow.c_str(), GetFileExInfoStandard, &data))
        bytes = static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    CPreviewWnd preview(sourceNarrow, bytes, legend);
    if (preview.DoModal(m_hWnd, m_hIcon) == PreviewEnd::CannotRead)
        ShowMirrorMessage(MirrorMessage::CannotRead, sourceUtf8);
}
