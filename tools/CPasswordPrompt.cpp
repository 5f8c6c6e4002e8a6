#include "CPasswordPrompt.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// Signals that end the program. A stop (Ctrl+Z) is left to the shell, which restores the terminal
// of a stopped job.
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

struct termios s_Saved;
struct sigaction s_Previous[sizeof kSignals / sizeof kSignals[0]];

// A signal during the prompt must not leave the terminal without echo.
void RestoreAndResend(int signal) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &s_Saved);
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        ::sigaction(kSignals[i], &s_Previous[i], nullptr);
    ::raise(signal);
}

void WriteAll(int fd, const CString& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}
} // namespace

bool CPasswordPrompt::CanAsk() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<CString> CPasswordPrompt::Ask(const CString& prompt) {
    if (!CanAsk() || ::tcgetattr(STDIN_FILENO, &s_Saved) != 0)
        return std::nullopt;
    // The prompt goes to the terminal itself, so it is seen even when standard error is redirected.
    int out = ::open("/dev/tty", O_WRONLY | O_CLOEXEC | O_NOCTTY);
    const bool ownTerminal = out >= 0;
    if (!ownTerminal)
        out = STDERR_FILENO;

    struct sigaction restore {};
    restore.sa_handler = RestoreAndResend;
    sigemptyset(&restore.sa_mask);
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        ::sigaction(kSignals[i], &restore, &s_Previous[i]);

    struct termios quiet = s_Saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL; // the Enter key still moves to the next line
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    WriteAll(out, prompt);

    CString line;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();

    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &s_Saved);
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        ::sigaction(kSignals[i], &s_Previous[i], nullptr);
    if (ownTerminal)
        ::close(out);
    return line;
}
