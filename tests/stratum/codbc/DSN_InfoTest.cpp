#include "codbc/DSN_Info.h"

#include "codbc/ODBC.h"

#include "DatabaseSources.h"
#include "RowsSeen.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <memory>

namespace {

int RowOf(const RowsSeen& list, const CString& name) {
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (list.GetItemText(i, 0) == name)
            return i;
    }
    return -1;
}
} // namespace

class DSNInfo : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        CString user, password;
        VARNEL_REGISTER_BACKEND_SOURCE(GetParam(), "db", user, password);
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("db", user, password)) << session->lastError;
    }
    bool IsPostgres() const { return GetParam() == Backend::Postgres; }
    std::unique_ptr<ODBC> session;
};

TEST_P(DSNInfo, FiftySixRowsInOrderWithTheirRenderings) {
    RowsSeen list;
    DSN_Info info(session.get());
    info.SetList(&list);
    info.InsertAllInfo();
    info.InsertAllInfo();
    ASSERT_EQ(56, list.GetItemCount()) << "a refill replaces the rows";
    EXPECT_EQ("SQL_ACCESSIBLE_PROCEDURES", list.GetItemText(0, 0));
    EXPECT_EQ("1.0", list.GetItemText(0, 1));
    EXPECT_EQ("SQL_MAX_ASYNC_CONCURRENT_STATEMENTS", list.GetItemText(55, 0));
    EXPECT_EQ("3.0", list.GetItemText(55, 1));
    EXPECT_EQ(GetParam() == Backend::MariaDB ? "`" : "\"",
              list.GetItemText(RowOf(list, "SQL_IDENTIFIER_QUOTE_CHAR"), 2));

    // Each special item matches the driver's own number, rendered by the table.
    int mask = 0;
    const bool aggregates = session->GetInfo(SQL_AGGREGATE_FUNCTIONS, &mask) == 0;
    CString expected;
    for (auto [bit, word] : {std::pair{64, "ALL "},
                             {1, "AVG "},
                             {2, "COUNT "},
                             {32, "DISTINCT "},
                             {4, "MAX "},
                             {8, "MIN "},
                             {16, "SUM "}})
        if (mask & bit)
            expected += word;
    EXPECT_EQ(aggregates ? expected : "N/A", list.GetItemText(RowOf(list, "SQL_AGGREGATE_FUNCTIONS"), 2));
    EXPECT_EQ(GetParam() != Backend::SQLite, aggregates);

    short concat = 0;
    ASSERT_EQ(0, session->GetInfo(SQL_CONCAT_NULL_BEHAVIOR, &concat));
    EXPECT_EQ(concat == 0 ? "SQL_CB_NULL" : "SQL_CB_NON_NULL",
              list.GetItemText(RowOf(list, "SQL_CONCAT_NULL_BEHAVIOR"), 2));

    int isolation = 0;
    ASSERT_EQ(0, session->GetInfo(SQL_DEFAULT_TXN_ISOLATION, &isolation));
    if (IsPostgres()) {
        EXPECT_EQ("READ_COMMITTED ", list.GetItemText(RowOf(list, "SQL_DEFAULT_TXN_ISOLATION"), 2));
    }

    // Numbers are shown as read; a failed read shows "N/A".
    short columnName = 0;
    const int rc = session->GetInfo(SQL_MAX_COLUMN_NAME_LEN, &columnName);
    EXPECT_EQ(rc == 0 ? std::to_string(columnName) : "N/A",
              list.GetItemText(RowOf(list, "SQL_MAX_COLUMN_NAME_LEN"), 2));
    for (int i = 0; i < 56; ++i) {
        EXPECT_FALSE(list.GetItemText(i, 1).empty());
    }
}

TEST_P(DSNInfo, SummariesAndIndexBounds) {
    DSN_Info info(session.get());
    const CString head = ForBackend<CString>(GetParam(), "SQLite  [ ", "PostgreSQL  [ ", "MariaDB  [ ");
    EXPECT_EQ(head, info.DBMSNameAndVer().substr(0, head.size()));
    EXPECT_EQ(" ]", info.DBMSNameAndVer().substr(info.DBMSNameAndVer().size() - 2));
    EXPECT_NE(CString::npos, info.DRIVERNameAndVer().find("  [ "));
    const CString versions = info.ODBCVer();
    EXPECT_NE(CString::npos, versions.find(" / ")) << versions;

    CString name = "n", version = "v", value = "x";
    EXPECT_EQ(-1, info.GetInfo(56, &name, &version, &value));
    EXPECT_EQ(-1, info.GetInfo(-1, &name, &version, &value));
    EXPECT_EQ("n", name);
    EXPECT_EQ("v", version);
    EXPECT_EQ("x", value);
    EXPECT_EQ(0, info.GetInfo(29, &name, &version, &value));
    EXPECT_EQ("SQL_MAX_DRIVER_CONNECTIONS", name);

    // Without a connection every row shows "N/A" and the summaries are empty.
    session->Disconnect();
    RowsSeen list;
    info.SetList(&list);
    info.InsertAllInfo();
    ASSERT_EQ(56, list.GetItemCount());
    for (int i = 0; i < 56; ++i) {
        EXPECT_EQ("N/A", list.GetItemText(i, 2));
    }
    EXPECT_EQ("", info.DBMSNameAndVer());
    EXPECT_EQ("", info.DRIVERNameAndVer());
    EXPECT_EQ("", info.ODBCVer());
}

INSTANTIATE_TEST_SUITE_P(Backends, DSNInfo, VARNEL_ALL_BACKENDS, VARNEL_BACKEND_CASE_NAME);
