// The command line of varnel-run: what to run, against which data source, and how the last
// statement's result is written.
#pragma once

#include "CommonTypes.h"
#include "grid/CExport.h"

#include <optional>

class CRunOptions {
public:
    CString script;     // path of the script, "-" for standard input
    CString dataSource; // empty: the stored setting "DSN"
    CString user;
    CString passwordFile; // first line is the password
    EXP_TYPE format = EXP_TEXT;
    CString separator = "<tab>";
    bool fixed = false;
    bool noNames = false;
    bool nullEmpty = false;
    bool terminate = false;       // SQL statements end with ";"
    CString output;               // empty: standard output
    std::optional<CString> table; // table name of SQL output instead of the parser's list
    bool noParse = false;
    bool removeTerm = false;
    bool continueOnError = false;
    bool split = false;
    bool semicolons = false; // cut after semicolons and at GO lines instead of by keywords
    bool quiet = false;
    bool version = false;
    bool help = false;

    // Reads the arguments after the program name. On a usage error returns nothing and sets `error`.
    static std::optional<CRunOptions> Parse(const CStringArray& arguments, CString& error);
    static const char* UsageText();
    // The name a format option is written as, and the target it stands for.
    static std::optional<EXP_TYPE> FormatNamed(const CString& name);

    // The password: the first line of the password file, else the environment variable
    // VARNEL_PASSWORD, else empty. Nothing when the file can't be read (`error` says why).
    std::optional<CString> Password(CString& error) const;
    // The data source to connect to: the option, else the user's stored "DSN" setting.
    CString EffectiveDataSource() const;
    static CString StoredDataSource();
};
