#include "MirrorMessageBox.h"

#include "w32/TextCodec.h"
#include "w32/WinApp.h"

int ShowMirrorMessage(MirrorMessage message, const std::string& source, const std::string& output, long long number,
                      const MirrorFailure& failure, const std::string& lastLine)
{
    const MirrorMessageStyle style = MirrorMessageStyleOf(message);
    if (style.beepFirst)
        DefaultBeep();
    std::string text = FormatMirrorMessage(message, source, output, number);
    for (const std::string& line : {MirrorFailureText(failure), lastLine})
        if (!line.empty())
            text += (text.back() == '\n' ? "" : "\n") + line;
    return AfxMessageBox(Utf8ToWide(text), style.boxFlags);
}
