// The main dialog: the mirror command.
#include "MirrorDlg.h"

#include "FileSystem.h"
#include "MirrorMessageBox.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "resource.h"
#include "w32/TextCodec.h"
#include "w32/WinApp.h"

#include <string>

namespace {

// The longest path the narrow file functions accept, without its NUL.
constexpr std::size_t kMaxPathLength = MAX_PATH - 1;

// A stop message about a path that the file functions cannot take as it is.
void ShowPathStop(const wchar_t* reason, const std::wstring& path)
{
    DefaultBeep();
    AfxMessageBox(std::wstring(reason) + L"\n " + path + L" \n преобразование прервано....", MB_ICONSTOP | MB_OK);
}

// The narrow (ANSI code page) form of `path` for the engine, or false after
// telling the user why there is none: a character the code page lacks would
// turn into another one and could name another file; a path beyond the
// platform's limit would be cut short.
bool NarrowPath(const std::wstring& path, std::string& narrow)
{
    if (!WideToAnsi(path, narrow)) {
        ShowPathStop(L"Путь содержит символы, которых нет в кодовой странице Windows:", path);
        return false;
    }
    if (narrow.size() > kMaxPathLength) {
        ShowPathStop(L"Слишком длинный путь (допустимо не более 259 символов):", path);
        return false;
    }
    return true;
}

// One engine run. The dialog always has the output reach the disk before
// it replaces anything: after a power cut the old program or the new one is
// there, never an empty file.
long long RunEngine(CNcMirror& engine, const std::string& source, const std::string& output, int mode, bool replace)
{
    engine.SetReplaceExisting(replace);
    engine.SetSync(true);
    return engine.Mirror(source.c_str(), output.c_str(), mode);
}

bool IsMissing(const MirrorFailure& failure)
{
    return failure.kind == MirrorFailureKind::System && ClassifySystemError(failure.nError) == SystemError::NotFound;
}

}  // namespace

const MirrorMode* CMirrorDlg::CheckedMode() const
{
    // A later button overrides an earlier one; the group lets only one be checked.
    const MirrorMode* mode = nullptr;
    const struct {
        int button;
        int mode;
    } kModeButtons[] = {{IDC_AXIS_X, 1}, {IDC_AXIS_Y, 2}, {IDC_ORIGIN, 3}};
    for (const auto& entry : kModeButtons)
        if (IsDlgButtonChecked(entry.button))
            mode = FindMirrorMode(entry.mode);
    return mode;
}

bool CMirrorDlg::SelectedSource(std::wstring& name, std::string& narrow, std::string& utf8) const
{
    name = GetDlgItemText(IDC_FILE_LIST);
    const std::wstring source = m_strFolder + L"\\" + name;
    utf8 = WideToUtf8(source);
    if (!NarrowPath(source, narrow))
        return false;
    // Only a source that is not there is "not found"; one that is there but
    // cannot be read (another program holds it) gets the reason.
    NativeFile probe;
    MirrorFailure failure;
    if (!probe.OpenForReading(narrow.c_str(), failure)) {
        if (IsMissing(failure))
            ShowMirrorMessage(MirrorMessage::SourceNotFound, utf8);
        else
            ShowMirrorMessage(MirrorMessage::CannotRead, utf8, std::string(), 0, failure);
        return false;
    }
    return true;
}

void CMirrorDlg::OnRunMirror()
{
    if (!UpdateData(TRUE))
        return;

    const MirrorMode* mode = CheckedMode();
    if (!mode) {
        ShowMirrorMessage(MirrorMessage::NoModeChosen);
        return;
    }

    CNcMirror engine;
    std::string atX, atY;
    if (!ReadPosition(engine, atX, atY))
        return;

    std::wstring name;
    std::string sourceNarrow, sourceUtf8;
    if (!SelectedSource(name, sourceNarrow, sourceUtf8))
        return;

    // The output name is derived on the UTF-8 form, where no byte of a
    // multi-byte character can pass for a '\' or a '.'.
    const std::string outputUtf8 = MirrorOutputPath(sourceUtf8, *mode);
    const std::wstring output = Utf8ToWide(outputUtf8);
    std::string outputNarrow;
    if (!NarrowPath(output, outputNarrow))
        return;
    // The question whenever a file is there, readable or not. A folder or a
    // device in the way the engine refuses.
    bool replace = false;
    if (KindOfPath(outputNarrow.c_str()) == PathKind::File) {
        if (ShowMirrorMessage(MirrorMessage::OutputExists, sourceUtf8, outputUtf8) != IDYES)
            return;
        replace = true;
    }
    long long result = RunEngine(engine, sourceNarrow, outputNarrow, mode->number, replace);
    if (result == kMirrorDestinationError && engine.LastFailure().kind == MirrorFailureKind::OutputExists) {
        // Another program wrote it while the run went on: the same question.
        if (ShowMirrorMessage(MirrorMessage::OutputExists, sourceUtf8, outputUtf8) != IDYES)
            return;
        result = RunEngine(engine, sourceNarrow, outputNarrow, mode->number, true);
    }
    // A written mirror about a line other than the axes names it last.
    ShowMirrorMessage(MirrorMessageForResult(result), sourceUtf8, outputUtf8,
                      result == kMirrorModeError ? mode->number : result, engine.LastFailure(),
                      result >= 0 ? FormatMirrorPosition(atX, atY) : std::string());
    // What the mirror could not make right follows the success message.
    if (result >= 0 && !engine.GetFindings().Empty())
        AfxMessageBox(Utf8ToWide(FormatFindingsMessage(engine.GetFindings())), MB_ICONWARNING | MB_OK);

    SelectInFileList(name);
}

void CMirrorDlg::SelectInFileList(const std::wstring& name)
{
    // Only the entry of exactly this name (in any case): a mere prefix match
    // would put another file's name into the edit part.
    const CComboBox list = ComboBox(IDC_FILE_LIST);
    const int found = list.FindStringExact(-1, name);
    if (found != CB_ERR)
        list.SetCurSel(found);
}
