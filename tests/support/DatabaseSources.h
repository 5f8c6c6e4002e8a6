// Test helpers for data sources on the test run's PostgreSQL server: a test that needs the server fails
// when CTest runs it (label "postgres") without one, and is skipped when run by hand without one.
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

// The two real databases that parameterised session tests run against.
enum class Backend { SQLite, Postgres };

inline void PrintTo(Backend backend, std::ostream* out) {
    *out << (backend == Backend::SQLite ? "SQLite" : "Postgres");
}

// Registers the data source `dsn` on `backend`, and on PostgreSQL fills `userOut` and `passwordOut` with the
// server's login (or ends the test as VARNEL_REQUIRE_POSTGRES_SOURCE does).
#define VARNEL_REGISTER_BACKEND_SOURCE(backend, dsn, userOut, passwordOut)                                   \
    do {                                                                                                     \
        if ((backend) == Backend::SQLite) {                                                                  \
            TestSandbox::AddSqliteSource(dsn);                                                               \
        } else {                                                                                             \
            VARNEL_REQUIRE_POSTGRES_SOURCE(dsn);                                                             \
            (userOut) = TestSandbox::Postgres()->user;                                                       \
            (passwordOut) = TestSandbox::Postgres()->password;                                               \
        }                                                                                                    \
    } while (0)
