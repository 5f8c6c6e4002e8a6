// varnel-run: the command-line companion of Varnel.
#include "CJsonWriter.h"
#include "CPasswordPrompt.h"
#include "CRunOptions.h"
#include "CScriptRunner.h"
#include "CRunText.h"
#include "codbc/ODBC.h"
#include "grid/CExportFile.h"
#include "parse/CParse.h"
#include "parse/CSemicolonCutter.h"
#include "services/Helpers.h"
#include "toolkit/MessageBox.h"

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {
int Usage(const CString& error) {
    std::fprintf(stderr, "varnel-run: %s\n%s", error.c_str(), CRunOptions::UsageText());
    return CScriptRunner::EXIT_USAGE;
}

// The whole content of the file, or nothing after telling the user why it could not be read.
std::optional<CString> ReadScript(const char* path) {
    const bool standardInput = std::strcmp(path, "-") == 0;
    FILE* file = standardInput ? stdin : std::fopen(path, "rb");
    const CString name = standardInput ? CString("standard input") : CString("\"") + path + "\"";
    if (!file) {
        ShowMessage("Cannot open " + name + ": " + std::strerror(errno), "Error!", MB_OK | MB_ICONERROR);
        return std::nullopt;
    }
    CString content;
    char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        content.append(block, got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    if (!standardInput)
        std::fclose(file);
    if (failed) {
        ShowMessage("Cannot read " + name + ": " + std::strerror(error), "Error!", MB_OK | MB_ICONERROR);
        return std::nullopt;
    }
    if (const size_t line = CRunText::NulLine(content)) {
        ShowMessage("The script " + name + " holds a NUL character on line " + std::to_string(line) +
                        "; it is not run.",
                    "Error!", MB_OK | MB_ICONERROR);
        return std::nullopt;
    }
    return CRunText::WithoutByteOrderMark(content);
}

int Split(const char* path, bool semicolons) {
    const std::optional<CString> raw = ReadScript(path);
    if (!raw)
        return CScriptRunner::EXIT_USAGE;
    const CString text = CRunText::Prepare(*raw);
    CParse parse;
    if (semicolons) {
        // The same cut as the run's, with the table list of the last statement.
        const std::vector<std::string_view> views = CSemicolonCutter::Cut(text);
        if (!views.empty())
            parse.Parse(CString(views.back()));
        parse.m_Count = static_cast<int>(views.size());
        parse.m_Statements.assign(views.begin(), views.end());
    } else {
        parse.Parse(text);
    }
    const CString json = "{\"count\": " + std::to_string(parse.m_Count) +
                         ", \"tables\": " + CJsonWriter::Quoted(parse.m_Tables) +
                         ", \"statements\": " + CJsonWriter::Array(parse.m_Statements) + "}\n";
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int Run(const CRunOptions& options) {
    std::optional<CString> raw = ReadScript(options.script.c_str());
    if (!raw)
        return CScriptRunner::EXIT_USAGE;
    // The file's bytes are dropped once prepared: a large script is held once during the run.
    CString text = CRunText::Prepare(*raw);
    raw.reset();
    CString error;
    std::optional<CString> password = options.Password(error);
    if (!password)
        return Usage(error);
    // A login named without a password file or VARNEL_PASSWORD: ask on the terminal, unechoed.
    if (password->empty() && options.passwordFile.empty() && !std::getenv("VARNEL_PASSWORD") &&
        !options.user.empty() && CPasswordPrompt::CanAsk()) {
        password = CPasswordPrompt::Ask("Password for user " + options.user + ": ").value_or(CString());
    }
    std::unique_ptr<ODBC> session;
    try {
        session = std::make_unique<ODBC>();
    } catch (int) {
        std::fprintf(stderr, "Error initialize ODBC\n");
        return CScriptRunner::EXIT_CONNECT;
    }
    session->SetRunInline(true);
    CScriptRunner runner(options, *session);
    runner.SetProgress(!options.quiet && ::isatty(STDERR_FILENO));
    return runner.Run(text, options.EffectiveDataSource(), *password);
}
} // namespace

int main(int argc, char* argv[]) {
    SetMessageHandler(ConsoleMessageHandler);
    CExportFile::RemoveTemporaryFilesOnSignals();
    CString error;
    const std::optional<CRunOptions> options = CRunOptions::Parse(CStringArray(argv + 1, argv + argc), error);
    if (!options)
        return Usage(error);
    if (options->help) {
        std::fputs(CRunOptions::UsageText(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("varnel-run %s\n", VARNEL_VERSION);
        return 0;
    }
    if (options->split)
        return Split(options->script.c_str(), options->semicolons);
    return Run(*options);
}
