// The texts that tell the user how a mirror run went, shared by the dialog
// and the command-line tool. Texts are UTF-8.
#pragma once

#include "MirrorFindings.h"

#include <string>

enum class MirrorMessage {
    NoModeChosen,      // no mirror mode selected
    SourceNotFound,    // %s = source path
    OutputExists,      // %s = output path; a Yes/No question
    BadParameters,     // result -3: source path, output path, mode
    CannotWrite,       // result -2: output path
    CannotRead,        // result -1: source path
    Written,           // result >= 0: output path, words rewritten
    RefusedByCheck,    // result -4 of a strict run: output path
    PositionDoesNotFit,  // result -5: output path
    OutputKept,        // an existing output not replaced (no terminal to ask): output, source path
    EditorNotStarted,  // the system's Notepad could not be started: source path
    PositionNotNumber,  // the dialog's mirror position is not a number: %s = the text given (as source)
    NoFeedMoves,       // no feed move to take the middle of (the dialog's centre button): source path
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

// The line that names a mirror position, after a result: "Ось отражения:
// x=40" (x and y as given, decimal text); empty when both are 0 or empty.
std::string FormatMirrorPosition(const std::string& x, const std::string& y);

// The message for a result of CNcMirror::Mirror.
MirrorMessage MirrorMessageForResult(long long result);

// The same text on one line, for consoles and logs: every run of blanks,
// tabs and line ends of the message itself becomes one blank, with none at
// either end. The values are put in as they are.
std::string FormatMirrorMessageLine(MirrorMessage message,
                                    const std::string& source = std::string(),
                                    const std::string& output = std::string(),
                                    long long number = 0);

// The stable ASCII code of a finding ("comment-motion"), as the command line
// prints it and scripts match it.
const char* FindingCodeName(FindingCode code);

// The finding's short text with its words filled in.
std::string FormatFindingText(const MirrorFinding& finding);

// A finding as compilers report a line, so that editors and build logs jump
// to it: "FILE:LINE: предупреждение: TEXT [CODE]".
std::string FormatFindingForLog(const std::string& file, const MirrorFinding& finding);

// A finding in a message box: "строка LINE: TEXT".
std::string FormatFindingForBox(const MirrorFinding& finding);

// The line that stands for the findings a list does not show: "... и ещё M".
std::string FormatMoreFindings(long long more);

// The message that follows a successful run with findings: a heading, the
// first `shown` findings a line each, and the line for the rest.
std::string FormatFindingsMessage(const CMirrorFindings& findings, std::size_t shown = 10);
