#include "MirrorMessageBox.h"

#include "w32/TextCodec.h"
#include "w32/WinApp.h"

int ShowMirrorMessage(MirrorMessage message, const std::string& source, const std::string& output, long long number)
{
    const MirrorMessageStyle style = MirrorMessageStyleOf(message);
    if (style.beepFirst)
        ::MessageBeep(0);
    return AfxMessageBox(Utf8ToWide(FormatMirrorMessage(message, source, output, number)), style.boxFlags);
}
