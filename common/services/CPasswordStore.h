// Keeps the saved login passwords: in the desktop's Secret Service (GNOME Keyring, KWallet,
// KeePassXC), keyed by data source and user, when the session offers one; otherwise only
// obscured as the scrambled "Password" setting, which is also where earlier versions kept it.
#pragma once

#include "CommonTypes.h"

#include <optional>

class _Settings;

class CPasswordStore {
public:
    // `settings` must have the string setting "Password" registered and outlive the store. Asks
    // the session bus once whether a Secret Service answers.
    explicit CPasswordStore(_Settings& settings);
    CPasswordStore(const CPasswordStore&) = delete;
    CPasswordStore& operator=(const CPasswordStore&) = delete;

    bool UsesKeyring() const { return m_Keyring; }

    // The saved password of the login. With a keyring, a password still kept in the settings
    // moves there first (under this login) and the setting is blanked.
    CString Load(const CString& dataSource, const CString& user);
    // Saves the password of the login; an empty one removes the saved entry. False when the
    // keyring refused it (nothing is then kept anywhere).
    bool Save(const CString& dataSource, const CString& user, const CString& password);
    // Removes every password this program saved, in the keyring and in the settings.
    bool ForgetAll();
    // Blanks the scrambled setting and writes the settings when that changed anything.
    void ClearSetting();

    // The keyring itself, without the settings fallback; each is false (or empty) when no Secret
    // Service answers.
    static bool KeyringAnswers();
    static std::optional<CString> KeyringLookup(const CString& dataSource, const CString& user);
    static bool KeyringStore(const CString& dataSource, const CString& user, const CString& password);
    static bool KeyringClear(const CString& dataSource, const CString& user);
    static bool KeyringClearAll();

private:
    _Settings& m_Settings;
    bool m_Keyring = false;
};
