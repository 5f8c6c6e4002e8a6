#include "CRunOptions.h"

#include "services/_Settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cstdio>

namespace {
const char* const kUsage =
    "usage: varnel-run [options] SCRIPT          (SCRIPT \"-\" reads standard input)\n"
    "  -d, --dsn NAME           data source (default: the setting \"DSN\")\n"
    "  -u, --user NAME          user\n"
    "      --password-file FILE first line is the password; else the environment variable VARNEL_PASSWORD;\n"
    "                           else, with --user and a terminal, it is asked for unechoed;\n"
    "                           never a password on the command line\n"
    "  -f, --format FMT         text (default) | sql | xml | html | xlsx\n"
    "  -s, --separator S        field separator of delimited text, \"<tab>\" (default) or any text\n"
    "      --fixed              fixed-width text instead of delimited\n"
    "      --no-names           no heading line\n"
    "      --null-empty         NULL as an empty text instead of \"<NULL>\"\n"
    "  -o, --output FILE        write here (default standard output; required for xlsx)\n"
    "      --table NAME         table name for sql output (default: the parser's table list)\n"
    "      --terminate          end each sql statement with \";\"\n"
    "      --no-parse           run the whole script as one statement\n"
    "      --remove-term        blank each statement's terminator before running it\n"
    "      --continue           after a failing statement go on with the next (default: stop)\n"
    "      --split              only cut the script and print its statements as JSON\n"
    "      --statement-separator keywords|semicolons\n"
    "                           cut the script by leading keywords (default), or after each \";\" outside\n"
    "                           quotes, comments and routine bodies and at lines holding GO alone\n"
    "  -q, --quiet              no progress on standard error\n"
    "      --version            print the version\n"
    "  -h, --help               print this text\n"
    "exit codes: 0 the last statement succeeded, 1 a statement failed, 2 usage, 3 connection failed,\n"
    "            4 the output could not be written\n";

enum class Kind { Flag, Value };

struct OptionForm {
    const char* shortName;
    const char* longName;
    Kind kind;
};

const OptionForm kForms[] = {
    {"-d", "--dsn", Kind::Value},
    {"-u", "--user", Kind::Value},
    {nullptr, "--password-file", Kind::Value},
    {"-f", "--format", Kind::Value},
    {"-s", "--separator", Kind::Value},
    {nullptr, "--fixed", Kind::Flag},
    {nullptr, "--no-names", Kind::Flag},
    {nullptr, "--null-empty", Kind::Flag},
    {"-o", "--output", Kind::Value},
    {nullptr, "--table", Kind::Value},
    {nullptr, "--terminate", Kind::Flag},
    {nullptr, "--no-parse", Kind::Flag},
    {nullptr, "--remove-term", Kind::Flag},
    {nullptr, "--continue", Kind::Flag},
    {nullptr, "--split", Kind::Flag},
    {nullptr, "--statement-separator", Kind::Value},
    {"-q", "--quiet", Kind::Flag},
    {nullptr, "--version", Kind::Flag},
    {"-h", "--help", Kind::Flag},
};

const OptionForm* Find(const CString& name) {
    for (const OptionForm& form : kForms)
        if ((form.shortName && name == form.shortName) || name == form.longName)
            return &form;
    return nullptr;
}
} // namespace

const char* CRunOptions::UsageText() {
    return kUsage;
}

std::optional<EXP_TYPE> CRunOptions::FormatNamed(const CString& name) {
    if (name == "text")
        return EXP_TEXT;
    if (name == "sql")
        return EXP_SQL;
    if (name == "xml")
        return EXP_XML;
    if (name == "html")
        return EXP_HTML;
    if (name == "xlsx")
        return EXP_EXCEL;
    return std::nullopt;
}

