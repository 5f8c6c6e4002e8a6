// varnel-run: the command-line companion of Varnel.
#include "services/Helpers.h"
#include "toolkit/MessageBox.h"

#include <cstdio>
#include <cstring>

namespace {
int Usage() {
    std::fprintf(stderr, "usage: varnel-run --split SCRIPT   (SCRIPT '-' reads standard input)\n");
    return 2;
}
} // namespace

int main(int argc, char* argv[]) {
    SetMessageHandler(ConsoleMessageHandler);
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0)) {
        std::printf("varnel-run %s\n", VARNEL_VERSION);
        return 0;
    }
    return Usage();
}
