#include "TestKeyring.h"

#include "services/CPasswordStore.h"
#include "TestSandbox.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {
const char* const kPassword = "keyring-test-password";

// In the child: ends with the test process, whatever way that ends.
void TieToParent() {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

void Stop(pid_t& pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
}
} // namespace

TestKeyring::TestKeyring(bool withService) {
    StartBus();
    if (m_Error.empty() && withService)
        StartService();
}

TestKeyring::~TestKeyring() {
    Stop(m_Service);
    Stop(m_Bus);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

void TestKeyring::StartBus() {
    const std::string dir = TestSandbox::Directory();
    if (dir.empty()) {
        m_Error = "not in a test sandbox";
        return;
    }
    // No service files: nothing is started on demand, so a bus without the keyring stays without.
    const std::string config = dir + "/bus.conf";
    std::ofstream(config)
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type>\n"
           "<listen>unix:path="
        << dir << "/runtime/test-bus</listen><auth>EXTERNAL</auth>\n"
        << "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    int address[2];
    if (::pipe2(address, O_CLOEXEC) != 0) {
        m_Error = "pipe failed";
        return;
    }
    m_Bus = ::fork();
    if (m_Bus == 0) {
        TieToParent();
        ::dup2(address[1], 3);
        const std::string configArg = "--config-file=" + config;
        ::execlp("dbus-daemon", "dbus-daemon", configArg.c_str(), "--nofork", "--print-address=3", nullptr);
        ::_exit(127);
    }
    ::close(address[1]);
    std::string line;
    pollfd wait{address[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&wait, 1, 10000) > 0) {
        char buf[256];
        const ssize_t n = ::read(address[0], buf, sizeof buf);
        if (n <= 0)
            break;
        line.append(buf, static_cast<size_t>(n));
    }
    ::close(address[0]);
    if (line.find('\n') == std::string::npos) {
        m_Error = "dbus-daemon did not start (is the package dbus-daemon installed?)";
        return;
    }
    line.resize(line.find('\n'));
    ::setenv("DBUS_SESSION_BUS_ADDRESS", line.c_str(), 1);
}

void TestKeyring::StartService() {
    int input[2];
    if (::pipe2(input, O_CLOEXEC) != 0) {
        m_Error = "pipe failed";
        return;
    }
    const std::string log = TestSandbox::Directory() + "/keyring.log";
    m_Service = ::fork();
    if (m_Service == 0) {
        TieToParent();
        ::dup2(input[0], STDIN_FILENO);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        // Its keyrings go to $XDG_DATA_HOME/keyrings, which the sandbox points at its own folder.
        ::execlp("gnome-keyring-daemon", "gnome-keyring-daemon", "--foreground", "--unlock",
                 "--components=secrets", nullptr);
        ::_exit(127);
    }
    ::close(input[0]);
    (void)!::write(input[1], kPassword, sizeof kPassword - 1);
    ::close(input[1]);
    for (int tries = 0; tries < 200; ++tries) {
        if (CPasswordStore::KeyringAnswers())
            return;
        int status = 0;
        if (::waitpid(m_Service, &status, WNOHANG) == m_Service) {
            m_Service = -1;
            m_Error =
                "gnome-keyring-daemon ended at once (is the package gnome-keyring installed?), see " + log;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_Error = "the keyring did not answer within 10 s, see " + log;
}
