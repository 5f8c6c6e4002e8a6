#include "codbc/CDSNAdmin.h"

#include "codbc/ODBC.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
CString UserIni() {
    std::ifstream in(TestSandbox::UserOdbcIni());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Has(const CStringArray& list, const CString& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}
} // namespace

TEST(CDSNAdmin, ListsSourcesAndDrivers) {
    CDSNAdmin admin;
    ASSERT_TRUE(admin.Available()) << admin.LastError();
    TestSandbox::AddSqliteSource("Mine");
    EXPECT_EQ((CStringArray{"Mine"}), admin.UserSources());
    EXPECT_FALSE(Has(admin.SystemSources(), "Mine"));
    const CStringArray drivers = admin.Drivers();
    EXPECT_TRUE(Has(drivers, "SQLite3") && Has(drivers, "PostgreSQL Unicode")) << drivers.size();
    EXPECT_EQ("SQLite3", admin.DriverOf("Mine"));
}

TEST(CDSNAdmin, DefaultsOfTheKnownDrivers) {
    CDSNAdmin admin;
    const CDSNAdmin::Attributes sqlite = admin.DefaultAttributes("SQLite3");
    EXPECT_NE(sqlite.end(), std::find(sqlite.begin(), sqlite.end(), CDSNAdmin::Attribute{"StepAPI", "1"}));
    const CDSNAdmin::Attributes pg = admin.DefaultAttributes("PostgreSQL ANSI");
    EXPECT_NE(pg.end(), std::find(pg.begin(), pg.end(), CDSNAdmin::Attribute{"UseDeclareFetch", "1"}));
    EXPECT_NE(pg.end(), std::find(pg.begin(), pg.end(), CDSNAdmin::Attribute{"Fetch", "10000"}));
    const CDSNAdmin::Attributes maria = admin.DefaultAttributes("MariaDB Unicode");
    EXPECT_NE(maria.end(), std::find(maria.begin(), maria.end(), CDSNAdmin::Attribute{"Port", "3306"}));
    EXPECT_TRUE(admin.DefaultAttributes("Unknown").empty());
}

TEST(CDSNAdmin, AddEditRemoveAndConnectThroughIt) {
    CDSNAdmin admin;
    const CString database = TestSandbox::Directory() + "/made.db";
    ASSERT_TRUE(admin.Add("Made", "SQLite3", {{"Database", database}, {"StepAPI", "1"}, {"Timeout", "500"}}))
        << admin.LastError();
    EXPECT_NE(CString::npos, UserIni().find("[Made]"));
    EXPECT_EQ("SQLite3", admin.DriverOf("Made"));
    EXPECT_FALSE(admin.Add("made", "SQLite3", {})) << "the name is taken";
    EXPECT_FALSE(admin.Add("bad[name]", "SQLite3", {}));
    EXPECT_FALSE(admin.Add("", "SQLite3", {}));
    {
        ODBC session;
        ASSERT_EQ(0, session.Connect("Made", "", "")) << session.lastError;
        session.Disconnect();
    }

    ASSERT_TRUE(admin.Edit("Made", "SQLite3", {{"Database", database}, {"StepAPI", "0"}}))
        << admin.LastError();
    const CDSNAdmin::Attributes attributes = admin.AttributesOf("Made");
    EXPECT_EQ((CDSNAdmin::Attributes{{"Database", database}, {"StepAPI", "0"}}), attributes)
        << "Timeout is gone, StepAPI rewritten";
    EXPECT_FALSE(admin.Edit("Missing", "SQLite3", {}));

    TestSandbox::AddSqliteSource("Other");
    ASSERT_TRUE(admin.Remove("Made")) << admin.LastError();
    EXPECT_EQ((CStringArray{"Other"}), admin.UserSources()) << "the other data source stays";
    EXPECT_EQ(CString::npos, UserIni().find("Made"));
    EXPECT_FALSE(admin.Remove("Made"));
    ODBC session;
    EXPECT_NE(0, session.Connect("Made", "", ""));
}

TEST(CDSNAdmin, AttributeLines) {
    const CDSNAdmin::Attributes parsed =
        CDSNAdmin::ParseLines(" Database = /tmp/x.db \nno equals\n=v\nEmpty=\r\n");
    EXPECT_EQ((CDSNAdmin::Attributes{{"Database", "/tmp/x.db"}, {"Empty", ""}}), parsed);
    EXPECT_EQ(parsed, CDSNAdmin::ParseLines(CDSNAdmin::FormatLines(parsed)));
    EXPECT_TRUE(CDSNAdmin::ValidName("My Data"));
    EXPECT_FALSE(CDSNAdmin::ValidName(" lead"));
    EXPECT_FALSE(CDSNAdmin::ValidName("a=b"));
}
