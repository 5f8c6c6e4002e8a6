// Plays a WAV file by name and waits until it has finished, through the first sound player program
// found on the search path; a missing file, a missing player or a failing one stays silent.
#pragma once

#include "CommonTypes.h"

class CSoundPlayer {
public:
    // Player programs tried in this order.
    static const CStringArray& Players();
    // The full path of the first player on the search path; empty when there is none.
    static CString FindPlayer();
    // 0 when the player ran to its end with success; non-zero otherwise (nothing is shown).
    static int Play(const CString& file);
    // Longest wait for one sound before the player is stopped.
    static constexpr int kLongestSoundMs = 120000;
};
