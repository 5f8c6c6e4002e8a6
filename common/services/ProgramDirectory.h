// The per-user folder that holds the program's writable files (Error.Log, autosave.tmp, temp.sql).
#pragma once

#include "CommonTypes.h"

// "$XDG_DATA_HOME/Ostrak/Varnel/" (by default under ~/.local/share), created when missing; ends in '/'.
CString ProgramDirectory();
