// The texts that tell the user how a mirror run went, shared by the dialog
// and the command-line tool. Texts are UTF-8.
#pragma once

#include <string>

enum class MirrorMessage {
    NoModeChosen,      // no mirror mode selected
    SourceNotFound,    // %s = source path
    OutputExists,      // %s = output path; a Yes/No question
    BadParameters,     // result -3: source path, output path, mode
    CannotWrite,       // result -2: output path
    CannotRead,        // result -1: source path
    Written,           // result >= 0: output path, words rewritten
};

// How the dialog shows a message: beep first, and the message-box icon and
// buttons flags (MB_ICONSTOP = 0x10, MB_ICONQUESTION|MB_YESNO = 0x24,
// MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40).
struct MirrorMessageStyle {
    bool beepFirst;
    unsigned boxFlags;
};

MirrorMessageStyle MirrorMessageStyleOf(MirrorMessage message);

// The full text of a message with its values filled in. Arguments that a
// message does not use are ignored.
std::string FormatMirrorMessage(MirrorMessage message,
                                const std::string& source = std::string(),
                                const std::string& output = std::string(),
                                long long number = 0);

// The message for a result of CNcMirror::Mirror.
MirrorMessage MirrorMessageForResult(long long result);

// The same text on one line, for consoles and logs: every run of blanks,
// tabs and line ends of the message itself becomes one blank, with none at
// either end. The values are put in as they are.
std::string FormatMirrorMessageLine(MirrorMessage message,
                                    const std::string& source = std::string(),
                                    const std::string& output = std::string(),
                                    long long number = 0);
