#include "CSampleDatabase.h"

#include "CSettingsDlg.h"

#include "services/CSysReg.h"
#include "services/ProgramDirectory.h"

#include "codbc/ODBC.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
CString ReadFile(const CString& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CString Scalar(ODBC& session, const CString& query) {
    CString value;
    if (session.StmtRealloc() != 0 || session.Exec(query) != 0 || session.Fetch() != 0)
        return "<failed: " + CString(session.lastError) + ">";
    session.GetDataAsText(0, value, nullptr);
    return value;
}

class SampleDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
        m_Settings.Settings().LoadData();
    }
    CSettingsDlg m_Settings;
};

TEST(SampleScriptTest, StatementsEndAtASemicolonThatEndsALine) {
    const CStringArray statements =
        CSampleDatabase::SplitScript("-- heading\r\n\r\nCREATE TABLE a (x VARCHAR(5));\r\n"
                                     "INSERT INTO a VALUES ('1;2');   \n"
                                     "INSERT INTO a\n  -- inside\n  VALUES ('x;y');\n"
                                     "select 1");
    ASSERT_EQ(4u, statements.size());
    EXPECT_EQ("CREATE TABLE a (x VARCHAR(5))", statements[0]);
    EXPECT_EQ("INSERT INTO a VALUES ('1;2')", statements[1]);
    EXPECT_EQ("INSERT INTO a\n  -- inside\n  VALUES ('x;y')", statements[2]);
    EXPECT_EQ("select 1\n", statements[3]);
    EXPECT_TRUE(CSampleDatabase::SplitScript("\n-- only a comment\n\n").empty());
    EXPECT_GE(CSampleDatabase::SplitScript(CSampleDatabase::SampleScript()).size(), 10u);
}

TEST_F(SampleDatabaseTest, FirstStartCreatesAndRegistersTheSample) {
    ASSERT_TRUE(CSampleDatabase::UserDataSources().empty());
    ASSERT_TRUE(CSampleDatabase::DriverInstalled("SQLite3"));
    ODBC session;
    ASSERT_TRUE(CSampleDatabase::EnsureDefault(m_Settings.Settings(), &session));
    EXPECT_EQ("Varnel Sample", m_Settings.Settings().getStr("DSN"));
    CSysReg reg;
    CString stored;
    reg.Read("Settings", "DSN", &stored, "");
    EXPECT_EQ("Varnel Sample", stored) << "saved at once";

    const CString file = ProgramDirectory() + "sample.sqlite";
    EXPECT_TRUE(std::filesystem::exists(file));
    const CString ini = ReadFile(TestSandbox::UserOdbcIni());
    EXPECT_NE(CString::npos, ini.find("[Varnel Sample]")) << ini;
    EXPECT_NE(CString::npos, ini.find("Database=" + file)) << ini;
    EXPECT_NE(CString::npos, ini.find("StepAPI=1")) << ini;
    EXPECT_NE(CString::npos, ini.find("Driver=SQLite3")) << ini;
    EXPECT_EQ(CStringArray{"Varnel Sample"}, CSampleDatabase::UserDataSources());
    EXPECT_EQ(0, session.connected) << "the session is left as it was found";

    ASSERT_EQ(0, session.Connect("Varnel Sample", "", ""));
    EXPECT_EQ("6000", Scalar(session, "select count(*) from order_lines"));
    EXPECT_EQ("2000", Scalar(session, "select count(*) from order_totals"));
    EXPECT_EQ("0", Scalar(session, "select count(*) from order_lines l left join orders o on o.order_id = "
                                   "l.order_id where o.order_id is null"));
    EXPECT_EQ(
        "2", Scalar(session, "select count(*) from sqlite_master where type = 'index' and name like 'ix_%'"));
    session.Disconnect();

    // Once a data source exists nothing is made again.
    m_Settings.Settings().setStr("DSN", "");
    EXPECT_FALSE(CSampleDatabase::EnsureDefault(m_Settings.Settings(), &session));
    EXPECT_EQ("", m_Settings.Settings().getStr("DSN"));
}

TEST_F(SampleDatabaseTest, NothingHappensWhenADataSourceIsAlreadyChosenOrRegistered) {
    ODBC session;
    m_Settings.Settings().setStr("DSN", "Elsewhere");
    EXPECT_FALSE(CSampleDatabase::EnsureDefault(m_Settings.Settings(), &session));
    m_Settings.Settings().setStr("DSN", "");
    TestSandbox::AddSqliteSource("Mine");
    EXPECT_FALSE(CSampleDatabase::EnsureDefault(m_Settings.Settings(), &session));
    EXPECT_FALSE(std::filesystem::exists(ProgramDirectory() + "sample.sqlite"));
    EXPECT_EQ(CString::npos, ReadFile(TestSandbox::UserOdbcIni()).find("Varnel Sample"));
}

TEST_F(SampleDatabaseTest, AFailingScriptLeavesNoDataSourceBehind) {
    ODBC session;
    const CString file = ProgramDirectory() + "broken.sqlite";
    ASSERT_TRUE(CSampleDatabase::RegisterDataSource("Broken", "SQLite3", file));
    CString error;
    EXPECT_FALSE(CSampleDatabase::CreateTables(session, "Broken",
                                               "create table t (x int);\nthis is not sql;\n", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(0, session.connected);
    EXPECT_TRUE(CSampleDatabase::RemoveDataSource("Broken"));
    EXPECT_TRUE(CSampleDatabase::UserDataSources().empty());
}
} // namespace
