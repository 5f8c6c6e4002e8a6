// Test helpers for data sources on the test run's PostgreSQL and MariaDB servers: a test that needs a
// server fails when CTest runs it (label "postgres" or "mariadb") without one, and is skipped when run
// by hand without one.
#pragma once

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Registers the PostgreSQL data source `name` (see TestSandbox::AddPostgresSource) or ends the test.
#define VARNEL_REQUIRE_POSTGRES_SOURCE(name)                                                                 \
    do {                                                                                                     \
        std::string varnelWhy_;                                                                              \
        if (!TestSandbox::AddPostgresSource((name), "PostgreSQL Unicode", &varnelWhy_)) {                    \
            if (TestSandbox::PostgresRequired() || TestSandbox::Postgres())                                  \
                FAIL() << "PostgreSQL server expected: " << varnelWhy_;                                      \
            GTEST_SKIP() << varnelWhy_ << " (make test starts one)";                                         \
        }                                                                                                    \
    } while (0)

// Registers the MariaDB data source `name` (see TestSandbox::AddMariaDBSource) or ends the test.
#define VARNEL_REQUIRE_MARIADB_SOURCE(name)                                                                  \
    do {                                                                                                     \
        std::string varnelWhy_;                                                                              \
        if (!TestSandbox::AddMariaDBSource((name), &varnelWhy_)) {                                           \
            if (TestSandbox::MariaDBRequired() || TestSandbox::MariaDB())                                    \
                FAIL() << "MariaDB server expected: " << varnelWhy_;                                         \
            GTEST_SKIP() << varnelWhy_ << " (make test starts one)";                                         \
        }                                                                                                    \
    } while (0)

// The real databases that parameterised session tests run against.
enum class Backend { SQLite, Postgres, MariaDB };

inline const char* BackendName(Backend backend) {
    return backend == Backend::SQLite ? "SQLite" : backend == Backend::Postgres ? "Postgres" : "MariaDB";
}

inline void PrintTo(Backend backend, std::ostream* out) {
    *out << BackendName(backend);
}

// What a case expects on `backend`, one value per backend.
template <typename T> T ForBackend(Backend backend, T sqlite, T postgres, T mariadb) {
    return backend == Backend::SQLite ? sqlite : backend == Backend::Postgres ? postgres : mariadb;
}

// Every backend, for INSTANTIATE_TEST_SUITE_P; the cases are named after their backend.
#define VARNEL_ALL_BACKENDS testing::Values(Backend::SQLite, Backend::Postgres, Backend::MariaDB)
#define VARNEL_BACKEND_CASE_NAME                                                                             \
    [](const testing::TestParamInfo<Backend>& info) { return BackendName(info.param); }

// Registers the data source `dsn` on `backend`, and on a server fills `userOut` and `passwordOut` with
// its login (or ends the test as VARNEL_REQUIRE_POSTGRES_SOURCE does).
#define VARNEL_REGISTER_BACKEND_SOURCE(backend, dsn, userOut, passwordOut)                                   \
    do {                                                                                                     \
        if ((backend) == Backend::SQLite) {                                                                  \
            TestSandbox::AddSqliteSource(dsn);                                                               \
        } else if ((backend) == Backend::Postgres) {                                                         \
            VARNEL_REQUIRE_POSTGRES_SOURCE(dsn);                                                             \
            (userOut) = TestSandbox::Postgres()->user;                                                       \
            (passwordOut) = TestSandbox::Postgres()->password;                                               \
        } else {                                                                                             \
            VARNEL_REQUIRE_MARIADB_SOURCE(dsn);                                                              \
            (userOut) = TestSandbox::MariaDB()->user;                                                        \
            (passwordOut) = TestSandbox::MariaDB()->password;                                                \
        }                                                                                                    \
    } while (0)
