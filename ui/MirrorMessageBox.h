// The shared result messages of the engine's table in a message box.
#pragma once

#include "MirrorFailure.h"
#include "MirrorMessages.h"

#include <string>

// Shows one of the shared result messages, with the beep first where its
// style asks for one, the reason of `failure` and then `lastLine` each on a
// line of its own (when not empty); the button pressed. Paths are UTF-8 here.
int ShowMirrorMessage(MirrorMessage message, const std::string& source = std::string(),
                      const std::string& output = std::string(), long long number = 0,
                      const MirrorFailure& failure = MirrorFailure(), const std::string& lastLine = std::string());
