#include "codbc/ODBC.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <cstring>

namespace {
// The value-rendering operations belong to every session; an unconnected one is enough for them.
class CDBView : public testing::Test {
protected:
    CString View(const void* data, int sqlType, int conversion = 0, const char* pattern = nullptr) {
        CString text = "<untouched>";
        session.GetView(static_cast<const char*>(data), text, sqlType, conversion, pattern);
        return text;
    }
    CString Date(const char* pattern, int day, int month, int year) {
        CString text = "<untouched>";
        session.PrepareDate(text, pattern, day, month, year);
        return text;
    }
    ODBC session;
};
} // namespace

TEST_F(CDBView, CharacterValuesDoubleApostrophesAndLoseTrailingBlanks) {
    for (int type : {SQL_CHAR, SQL_VARCHAR, SQL_LONGVARCHAR, SQL_WCHAR, SQL_WVARCHAR, SQL_WLONGVARCHAR,
                     SQL_NUMERIC, SQL_DECIMAL})
        EXPECT_EQ("O''Brien", View("O'Brien  ", type)) << "type " << type;
    EXPECT_EQ("  lead kept", View("  lead kept\t\r\n ", SQL_VARCHAR));
    EXPECT_EQ("12.50", View("12.50", SQL_DECIMAL));
    EXPECT_EQ("", View("   ", SQL_CHAR));
    const char embedded[] = "abc\0def";
    EXPECT_EQ("abc", View(embedded, SQL_VARCHAR));
}

TEST_F(CDBView, CharacterValuesAreConvertedBetweenAnsiAndOem) {
    EXPECT_EQ("gr\x81n", View("grün", SQL_VARCHAR, 1));
    EXPECT_EQ("grün", View("gr\x81n", SQL_VARCHAR, -1));
    EXPECT_EQ("grün", View("grün", SQL_VARCHAR, 0));
    // Conversion applies to character data only.
    const int32_t n = 129;
    EXPECT_EQ("129", View(&n, SQL_INTEGER, 1));
}

TEST_F(CDBView, NumbersAreRenderedFromTheirBinaryForm) {
    const unsigned char bitOn = 0xFF, bitOff = 0xFE, tiny = 200;
    EXPECT_EQ("1", View(&bitOn, SQL_BIT));
    EXPECT_EQ("0", View(&bitOff, SQL_BIT));
    EXPECT_EQ("200", View(&tiny, SQL_TINYINT));
    const int16_t small = -1234;
    EXPECT_EQ("-1234", View(&small, SQL_SMALLINT));
    const int32_t integer = -2147483647 - 1;
    EXPECT_EQ("-2147483648", View(&integer, SQL_INTEGER));
    const float real = 2.5f;
    EXPECT_EQ("2.5", View(&real, SQL_REAL));
    const double dbl = 1e20, flt = 0.125;
    EXPECT_EQ("1e+20", View(&dbl, SQL_DOUBLE));
    EXPECT_EQ("0.125", View(&flt, SQL_FLOAT));
}

TEST_F(CDBView, DatesAndTimestampsShowTheirDatePart) {
    DATE_STRUCT date{2002, 3, 7};
    EXPECT_EQ("07.03.2002", View(&date, SQL_DATE));
    EXPECT_EQ("07-mar-02", View(&date, SQL_DATE, 0, "D-n-YY"));
    EXPECT_EQ("07.03.2002", View(&date, SQL_DATE, 0, ""));
    TIMESTAMP_STRUCT stamp{1999, 12, 31, 23, 59, 58, 0};
    EXPECT_EQ("31.12.1999", View(&stamp, SQL_TIMESTAMP));
    EXPECT_EQ("12/31/1999", View(&stamp, SQL_TIMESTAMP, 0, "MM/DD/YYYY"));
}

TEST_F(CDBView, TypesWithoutRenderingShowTheirName) {
    const char bytes[16] = "0123456789abcde";
    EXPECT_EQ("<TIME>", View(bytes, SQL_TIME));
    EXPECT_EQ("<GUID>", View(bytes, SQL_GUID));
    EXPECT_EQ("<BIG INTEGER>", View(bytes, SQL_BIGINT));
    EXPECT_EQ("<BINARY DATA>", View(bytes, SQL_BINARY));
    EXPECT_EQ("<VAR BINARY DATA>", View(bytes, SQL_VARBINARY));
    EXPECT_EQ("<DATA TYPE 93 not supported>", View(bytes, 93));
    EXPECT_EQ("<DATA TYPE 0 not supported>", View(bytes, 0));
    EXPECT_EQ("<DATA TYPE -12 not supported>", View(bytes, -12));
}

TEST_F(CDBView, LongBinaryShowsHexBytesUpToTheLimit) {
    EXPECT_EQ("41 0A 42 ", View("A\nB", SQL_LONGVARBINARY));
    EXPECT_EQ("41 42 ", View("AB\0CD", SQL_LONGVARBINARY)) << "stops at the first zero byte";
    const CString hundred(100, 'x'), ninetyNine(99, 'x');
    CString expected;
    for (int i = 0; i < 99; ++i)
        expected += "78 ";
    EXPECT_EQ(expected, View(ninetyNine.c_str(), SQL_LONGVARBINARY));
    EXPECT_EQ(expected + "78 ...", View(hundred.c_str(), SQL_LONGVARBINARY));
    const CString longer(500, 'x');
    EXPECT_EQ(expected + "78 ...", View(longer.c_str(), SQL_LONGVARBINARY));
}

TEST_F(CDBView, LongBinaryAsTextShowsPrintableCharacters) {
    session.SetBlobAsText(1);
    EXPECT_EQ("A", View("A\0", SQL_LONGVARBINARY));
    EXPECT_EQ("A.B", View("A\nB", SQL_LONGVARBINARY));
    EXPECT_EQ("a.b.~", View("a b\x80~", SQL_LONGVARBINARY));
    session.binaryLimit = 3;
    EXPECT_EQ("abc...", View("abcdef", SQL_LONGVARBINARY));
}

