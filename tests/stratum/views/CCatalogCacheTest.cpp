#include "views/CCatalogCache.h"

#include "codbc/ODBC.h"
#include "editor/CCompletion.h"

#include "DatabaseSources.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
constexpr const char* kDsn = "Completion";
} // namespace

// The completion model over the catalog cache, on each real database.
class CatalogCompletion : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), kDsn, user, password);
        ASSERT_EQ(0, session.Connect(kDsn, user, password)) << session.lastError;
        const CString q(1, session.GetSep());
        for (const CString& sql :
             {CString("create table customers (id integer, name varchar(20), region integer)"),
              CString("create table orders (ord_no integer, cust_id integer, name varchar(10))"),
              CString("create table customer_orders (x integer)"),
              "create table " + q + "Mixed Case" + q + " (" + q + "Odd Col" + q + " integer, plain integer)",
              "create table " + q + "CamelCase" + q + " (v integer)",
              CString("create view open_orders as select ord_no from orders")}) {
            ASSERT_EQ(0, session.StmtRealloc());
            ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
        }
        session.StmtRealloc();
    }
    void TearDown() override { session.Disconnect(); }

    // Reads until nothing waits; the number of reads.
    int Drain() {
        int steps = 0;
        while (cache.Step())
            ++steps;
        return steps;
    }
    // The inserted texts for the caret at the "|" of the script.
    CString Complete(const CString& marked) {
        const size_t caret = marked.find('|');
        const CString script = marked.substr(0, caret) + marked.substr(caret + 1);
        completion.SetScope(script, caret);
        const size_t lineStart = script.rfind('\n', caret == 0 ? 0 : caret - 1);
        const size_t from = lineStart == CString::npos ? 0 : lineStart + 1;
        const CString line = script.substr(from, script.find('\n', caret) - from);
        CString out;
        for (const auto& c : completion.Candidates(CCompletion::WordAt(line, static_cast<int>(caret - from))))
            out += (out.empty() ? "" : " ") + c.insert;
        return out;
    }

    // Completes, reads what that asked for, and completes again.
    CString Settled(const CString& marked) {
        Complete(marked);
        Drain();
        return Complete(marked);
    }

    CString user, password;
    ODBC session;
    int generation = 1;
    CCatalogCache cache{&session, [this] { return generation; }};
    std::set<CString, std::less<>> keywords = {"ORDER", "NAME", "SELECT", "FROM"};
    CCompletion completion{&keywords, &cache};
};

TEST_P(CatalogCompletion, AliasesTablesAndRanking) {
    // Nothing is offered from the catalog before the background read.
    EXPECT_EQ("", Complete("select * from cust|"));
    EXPECT_TRUE(cache.HasWork());
    EXPECT_EQ(1, Drain());

    EXPECT_EQ("customers customer_orders", Complete("select * from cust|"));
    // Prefix before substring; a table before a keyword; views too.
    EXPECT_EQ("orders ORDER customer_orders open_orders", Complete("select * from ORD|"));
    EXPECT_FALSE(cache.HasWork());

    // An alias in the statement around the caret leads to its table's columns, read on request.
    const CString aliased = "select 1;\nselect c.| from customers c join orders o on o.cust_id = c.id";
    EXPECT_EQ("", Complete(aliased));
    EXPECT_TRUE(completion.Waiting());
    EXPECT_EQ(1, Drain());
    EXPECT_EQ("id name region", Complete(aliased));
    EXPECT_EQ("cust_id", Settled("select o.cu| from customers c join orders o on o.cust_id = c.id"));
    // A table named without an alias and in another case; a qualifier the statement does not know.
    EXPECT_EQ("region", Settled("select CUSTOMERS.re| from CUSTOMERS"));
    EXPECT_EQ("", Settled("select zz.| from customers c"));
    EXPECT_FALSE(completion.Waiting());

    // Without a prefix: the columns of every table of the FROM list, once each, before everything else.
    EXPECT_EQ("name", Settled("select na| from customers c, orders o"));
    EXPECT_EQ("name region open_orders", Settled("select * from customers where n|"));
}

TEST_P(CatalogCompletion, NamesThatNeedQuotesAreQuoted) {
    Drain();
    const CString q(1, session.GetSep());
    const bool folds = GetParam() == Backend::Postgres;
    // A blank always needs quotes; mixed case only where the server folds unquoted names.
    EXPECT_EQ(folds ? q + "CamelCase" + q : "CamelCase", Complete("select * from Camel|"));
    EXPECT_EQ(q + "Mixed Case" + q, Complete("select * from Mix|"));
    EXPECT_EQ(q + "Odd Col" + q + " plain", Settled("select m.| from " + q + "Mixed Case" + q + " m"));
}

TEST_P(CatalogCompletion, ForgottenWhenTheGenerationChangesAndNeverConnects) {
    Complete("select c.| from customers c");
    EXPECT_EQ(2, Drain());
    EXPECT_EQ("id", Complete("select c.id| from customers c"));

    // Disconnected: nothing is offered, read or connected; the same connection again brings the names
    // back without reading them anew.
    session.Disconnect();
    EXPECT_EQ("", Complete("select c.id| from customers c"));
    EXPECT_EQ("", Complete("select * from cust|"));
    EXPECT_FALSE(completion.Waiting());
    EXPECT_FALSE(cache.HasWork());
    EXPECT_FALSE(cache.Step());
    EXPECT_EQ(0, session.connected);
    ASSERT_EQ(0, session.Connect(kDsn, user, password)) << session.lastError;
    EXPECT_FALSE(cache.HasWork());
    EXPECT_EQ("id", Complete("select c.id| from customers c"));
    session.Disconnect();

    // Another connection: the names go, and are read again once connected.
    ++generation;
    EXPECT_EQ("", Complete("select * from cust|"));
    ASSERT_EQ(0, session.Connect(kDsn, user, password)) << session.lastError;
    EXPECT_TRUE(cache.HasWork());
    // While a run owns the session nothing is read.
    cache.IsBusy = [] { return true; };
    EXPECT_FALSE(cache.Step());
    cache.IsBusy = nullptr;
    Drain();
    EXPECT_EQ("customers customer_orders", Complete("select * from cust|"));
}

INSTANTIATE_TEST_SUITE_P(Backends, CatalogCompletion, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);
