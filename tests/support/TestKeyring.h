// A Secret Service of the test's own: a private D-Bus session bus in the sandbox and a GNOME Keyring
// daemon on it, unlocked with a test password. The user's own bus and keyring are never reached.
// Both processes end with the object, and with the test process if it dies first.
#pragma once

#include <string>
#include <sys/types.h>

class TestKeyring {
public:
    // Starts the bus; with `withService` also the keyring daemon, and waits until it answers.
    explicit TestKeyring(bool withService = true);
    ~TestKeyring();
    TestKeyring(const TestKeyring&) = delete;
    TestKeyring& operator=(const TestKeyring&) = delete;

    // Empty when everything asked for is running; otherwise what went wrong.
    const std::string& Error() const { return m_Error; }

private:
    void StartBus();
    void StartService();

    pid_t m_Bus = -1;
    pid_t m_Service = -1;
    std::string m_Error;
};
