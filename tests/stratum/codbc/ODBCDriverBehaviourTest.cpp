// The session against a scripted driver that behaves as some drivers do and SQLite and psqlODBC do not.
#include "codbc/ODBC.h"

#include "ScriptedSource.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

class ODBCDriverBehaviour : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddDataSource("scripted", VARNEL_SCRIPTED_DRIVER, {});
        TestSandbox::AddDataSource("oracle_like", VARNEL_SCRIPTED_DRIVER, {});
    }
    void Connect(const CString& dsn = "scripted") {
        ASSERT_EQ(0, session.Connect(dsn, "u", "p")) << session.lastError;
    }
    // Runs a statement, fetches its row and reads the column with the given reader.
    CString Read(const CString& sql, bool asText = true) {
        EXPECT_EQ(0, session.StmtRealloc());
        EXPECT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
        EXPECT_EQ(0, session.Fetch()) << sql;
        CString value;
        long indicator = 0;
        const int rc =
            asText ? session.GetDataAsText(0, value, &indicator) : session.GetData(0, value, &indicator);
        EXPECT_EQ(0, rc) << sql << ": " << session.lastError;
        return value;
    }
    int DriverReads() { return std::stoi(Read("calls")); }
    void TearDown() override { session.Disconnect(); }

    ODBC session;
};

TEST_F(ODBCDriverBehaviour, ValuesWithoutAKnownLengthAreReadWhole) {
    Connect();
    for (size_t n : {1023u, 1024u, 5000u, 100000u}) {
        EXPECT_TRUE(Read("notal " + std::to_string(n)) == ScriptedValue(n)) << n << " characters as text";
        EXPECT_TRUE(Read("notal " + std::to_string(n), false) == ScriptedValue(n)) << n << " characters raw";
    }
}

TEST_F(ODBCDriverBehaviour, TruncatedPiecesWithTheirOwnLengthAreReadWhole) {
    Connect();
    for (size_t n : {1024u, 3000u, 100000u}) {
        EXPECT_TRUE(Read("piecelen " + std::to_string(n)) == ScriptedValue(n)) << n << " characters as text";
        EXPECT_TRUE(Read("piecelen " + std::to_string(n), false) == ScriptedValue(n))
            << n << " characters raw";
    }
}

// A short value takes one read; a long one a few, whose pieces take the rest the driver reports (or
// twice the last piece when it reports none), never a read per 1023 characters.
TEST_F(ODBCDriverBehaviour, LongValuesTakeAFewReads) {
    Connect();
    DriverReads();
    const struct {
        const char* kind;
        size_t length;
        int reads;
    } cases[] = {{"value", 0, 1},      {"value", 1, 1},      {"value", 1023, 1}, {"value", 1024, 2},
                 {"value", 2047, 2},   {"value", 100000, 2}, {"notal", 1023, 1}, {"notal", 1024, 2},
                 {"notal", 100000, 7}, {"piecelen", 3070, 2}};
    for (const auto& c : cases) {
        EXPECT_TRUE(Read(c.kind + (" " + std::to_string(c.length))) == ScriptedValue(c.length))
            << c.kind << " " << c.length;
        EXPECT_EQ(c.reads, DriverReads()) << c.kind << " " << c.length << " characters";
    }
}

TEST_F(ODBCDriverBehaviour, LastLineBreaksOfAMessageAreBlankedAndTheLogStaysOneLinePerRecord) {
    Connect();
    ASSERT_EQ(0, session.StmtRealloc());
    const size_t before = TestSandbox::ErrorLogLines().size();
    EXPECT_EQ(1, session.Exec("fail lines"));
    const CString error = session.lastError;
    EXPECT_NE(CString::npos, error.find("first\r\nsecond  third,37000,7 ")) << error;
    const CStringArray lines = TestSandbox::ErrorLogLines();
    ASSERT_EQ(before + 2, lines.size()) << "one location line and one message line";
    EXPECT_NE(CString::npos, lines[before + 1].find("first  second  third,37000,7")) << lines[before + 1];
}

TEST_F(ODBCDriverBehaviour, FailureWithoutMessageKeepsTheLastErrorAndLogsNothing) {
    Connect();
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(1, session.Exec("fail lines"));
    const CString error = session.lastError;
    const size_t before = TestSandbox::ErrorLogLines().size();
    ASSERT_EQ(0, session.StmtRealloc());
    EXPECT_EQ(1, session.Exec("fail silent"));
    EXPECT_EQ(error, session.lastError);
    EXPECT_EQ(before, TestSandbox::ErrorLogLines().size());
}

TEST_F(ODBCDriverBehaviour, ConnectTakesTheDbmsFactsFromTheDriver) {
    Connect();
    EXPECT_EQ(0, session.dbmsKind);
    EXPECT_EQ(3, session.dbmsVersion);
    EXPECT_EQ(1, session.ownerSupported);
    EXPECT_EQ('`', session.GetSep());
    EXPECT_EQ(4000, session.GetMaxCharSize());
    CString name;
    session.GetTypeName(SQL_INTEGER, &name);
    EXPECT_EQ("NUMBER(10)", name);
    session.GetTypeName(SQL_VARCHAR, &name);
    EXPECT_EQ("varchar", name) << "a type the driver does not list keeps its default name";
    session.Disconnect();

    Connect("oracle_like");
    EXPECT_EQ(1, session.dbmsKind) << "Oracle8 belongs to the Oracle family";
    EXPECT_EQ(8, session.dbmsVersion) << "leading integer of 08.00.0760";
    EXPECT_EQ(0, session.ownerSupported) << "empty owner term";
    EXPECT_EQ(' ', session.quoteOpen);
    EXPECT_EQ(' ', session.quoteClose);
}
