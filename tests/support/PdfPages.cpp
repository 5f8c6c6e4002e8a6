#include "PdfPages.h"

#include <cstdio>
#include <regex>

namespace {
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::string Quoted(const std::string& path) {
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
} // namespace

int PdfPages::Count(const std::string& path) {
    std::smatch match;
    const std::string info = Output("pdfinfo " + Quoted(path) + " 2>/dev/null");
    if (!std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))")))
        return -1;
    return std::stoi(match[1]);
}

std::string PdfPages::Text(const std::string& path, int page) {
    const std::string n = std::to_string(page);
    return Output("pdftotext -layout -f " + n + " -l " + n + " " + Quoted(path) + " - 2>/dev/null");
}
