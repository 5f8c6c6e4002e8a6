// Makes the program the desktop's handler of SQL scripts for the current user: a desktop entry in the
// user's applications folder, written only while no system-wide entry of an installed package exists.
#pragma once

#include "CommonTypes.h"

class CFileTypeRegistration {
public:
    enum Result {
        Written,   // the user's entry (and icon) was created or brought up to date
        UpToDate,  // the user's entry already named this program
        Installed, // a system-wide entry exists; any entry written here earlier was removed
        UserOwned, // the user's folder holds an entry of its own making, which is left alone
        Failed     // the entry could not be written (folder not writable, unusable program path)
    };

    // Registers the program at programPath (absolute) as opener of ".sql" files.
    static Result Register(const CString& programPath);

    // $XDG_DATA_HOME/applications/varnel.desktop (default ~/.local/share).
    static CString UserEntryPath();
    // The first $XDG_DATA_DIRS/applications/varnel.desktop that exists, or "" when there is none.
    static CString SystemEntryPath();
    // The text of the user's entry for the program at programPath; "" when the path cannot be
    // expressed in a desktop entry (not absolute, or holding a line break).
    static CString EntryText(const CString& programPath);

    // Marks entries this class wrote, so they are told apart from the user's own.
    static constexpr const char* kMarker = "X-Varnel-Registered=true";
};
