// varnel-run: the command-line companion of Varnel.
#include "CJsonWriter.h"
#include "CRunText.h"
#include "parse/CParse.h"
#include "services/Helpers.h"
#include "toolkit/MessageBox.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {
int Usage() {
    std::fprintf(stderr, "usage: varnel-run --split SCRIPT   (SCRIPT '-' reads standard input)\n");
    return 2;
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
    return content;
}

int Split(const char* path) {
    const std::optional<CString> raw = ReadScript(path);
    if (!raw)
        return 2;
    const CString text = CRunText::Prepare(*raw);
    CParse parse;
    parse.Parse(text);
    const CString json = "{\"count\": " + std::to_string(parse.m_Count) +
                         ", \"tables\": " + CJsonWriter::Quoted(parse.m_Tables) +
                         ", \"statements\": " + CJsonWriter::Array(parse.m_Statements) + "}\n";
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char* argv[]) {
    SetMessageHandler(ConsoleMessageHandler);
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("varnel-run %s\n", VARNEL_VERSION);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--split") == 0)
        return Split(argv[2]);
    return Usage();
}
