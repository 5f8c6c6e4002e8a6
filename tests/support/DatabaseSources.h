// Test helpers for data sources on the test run's PostgreSQL server: a test that needs the server fails
// when CTest runs it (label "postgres") without one, and is skipped when run by hand without one.
#pragma once

#include "TestSandbox.h"

#include <gtest/gtest.h>

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
