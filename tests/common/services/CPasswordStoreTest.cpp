#include "services/CPasswordStore.h"

#include "services/CSysReg.h"
#include "services/_Settings.h"

#include "TestKeyring.h"
#include "TestSandbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {
const char* const kProfile = "Software\\Ostrak\\Varnel";

CString StoreText() {
    std::ifstream in(TestSandbox::Directory() + "/config/Ostrak/Varnel.ini", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The settings as the program registers the ones the store uses, read from the store.
std::unique_ptr<_Settings> LoadSettings() {
    auto settings = std::make_unique<_Settings>();
    settings->Add("Password", S_STRING, S_ENCODED, "");
    settings->SetProfileName(kProfile);
    settings->LoadData();
    return settings;
}
} // namespace

// With a Secret Service each login has its own password there, bytes and all, and the settings
// file never holds one.
TEST(CPasswordStore, KeyringKeepsAPasswordPerLoginAndTheSettingsNone) {
    TestKeyring keyring;
    ASSERT_EQ("", keyring.Error());
    auto settings = LoadSettings();
    CPasswordStore store(*settings);
    ASSERT_TRUE(store.UsesKeyring());

    const struct {
        const char* dsn;
        const char* user;
        CString password;
    } logins[] = {{"Shop", "joe", "first"},
                  {"Shop", "ann", "second"},
                  {"Stock", "joe", "third"},
                  {"Gr\xC3\xBC\xC3\x9F", "\xFF", CString("bin\xFF\x01\0ry", 8)}};
    for (const auto& l : logins)
        ASSERT_TRUE(store.Save(l.dsn, l.user, l.password)) << l.dsn;
    for (const auto& l : logins)
        EXPECT_EQ(l.password, store.Load(l.dsn, l.user)) << l.dsn << "/" << l.user;
    EXPECT_EQ(std::nullopt, CPasswordStore::KeyringLookup("Shop", "nobody"));
    EXPECT_EQ(CString::npos, StoreText().find("\nPassword=")) << StoreText();

    // An empty password removes the login's entry; forgetting removes all of them.
    ASSERT_TRUE(store.Save("Shop", "ann", ""));
    EXPECT_EQ(std::nullopt, CPasswordStore::KeyringLookup("Shop", "ann"));
    EXPECT_EQ("first", store.Load("Shop", "joe"));
    ASSERT_TRUE(store.ForgetAll());
    for (const auto& l : logins)
        EXPECT_EQ(std::nullopt, CPasswordStore::KeyringLookup(l.dsn, l.user)) << l.dsn;
}

// A password an earlier version kept scrambled in the settings moves into the keyring under the
// login it was used with, and the settings value is blanked on disk.
TEST(CPasswordStore, ScrambledPasswordOfAnEarlierVersionMovesIntoTheKeyring) {
    CSysReg reg;
    reg.SetProfileName(kProfile);
    ASSERT_EQ(0, reg.SaveEncoded("Settings", "Password", "old-secret"));
    const CString scrambled = CSysReg::Encode("old-secret");
    ASSERT_NE(CString::npos, StoreText().find(scrambled));

    TestKeyring keyring;
    ASSERT_EQ("", keyring.Error());
    auto settings = LoadSettings();
    CPasswordStore store(*settings);
    EXPECT_EQ("old-secret", store.Load("Shop", "joe"));
    EXPECT_EQ("old-secret", CPasswordStore::KeyringLookup("Shop", "joe").value_or("<none>"));
    EXPECT_EQ(CString::npos, StoreText().find(scrambled)) << StoreText();
    EXPECT_EQ("", LoadSettings()->getStr("Password"));
}

// Without a Secret Service (no session bus, or a bus where none answers) the password stays
// scrambled in the settings, as the only place there is.
TEST(CPasswordStore, WithoutSecretServiceThePasswordIsScrambledInTheSettings) {
    for (const bool bus : {false, true}) {
        std::unique_ptr<TestKeyring> bare;
        if (bus) {
            bare = std::make_unique<TestKeyring>(false);
            ASSERT_EQ("", bare->Error());
        }
        auto settings = LoadSettings();
        CPasswordStore store(*settings);
        EXPECT_FALSE(store.UsesKeyring()) << "bus: " << bus;
        ASSERT_TRUE(store.Save("Shop", "joe", "plain"));
        settings->SaveData();
        EXPECT_NE(CString::npos, StoreText().find("Password=" + CSysReg::Encode("plain"))) << StoreText();
        EXPECT_EQ("plain", CPasswordStore(*LoadSettings()).Load("Other", "ann"))
            << "one password for all logins";
        ASSERT_TRUE(store.ForgetAll());
        EXPECT_EQ(CString::npos, StoreText().find(CSysReg::Encode("plain"))) << StoreText();
    }
}

// The keyring's bus going away (the session ending, a daemon restarting) must not end the program
// with an unsaved script: GLib's default for that is to terminate the process.
TEST(CPasswordStore, LosingTheSessionBusDoesNotEndTheProgram) {
    {
        TestKeyring keyring;
        ASSERT_EQ("", keyring.Error());
        auto settings = LoadSettings();
        ASSERT_TRUE(CPasswordStore(*settings).Save("Shop", "joe", "pw"));
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(std::nullopt, CPasswordStore::KeyringLookup("Shop", "joe"));
}
