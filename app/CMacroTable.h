// The editor's fifteen macro slots: five fixed statement skeletons and ten texts of the user's,
// each with the settings that hold its key and its text.
#pragma once

#include "CommonTypes.h"

class _Settings;

struct MacroSlot {
    char key = 0; // the key pressed with Ctrl: an upper-case letter or a digit
    CString text;
    int slot = 0;
};

class CMacroTable {
public:
    static constexpr int kSlots = 15;
    static constexpr int kPredefined = 5;

    // Setting names of a slot's key text ("HK1", "UK0", ...) and macro text ("MAC1", "UM0", ...).
    static CString KeySetting(int slot);
    static CString TextSetting(int slot);
    // Registers the 30 macro settings: the keys and the fixed texts are never stored, the user
    // texts are.
    static void Register(_Settings& settings);

    // The key of a key text: its sixth character ("Ctrl-S" gives 'S'), 0 when it is shorter.
    static char KeyOf(const CString& keyText);
    // The slots in order, read from the settings now.
    static CArray<MacroSlot> Slots(_Settings& settings);

    // Gives every slot to an editor with SetMacro(key, text, slot); slot 0 empties its list first.
    template <class Editor> static void Install(Editor& editor, _Settings& settings) {
        for (const MacroSlot& m : Slots(settings))
            editor.SetMacro(m.key, m.text, m.slot);
    }
};
