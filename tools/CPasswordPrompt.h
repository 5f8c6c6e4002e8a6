// Asks for a password on the terminal without showing what is typed, as psql does, so that no
// password has to go on a command line or into the shell's history.
#pragma once

#include "CommonTypes.h"

#include <optional>

class CPasswordPrompt {
public:
    // True when standard input is a terminal that can be asked.
    static bool CanAsk();
    // Writes `prompt` to the terminal and reads one line from standard input with echo off; the
    // terminal's settings are restored afterwards, also when a signal ends the program meanwhile.
    // Nothing when standard input is no terminal; the text typed so far when the input ends.
    static std::optional<CString> Ask(const CString& prompt);
};
