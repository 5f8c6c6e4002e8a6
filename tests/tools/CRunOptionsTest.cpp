#include "CRunOptions.h"

#include "services/_Settings.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {
std::optional<CRunOptions> Parse(const CStringArray& arguments, CString* error = nullptr) {
    CString why;
    std::optional<CRunOptions> options = CRunOptions::Parse(arguments, why);
    if (error)
        *error = why;
    return options;
}
} // namespace

TEST(RunOptions, EveryOptionInShortLongAndAttachedForm) {
    std::optional<CRunOptions> o =
        Parse({"-d", "src",        "--user=bob",    "--password-file", "pw.txt", "-fsql",     "--separator",
               ",",  "--fixed",    "--no-names",    "--null-empty",    "-o",     "out.sql",   "--table",
               "T",  "--no-parse", "--remove-term", "--continue",      "-q",     "script.sql"});
    ASSERT_TRUE(o);
    EXPECT_EQ("src", o->dataSource);
    EXPECT_EQ("bob", o->user);
    EXPECT_EQ("pw.txt", o->passwordFile);
    EXPECT_EQ(EXP_SQL, o->format);
    EXPECT_EQ(",", o->separator);
    EXPECT_TRUE(o->fixed && o->noNames && o->nullEmpty && o->noParse && o->removeTerm && o->continueOnError &&
                o->quiet);
    EXPECT_EQ("out.sql", o->output);
    EXPECT_EQ(CString("T"), o->table.value_or("-"));
    EXPECT_EQ("script.sql", o->script);

    o = Parse({"-"});
    ASSERT_TRUE(o);
    EXPECT_EQ("-", o->script);
    EXPECT_EQ(EXP_TEXT, o->format);
    EXPECT_EQ("<tab>", o->separator);
    EXPECT_FALSE(o->table);
    EXPECT_FALSE(o->fixed || o->noNames || o->nullEmpty || o->noParse || o->continueOnError || o->quiet);

    o = Parse({"--", "-q"});
    ASSERT_TRUE(o);
    EXPECT_EQ("-q", o->script);
    EXPECT_FALSE(o->quiet);
}

TEST(RunOptions, UsageErrors) {
    const std::pair<CStringArray, const char*> cases[] = {
        {{}, "no script given"},
        {{"a.sql", "b.sql"}, "more than one script given"},
        {{"--bogus", "a.sql"}, "unknown option --bogus"},
        {{"-f", "csv", "a.sql"}, "unknown format csv"},
        {{"-f", "xlsx", "a.sql"}, "xlsx output needs --output FILE"},
        {{"a.sql", "-d"}, "option -d needs a value"},
        {{"--quiet=1", "a.sql"}, "option --quiet takes no value"},
        {{"--password", "secret", "a.sql"}, "never taken from the command line"},
        {{"-psecret", "a.sql"}, "never taken from the command line"},
        {{"-s", "", "a.sql"}, "the separator is empty"},
        {{"--statement-separator", "go", "a.sql"}, "unknown statement separator go"},
    };
    for (const auto& [arguments, expected] : cases) {
        CString error;
        EXPECT_FALSE(Parse(arguments, &error)) << testing::PrintToString(arguments);
        EXPECT_NE(CString::npos, error.find(expected)) << error;
    }
    // --version and --help need no script.
    EXPECT_TRUE(Parse({"--version"}));
    EXPECT_TRUE(Parse({"-h"}));
}

TEST(RunOptions, PasswordFromFileBeforeEnvironment) {
    const CString path = TestSandbox::Directory() + "/pw";
    std::ofstream(path, std::ios::binary) << "s3cret\r\nsecond line\n";
    ::setenv("VARNEL_PASSWORD", "from-env", 1);
    CRunOptions o;
    CString error;
    o.passwordFile = path;
    EXPECT_EQ(CString("s3cret"), o.Password(error).value_or("?"));
    o.passwordFile.clear();
    EXPECT_EQ(CString("from-env"), o.Password(error).value_or("?"));
    ::unsetenv("VARNEL_PASSWORD");
    EXPECT_EQ(CString(""), o.Password(error).value_or("?"));
    o.passwordFile = path + ".missing";
    EXPECT_FALSE(o.Password(error));
    EXPECT_NE(CString::npos, error.find("No such file or directory")) << error;
}

TEST(RunOptions, DataSourceDefaultsToTheStoredSetting) {
    CRunOptions o;
    EXPECT_EQ("", o.EffectiveDataSource());
    {
        _Settings settings;
        settings.SetProfileName("Software\\Ostrak\\Varnel");
        settings.Add("DSN", S_STRING, 0, "");
        settings.LoadData();
        settings.setStr("DSN", "stored");
        settings.SaveData();
    }
    EXPECT_EQ("stored", o.EffectiveDataSource());
    o.dataSource = "given";
    EXPECT_EQ("given", o.EffectiveDataSource());
}
