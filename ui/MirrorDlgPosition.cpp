// The main dialog: the position of the mirror line. The checked mode decides
// which lines it mirrors about: y = B about Ox (field Y=), x = A about Oy
// (field X=), both about the origin; empty fields are the axes themselves.
#include "MirrorDlg.h"

#include "FeedBox.h"
#include "MirrorMessageBox.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "resource.h"
#include "w32/TextCodec.h"

#include <string>

namespace {

std::string TrimmedBlanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

void CMirrorDlg::OnModeChanged()
{
    const MirrorMode* mode = CheckedMode();
    EnableDlgItem(IDC_AT_X, mode && mode->negatesX);
    EnableDlgItem(IDC_AT_Y, mode && mode->negatesY);
    EnableDlgItem(IDC_CENTRE, mode != nullptr);
}

bool CMirrorDlg::ReadPosition(CNcMirror& engine, std::string& x, std::string& y) const
{
    const auto fieldText = [this](int id) {
        return IsDlgItemEnabled(id) ? TrimmedBlanks(WideToUtf8(GetDlgItemText(id))) : std::string();
    };
    x = fieldText(IDC_AT_X);
    y = fieldText(IDC_AT_Y);
    // Each text alone first, so that the message names the one at fault.
    for (const std::string* text : {&x, &y}) {
        if (!engine.SetPosition(text->c_str(), nullptr)) {
            ShowMirrorMessage(MirrorMessage::PositionNotNumber, *text);
            return false;
        }
    }
    return engine.SetPosition(x.c_str(), y.c_str());
}

void CMirrorDlg::OnCentre()
{
    if (!UpdateData(TRUE))
        return;
    std::wstring name;
    std::string sourceNarrow, sourceUtf8;
    if (!SelectedSource(name, sourceNarrow, sourceUtf8))
        return;
    // The middle of the program's feed moves, in the precision of its words,
    // as `ncmirror --at centre` takes it.
    FeedBox box;
    if (!ReadFeedBox(sourceNarrow.c_str(), box)) {
        ShowMirrorMessage(MirrorMessage::CannotRead, sourceUtf8);
        return;
    }
    if (box.empty) {
        ShowMirrorMessage(MirrorMessage::NoFeedMoves, sourceUtf8);
        return;
    }
    if (IsDlgItemEnabled(IDC_AT_X))
        SetDlgItemText(IDC_AT_X, Utf8ToWide(MiddleText(box.minX, box.maxX, box.decimals)));
    if (IsDlgItemEnabled(IDC_AT_Y))
        SetDlgItemText(IDC_AT_Y, Utf8ToWide(MiddleText(box.minY, box.maxY, box.decimals)));
}