std::optional<CRunOptions> CRunOptions::Parse(const CStringArray& arguments, CString& error) {
    CRunOptions o;
    CStringArray scripts;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const CString& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            scripts.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        CString name = argument;
        std::optional<CString> value;
        if (argument.rfind("--", 0) == 0) {
            const size_t equals = argument.find('=');
            if (equals != CString::npos) {
                name = argument.substr(0, equals);
                value = argument.substr(equals + 1);
            }
        } else if (argument.size() > 2) {
            // "-dNAME": a short option with its value attached.
            name = argument.substr(0, 2);
            value = argument.substr(2);
        }
        if (name == "--password" || name == "-p") {
            error = "a password is never taken from the command line: use --password-file or VARNEL_PASSWORD";
            return std::nullopt;
        }
        const OptionForm* form = Find(name);
        if (!form) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (form->kind == Kind::Flag && value) {
            error = "option " + name + " takes no value";
            return std::nullopt;
        }
        if (form->kind == Kind::Value && !value) {
            if (i + 1 >= arguments.size()) {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        const CString option = form->longName;
        if (option == "--dsn")
            o.dataSource = *value;
        else if (option == "--user")
            o.user = *value;
        else if (option == "--password-file")
            o.passwordFile = *value;
        else if (option == "--format") {
            const std::optional<EXP_TYPE> format = FormatNamed(*value);
            if (!format) {
                error = "unknown format " + *value + " (text, sql, xml, html or xlsx)";
                return std::nullopt;
            }
            o.format = *format;
        } else if (option == "--separator") {
            if (value->empty()) {
                error = "the separator is empty";
                return std::nullopt;
            }
            o.separator = *value;
        } else if (option == "--fixed")
            o.fixed = true;
        else if (option == "--no-names")
            o.noNames = true;
        else if (option == "--null-empty")
            o.nullEmpty = true;
        else if (option == "--output") {
            if (value->empty()) {
                error = "the output file name is empty";
                return std::nullopt;
            }
            o.output = *value;
        } else if (option == "--table")
            o.table = *value;
        else if (option == "--terminate")
            o.terminate = true;
        else if (option == "--no-parse")
            o.noParse = true;
        else if (option == "--remove-term")
            o.removeTerm = true;
        else if (option == "--continue")
            o.continueOnError = true;
        else if (option == "--split")
            o.split = true;
        else if (option == "--statement-separator") {
            if (*value != "keywords" && *value != "semicolons") {
                error = "unknown statement separator " + *value + " (keywords or semicolons)";
                return std::nullopt;
            }
            o.semicolons = *value == "semicolons";
        } else if (option == "--quiet")
            o.quiet = true;
        else if (option == "--version")
            o.version = true;
        else if (option == "--help")
            o.help = true;
    }
    if (o.version || o.help)
        return o;
    if (scripts.size() != 1) {
        error = scripts.empty() ? "no script given" : "more than one script given";
        return std::nullopt;
    }
    o.script = scripts.front();
    if (o.format == EXP_EXCEL && o.output.empty() && !o.split) {
        error = "xlsx output needs --output FILE";
        return std::nullopt;
    }
    return o;
}

std::optional<CString> CRunOptions::Password(CString& error) const {
    if (!passwordFile.empty()) {
        // Read to the end, so that a folder or a read error is told apart from an empty file.
        FILE* file = std::fopen(passwordFile.c_str(), "rb");
        CString content;
        bool failed = !file;
        int why = errno;
        if (file) {
            char block[4096];
            size_t got;
            while ((got = std::fread(block, 1, sizeof block, file)) > 0)
                content.append(block, got);
            failed = std::ferror(file) != 0;
            why = errno;
            std::fclose(file);
        }
        if (failed) {
            error = "cannot read the password file \"" + passwordFile + "\": " + std::strerror(why);
            return std::nullopt;
        }
        CString line = content.substr(0, content.find('\n'));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }
    if (const char* value = std::getenv("VARNEL_PASSWORD"))
        return CString(value);
    return CString();
}

CString CRunOptions::EffectiveDataSource() const {
    return dataSource.empty() ? StoredDataSource() : dataSource;
}

// Read the way the program reads it: the same profile, section and entry.
CString CRunOptions::StoredDataSource() {
    _Settings settings;
    settings.SetProfileName("Software\\Ostrak\\Varnel");
    settings.Add("DSN", S_STRING, 0, "");
    settings.LoadData();
    return settings.getStr("DSN");
}
