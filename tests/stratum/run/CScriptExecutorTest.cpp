#include "run/CScriptExecutor.h"

#include "codbc/ODBC.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {
using X = CScriptExecutor;

// Answers as told and writes down every question and event in order.
class Recorder : public X::Handler {
public:
    bool confirm = true;
    std::deque<X::Decision> decisions;
    int cancelAfter = -1; // the statement after which the caller asks to stop
    std::vector<std::string> events;

    bool ConfirmStatements(int count) override {
        events.push_back("ask " + std::to_string(count));
        return confirm;
    }
    void PhaseChanged(X::Phase phase) override {
        events.push_back(phase == X::PHASE_CUT ? "cut" : "execute");
    }
    void StatementStarting(int index, int count) override {
        events.push_back("start " + std::to_string(index + 1) + "/" + std::to_string(count));
    }
    void StatementDone(const X::Step& step) override {
        events.push_back("done " + std::to_string(step.index + 1) +
                         (step.status != 0      ? " failed"
                          : step.HasResultSet() ? " rows"
                                                : ""));
        if (step.index == cancelAfter)
            m_Cancel = true;
    }
    X::Decision StatementFailed(const X::Step& step) override {
        events.push_back("decide " + std::to_string(step.index + 1) + " [" + *step.executed + "]");
        const X::Decision d = decisions.empty() ? X::DECIDE_CANCEL : decisions.front();
        if (!decisions.empty())
            decisions.pop_front();
        return d;
    }
    bool CancelRequested() override { return m_Cancel; }

private:
    bool m_Cancel = false;
};
} // namespace

// Every decision the caller takes through the handler, and the outcome the run reports for it, on
// the real SQLite driver.
TEST(CScriptExecutor, DecisionsQuestionsAndEventsDecideTheOutcome) {
    TestSandbox::AddSqliteSource("exec");
    ODBC session;
    ASSERT_EQ(0, session.Connect("exec", "", "")) << session.lastError;
    ASSERT_EQ(0, session.Exec("create table t (n integer)")) << session.lastError;

    const std::string fourWithFailingLast =
        "insert into t values (1)\ninsert into nosuch values (2)\nselect n from t\nselect * from nosuch";
    const std::string threeWithGoodLast =
        "insert into t values (1)\ninsert into nosuch values (2)\nselect n from t";
    const std::vector<std::string> head = {
        "cut",    "ask 4",     "execute",       "start 1/4",
        "done 1", "start 2/4", "done 2 failed", "decide 2 [\ninsert into nosuch values (2)]"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> all = head;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    struct Case {
        const char* name;
        std::string script;
        bool confirm;
        std::vector<X::Decision> decisions;
        int cancelAfter;
        X::Options options;
        X::Outcome outcome;
        int lastIndex;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"no to the question runs nothing",
         fourWithFailingLast,
         false,
         {},
         -1,
         {},
         X::RUN_REFUSED,
         -1,
         {"cut", "ask 4"}},
        {"continue asks again at the next failure, and a failing last statement fails the run",
         fourWithFailingLast,
         true,
         {X::DECIDE_CONTINUE, X::DECIDE_CONTINUE},
         -1,
         {},
         X::RUN_FAILED,
         3,
         with({"start 3/4", "done 3 rows", "start 4/4", "done 4 failed", "decide 4 [select * from nosuch]"})},
        {"continue silently asks no more",
         fourWithFailingLast,
         true,
         {X::DECIDE_CONTINUE_SILENTLY},
         -1,
         {},
         X::RUN_FAILED,
         3,
         with({"start 3/4", "done 3 rows", "start 4/4", "done 4 failed"})},
        {"cancel stops at the failure",
         fourWithFailingLast,
         true,
         {X::DECIDE_CANCEL},
         -1,
         {},
         X::RUN_FAILED,
         1,
         with({})},
        {"a failure in the middle is forgiven when the last succeeds",
         threeWithGoodLast,
         true,
         {X::DECIDE_CONTINUE},
         -1,
         {},
         X::RUN_DONE,
         2,
         {"cut", "ask 3", "execute", "start 1/3", "done 1", "start 2/3", "done 2 failed",
          "decide 2 [\ninsert into nosuch values (2)]", "start 3/3", "done 3 rows"}},
        {"a cancel while a statement runs stops before any decision",
         threeWithGoodLast,
         true,
         {},
         1,
         {},
         X::RUN_CANCELLED,
         1,
         {"cut", "ask 3", "execute", "start 1/3", "done 1", "start 2/3", "done 2 failed"}},
        {"without parsing the whole script is one statement, its first terminator blanked",
         "select n from t; select 2;",
         true,
         {},
         -1,
         {true, true},
         X::RUN_FAILED,
         0,
         {"execute", "start 1/1", "done 1 failed", "decide 1 [select n from t  select 2;]"}},
        {"one statement asks nothing",
         "select n from t;",
         true,
         {},
         -1,
         {false, true},
         X::RUN_DONE,
         0,
         {"cut", "execute", "start 1/1", "done 1 rows"}},
    };
    X executor;
    for (const Case& c : cases) {
        Recorder handler;
        handler.confirm = c.confirm;
        handler.decisions.assign(c.decisions.begin(), c.decisions.end());
        handler.cancelAfter = c.cancelAfter;
        EXPECT_EQ(c.outcome, executor.Run(session, c.script, c.options, handler)) << c.name;
        EXPECT_EQ(c.events, handler.events) << c.name;
        EXPECT_EQ(c.lastIndex, executor.LastIndex()) << c.name;
        EXPECT_EQ(c.lastIndex >= 0 && c.outcome != X::RUN_DONE, executor.LastStatus() != 0) << c.name;
        session.StmtRealloc(); // SQLite keeps the table locked while a statement reads it
    }
    // The statements of the last run are views into its script.
    const std::string script = "insert into t values (5)\nselect n from t";
    Recorder handler;
    ASSERT_EQ(X::RUN_DONE, executor.Run(session, script, {}, handler));
    ASSERT_EQ(2u, executor.Statements().size());
    EXPECT_EQ(script.data(), executor.Statements()[0].data());
    EXPECT_EQ("t", executor.Tables());
}

TEST(CScriptExecutor, TimeLineHasThreeDigitMilliseconds) {
    EXPECT_EQ("Execution time: 1.150 sec, reading 0.005 sec", X::TimeLine(1150, 5));
    EXPECT_EQ("Execution time: 0.000 sec, reading 12.000 sec", X::TimeLine(0, 12000));
}
