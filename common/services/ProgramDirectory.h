// The per-user folder that holds the program's writable files (Error.Log, autosave.tmp, temp.sql).
// It and everything in it are for its owner's eyes only: the files hold scripts and row values.
#pragma once

#include "CommonTypes.h"

// "$XDG_DATA_HOME/Ostrak/Varnel/" (by default under ~/.local/share), created with mode 0700 when
// missing; ends in '/'.
CString ProgramDirectory();
// True when `path` names a file directly inside the program directory.
bool InProgramDirectory(const CString& path);
// Takes the group and other permissions from the program directory and from every regular file in
// it that this user owns (earlier versions created them readable by everyone). Links are left alone.
void ProtectProgramDirectory();