TEST_F(CDBView, NullDataGivesEmptyText) {
    EXPECT_EQ("", View(nullptr, SQL_INTEGER));
}

TEST_F(CDBView, DatePatternsRenderTheirFields) {
    EXPECT_EQ("07.03.2002", Date("DD.MM.YYYY", 7, 3, 2002));
    EXPECT_EQ("07-mar-02", Date("D-n-YY", 7, 3, 2002));
    EXPECT_EQ("03/07/2002", Date("MM/DD/YYYY", 7, 3, 2002));
    EXPECT_EQ("02", Date("YYY", 7, 3, 2002)) << "only four letters give the full year";
    EXPECT_EQ("05", Date("Y", 7, 3, 2005));
    EXPECT_EQ("[x/-.: abc]", Date("[x/-.: abc]", 7, 3, 2002));
    EXPECT_EQ("mar", Date("n", 7, 3, 2002));
    EXPECT_EQ("dec 2002!", Date("n YYYY!", 7, 12, 2002));
    EXPECT_EQ("0703", Date("DDMM", 7, 3, 2002));
    EXPECT_EQ("???", Date("n", 1, 13, 2002));
    EXPECT_EQ("", Date("", 1, 1, 2002));
    EXPECT_EQ("", Date(nullptr, 1, 1, 2002));
}

TEST_F(CDBView, ExtractDateReadsYearMonthDayFields) {
    short day = -1, month = -1, year = -1;
    TIMESTAMP_STRUCT stamp{2024, 2, 29, 1, 2, 3, 4};
    EXPECT_EQ(0, session.ExtractTimestamp(reinterpret_cast<const char*>(&stamp), &day, &month, &year));
    EXPECT_EQ(29, day);
    EXPECT_EQ(2, month);
    EXPECT_EQ(2024, year);
    EXPECT_EQ(0, session.ExtractDate(nullptr, &day, &month, &year));
    EXPECT_EQ(0, day + month + year);
}

TEST(CDB, CheckStmtClassifiesByTheLeadingKeyword) {
    ODBC session;
    const struct {
        const char* text;
        int kind;
    } cases[] = {
        {"select * from t", 0},
        {"with x as (select 1) select * from x", 0},
        {" insert into t values(1)", 0},
        {"/* c */ delete from t", 0},
        {"INSERT INTO t VALUES (1)", 1},
        {"Update t set a=1", 2},
        {"updates", 2},
        {"delete from t", 3},
        {"create table t(a int)", 4},
        {"dropped", 5},
        {"ALTER TABLE t ADD b int", 6},
        {"GRANT select ON t TO x", 7},
        {"revoke all on t from x", 8},
        {"", 0},
        {"ins", 0},
    };
    for (const auto& c : cases) {
        session.stmtType = -1;
        session.CheckStmt(c.text);
        EXPECT_EQ(c.kind, session.stmtType) << '"' << c.text << '"';
    }
}

TEST(CDB, DbmsFamilyComesFromTheDbmsName) {
    EXPECT_EQ(1, CDB::DbmsKindOf("Oracle8"));
    EXPECT_EQ(1, CDB::DbmsKindOf("ORACLE"));
    EXPECT_EQ(2, CDB::DbmsKindOf("microsoft sql server"));
    EXPECT_EQ(0, CDB::DbmsKindOf("Microsoft SQL Server 2000"));
    EXPECT_EQ(3, CDB::DbmsKindOf("dBase"));
    EXPECT_EQ(3, CDB::DbmsKindOf("FOXPRO"));
    EXPECT_EQ(4, CDB::DbmsKindOf("Access"));
    EXPECT_EQ(5, CDB::DbmsKindOf("EXCEL"));
    EXPECT_EQ(0, CDB::DbmsKindOf("PostgreSQL"));
    EXPECT_EQ(0, CDB::DbmsKindOf("SQLite"));
    EXPECT_EQ(0, CDB::DbmsKindOf(""));
}

TEST(CDB, SetOwnerKeepsAtMost255Characters) {
    ODBC session;
    session.SetOwner(CString(300, 'o').c_str());
    EXPECT_EQ(CString(255, 'o'), session.owner);
    session.SetOwner("dbo");
    EXPECT_STREQ("dbo", session.owner);
    session.SetOwner(nullptr);
    EXPECT_STREQ("", session.owner);
}

TEST(CDB, FreshSessionHasTheInitialState) {
    ODBC session;
    EXPECT_STREQ("", session.lastError);
    EXPECT_EQ(0, session.stmtType);
    EXPECT_EQ(0, session.connected);
    EXPECT_EQ(1, session.ownerSupported);
    EXPECT_EQ(0, session.dbmsKind);
    EXPECT_EQ(1, session.dbmsVersion);
    EXPECT_EQ(0, session.blobAsText);
    EXPECT_EQ(100, session.binaryLimit);
    EXPECT_EQ(nullptr, session.hstmt);
    CString text = "kept";
    EXPECT_EQ(-1, session.GetInfo(SQL_DBMS_NAME, &text)) << "no driver call while not connected";
    EXPECT_EQ(0, session.GetMaxCharSize());
    CString name;
    EXPECT_EQ(0, session.GetTypeName(93, &name));
    EXPECT_EQ("<unknown type 93>", name);
    CArray<TABLE_DESC> tables;
    EXPECT_EQ(-1, session.TablesList(&tables, "", OB_TABLE));
    EXPECT_EQ(1, ODBC::isAvailable());
    EXPECT_EQ(0, CDB::isAvailable());
}
