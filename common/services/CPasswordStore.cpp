#include "services/CPasswordStore.h"

#include "services/_Settings.h"

#ifdef VARNEL_HAVE_LIBSECRET
#include <libsecret/secret.h>
#endif

#include <cstdlib>
#include <sys/stat.h>

namespace {
#ifdef VARNEL_HAVE_LIBSECRET
const SecretSchema kSchema = {"com.ostrak.Varnel.Password",
                              SECRET_SCHEMA_NONE,
                              {{"data-source", SECRET_SCHEMA_ATTRIBUTE_STRING},
                               {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                               {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                              0,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr};

// D-Bus carries attribute values as UTF-8 only.
CString Attribute(const CString& text) {
    gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    CString out = valid;
    g_free(valid);
    return out;
}

bool Done(GError* error) {
    if (!error)
        return true;
    g_error_free(error);
    return false;
}
#endif

// Only a bus that is already running is asked: without one, GLib would try to launch a bus of
// its own through X11, which would outlive the program.
bool SessionBusPresent() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return false;
    struct stat st {};
    return ::stat((CString(runtime) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}
#ifdef VARNEL_HAVE_LIBSECRET
// The session bus that libsecret talks over. By default GLib ends the whole program when that bus
// goes away; losing the keyring must not cost the user an unsaved script.
bool SessionBus() {
    if (!SessionBusPresent())
        return false;
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!Done(error) || !bus)
        return false;
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    g_object_unref(bus);
    return true;
}
#endif
} // namespace

bool CPasswordStore::KeyringAnswers() {
#ifdef VARNEL_HAVE_LIBSECRET
    if (!SessionBus())
        return false;
    GError* error = nullptr;
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error);
    if (service)
        g_object_unref(service);
    return Done(error) && service;
#else
    return false;
#endif
}

std::optional<CString> CPasswordStore::KeyringLookup(const CString& dataSource, const CString& user) {
#ifdef VARNEL_HAVE_LIBSECRET
    if (!SessionBus())
        return std::nullopt;
    GError* error = nullptr;
    SecretValue* value = secret_password_lookup_binary_sync(&kSchema, nullptr, &error, "data-source",
                                                            Attribute(dataSource).c_str(), "user",
                                                            Attribute(user).c_str(), nullptr);
    if (!Done(error) || !value)
        return std::nullopt;
    gsize length = 0;
    const gchar* bytes = secret_value_get(value, &length);
    CString password(bytes ? bytes : "", bytes ? length : 0);
    secret_value_unref(value);
    return password;
#else
    (void)dataSource;
    (void)user;
    return std::nullopt;
#endif
}

bool CPasswordStore::KeyringStore(const CString& dataSource, const CString& user, const CString& password) {
#ifdef VARNEL_HAVE_LIBSECRET
    if (!SessionBus())
        return false;
    const CString label = "Varnel password of " + Attribute(user) + " on " + Attribute(dataSource);
    SecretValue* value =
        secret_value_new(password.data(), static_cast<gssize>(password.size()), "text/plain");
    GError* error = nullptr;
    const gboolean stored = secret_password_store_binary_sync(
        &kSchema, SECRET_COLLECTION_DEFAULT, label.c_str(), value, nullptr, &error, "data-source",
        Attribute(dataSource).c_str(), "user", Attribute(user).c_str(), nullptr);
    secret_value_unref(value);
    return Done(error) && stored;
#else
    (void)dataSource;
    (void)user;
    (void)password;
    return false;
#endif
}

bool CPasswordStore::KeyringClear(const CString& dataSource, const CString& user) {
#ifdef VARNEL_HAVE_LIBSECRET
    if (!SessionBus())
        return false;
    GError* error = nullptr;
    // False without an error only means there was nothing to remove.
    secret_password_clear_sync(&kSchema, nullptr, &error, "data-source", Attribute(dataSource).c_str(),
                               "user", Attribute(user).c_str(), nullptr);
    return Done(error);
#else
    (void)dataSource;
    (void)user;
    return false;
#endif
}

bool CPasswordStore::KeyringClearAll() {
#ifdef VARNEL_HAVE_LIBSECRET
    if (!SessionBus())
        return false;
    GError* error = nullptr;
    secret_password_clear_sync(&kSchema, nullptr, &error, nullptr);
    return Done(error);
#else
    return false;
#endif
}

CPasswordStore::CPasswordStore(_Settings& settings) : m_Settings(settings), m_Keyring(KeyringAnswers()) {}

void CPasswordStore::ClearSetting() {
    if (m_Settings.getStr("Password").empty())
        return;
    m_Settings.setStr("Password", "");
    m_Settings.SaveData();
}

CString CPasswordStore::Load(const CString& dataSource, const CString& user) {
    if (!m_Keyring)
        return m_Settings.getStr("Password");
    const CString kept = m_Settings.getStr("Password");
    if (!kept.empty() && KeyringStore(dataSource, user, kept))
        ClearSetting();
    return KeyringLookup(dataSource, user).value_or(kept);
}

bool CPasswordStore::Save(const CString& dataSource, const CString& user, const CString& password) {
    if (!m_Keyring) {
        m_Settings.setStr("Password", password);
        return true;
    }
    const bool done =
        password.empty() ? KeyringClear(dataSource, user) : KeyringStore(dataSource, user, password);
    // What the keyring holds is never also left obscured in the settings.
    if (done)
        ClearSetting();
    return done;
}

bool CPasswordStore::ForgetAll() {
    const bool done = !m_Keyring || KeyringClearAll();
    ClearSetting();
    return done;
}
